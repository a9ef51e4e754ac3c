#include "app/PlaylistFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/NativeNames.h"
#include "toolkit/Exceptions.h"

namespace {

// Twenty paths of the longest length Linux allows, with room for comments.
constexpr qint64 kMaxFileBytes = 256 * 1024;

QString Shown(const QByteArray& nativePath) {
    return QLatin1Char('"') + platform::FromNativePath(nativePath) + QLatin1Char('"');
}

bool LooksBinary(const QByteArray& content) { return content.contains('\0'); }

}  // namespace

QString TPlaylistFile::DefaultPath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/brelmo/brelmo.txt");
}

TPlaylistFile::TPlaylistFile(QString path) : path_(std::move(path)) {}

bool TPlaylistFile::Exists() const { return QFileInfo::exists(path_); }

void TPlaylistFile::Save(const QList<QByteArray>& nativePaths) const {
    for (const QByteArray& path : nativePaths) {
        if (path.contains('\n') || path.contains('\r'))
            throw Exception(QStringLiteral("The playlist was not saved: the file name %1 contains "
                                           "a line break, which a playlist file cannot hold.")
                                .arg(Shown(path)));
    }
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder))
        throw Exception(QStringLiteral("The playlist could not be saved: the folder %1 cannot "
                                       "be created.")
                            .arg(folder));
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("The playlist could not be saved to %1: %2")
                            .arg(path_, file.errorString()));
    QByteArray content;
    for (const QByteArray& path : nativePaths) content += path + '\n';
    // A short write (full disk, size limit) can pass unnoticed through the
    // buffered writer, so the size on disk is checked before the rename.
    const bool complete = file.write(content) == content.size() && file.flush() &&
                          file.size() == content.size();
    if (!complete) file.cancelWriting();
    if (!complete || !file.commit())
        throw Exception(QStringLiteral("The playlist could not be saved to %1: %2")
                            .arg(path_, complete ? file.errorString()
                                                 : QStringLiteral("the disk is full or the file "
                                                                  "too large")));
}

QList<QByteArray> TPlaylistFile::Load(QString* warning) const {
    QFile file(path_);
    if (!file.exists())
        throw Exception(QStringLiteral("There is no saved playlist (%1).").arg(path_));
    // Opening a pipe would wait for a writer, and the load runs at start-up.
    if (!QFileInfo(path_).isFile())
        throw Exception(QStringLiteral("The playlist %1 could not be read: it is not a plain file.")
                            .arg(path_));
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(
            QStringLiteral("The playlist %1 could not be read: %2").arg(path_, file.errorString()));
    if (file.size() > kMaxFileBytes)
        throw Exception(QStringLiteral("The playlist %1 is too large to be a playlist (%2 bytes).")
                            .arg(path_)
                            .arg(file.size()));
    const QByteArray content = file.readAll();
    if (LooksBinary(content))
        throw Exception(QStringLiteral("The playlist %1 is not a text file.").arg(path_));

    QList<QByteArray> paths;
    int entries = 0;
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith('#')) continue;
        if (++entries <= kMaxEntries) paths.append(line);
    }
    if (warning)
        *warning = entries > kMaxEntries
                       ? QStringLiteral("The playlist %1 holds %2 entries; only the first %3 "
                                        "were loaded.")
                             .arg(path_)
                             .arg(entries)
                             .arg(kMaxEntries)
                       : QString();
    return paths;
}
