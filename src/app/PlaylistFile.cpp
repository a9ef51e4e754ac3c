#include "app/PlaylistFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cctype>
#include <optional>

#include "platform/files/NativeNames.h"
#include "toolkit/Exceptions.h"
#include "toolkit/MessageText.h"

namespace {

// Twenty paths of the longest length Linux allows, with room for comments.
constexpr qint64 kMaxFileBytes = 256 * 1024;

QString Shown(const QByteArray& nativePath) {
    return QLatin1Char('"') + platform::FromNativePath(nativePath) + QLatin1Char('"');
}

bool LooksBinary(const QByteArray& content) {
    return content.contains('\0');
}

// The first line, which tells other players that this is an M3U list.
const QByteArray kM3uHeader = "#EXTM3U";
// How many left-out lines a message names before it only counts the rest.
constexpr int kNamedLines = 5;

// Blank lines and comments, among them the #EXTM3U header and #EXTINF lines.
bool IsSkipped(const QByteArray& line) {
    return line.trimmed().isEmpty() || line.startsWith('#');
}

// "scheme:/..." as URI references have it; one letter would be a drive.
qsizetype SchemeLength(const QByteArray& line) {
    qsizetype i = 0;
    while (i < line.size() && (std::isalnum(static_cast<unsigned char>(line[i])) ||
                               line[i] == '+' || line[i] == '-' || line[i] == '.'))
        ++i;
    const bool scheme =
        i >= 2 && std::isalpha(static_cast<unsigned char>(line[0])) && line.mid(i, 2) == ":/";
    return scheme ? i : 0;
}

// The native path a file URI names on this machine, or nothing for another
// host or a name the system cannot hold.
std::optional<QByteArray> LocalFileOf(const QByteArray& uri) {
    QByteArray rest = uri.mid(5);  // after "file:"
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        const QByteArray host = rest.mid(2, slash < 0 ? -1 : slash - 2);
        if (slash < 0 || !(host.isEmpty() || host.compare("localhost", Qt::CaseInsensitive) == 0))
            return std::nullopt;
        rest = rest.mid(slash);
    }
    const QByteArray path = QByteArray::fromPercentEncoding(rest);
    if (path.contains('\0') || !path.startsWith('/')) return std::nullopt;
    return path;
}

// What one line names: an absolute native path, or nothing when it cannot
// become one (a URI of another kind or of another machine).
std::optional<QByteArray> PathOf(const QByteArray& line, const QByteArray& folder) {
    const qsizetype scheme = SchemeLength(line);
    if (scheme == 0) return line.startsWith('/') ? line : folder + '/' + line;
    if (line.left(scheme).compare("file", Qt::CaseInsensitive) != 0) return std::nullopt;
    return LocalFileOf(line);
}

QString LeftOutText(const QString& file, const QList<QByteArray>& lines) {
    QStringList shown;
    for (const QByteArray& line : lines.mid(0, kNamedLines)) shown << Shown(line);
    shown.resize(lines.size());  // only the count of the others shows
    return QStringLiteral(
               "The playlist %1 has lines that name no file on this machine; "
               "they were left out: %2.")
        .arg(file, NameList(shown, kNamedLines));
}

}  // namespace

QString TPlaylistFile::DefaultPath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/brelmo/brelmo.txt");
}

TPlaylistFile::TPlaylistFile(QString path) : path_(std::move(path)) {}

bool TPlaylistFile::Exists() const {
    return QFileInfo::exists(path_);
}

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
    QByteArray content = kM3uHeader + '\n';
    for (const QByteArray& path : nativePaths) content += path + '\n';
    // A short write (full disk, size limit) can pass unnoticed through the
    // buffered writer, so the size on disk is checked before the rename.
    const bool complete =
        file.write(content) == content.size() && file.flush() && file.size() == content.size();
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

    // Relative lines are relative to the playlist's own folder, as M3U has it.
    const QByteArray folder = QFile::encodeName(QFileInfo(path_).absolutePath());
    QList<QByteArray> paths;
    QList<QByteArray> leftOut;
    int entries = 0;
    // Any line end ends a line: "\n", "\r\n", a stray "\r" of an edited list.
    QByteArray text = content;
    for (const QByteArray& line : text.replace('\r', '\n').split('\n')) {
        if (IsSkipped(line)) continue;
        const std::optional<QByteArray> path = PathOf(line, folder);
        if (!path)
            leftOut.append(line);
        else if (++entries <= kMaxEntries)
            paths.append(*path);
    }
    QStringList warnings;
    if (entries > kMaxEntries)
        warnings << QStringLiteral(
                        "The playlist %1 holds %2 entries; only the first %3 were loaded.")
                        .arg(path_)
                        .arg(entries)
                        .arg(kMaxEntries);
    if (!leftOut.isEmpty()) warnings << LeftOutText(path_, leftOut);
    if (warning) *warning = warnings.join(QLatin1Char('\n'));
    return paths;
}
