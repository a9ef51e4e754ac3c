#include "platform/files/DataFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

QByteArrayList XdgDataDirs() {
    QByteArray dirs = qgetenv("XDG_DATA_DIRS");
    if (dirs.isEmpty()) dirs = "/usr/local/share:/usr/share";
    QByteArrayList list = dirs.split(':');
    list.removeAll(QByteArray());
    return list;
}

QByteArray FindDataFolder(const QString& executableDir, const QByteArrayList& dataDirs) {
    QStringList candidates = {
        executableDir + QStringLiteral("/../share/brelmo"),
        executableDir + QStringLiteral("/data"),
        executableDir + QStringLiteral("/../data"),
    };
    for (const QByteArray& dir : dataDirs) candidates.append(QFile::decodeName(dir + "/brelmo"));
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isDir()) return QFile::encodeName(QDir(candidate).canonicalPath());
    return QFile::encodeName(executableDir);
}

QByteArray DataFolder() {
    return FindDataFolder(QCoreApplication::applicationDirPath(), XdgDataDirs());
}

}  // namespace platform
