#include "platform/LinuxFileSystem.h"

#include <QDir>

#include "platform/NativeNames.h"

namespace platform {

namespace {

bool HasDriveLetter(const QString& path) {
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter();
}

bool IsWindowsFolder(const QString& rest) {
    return rest.compare(QLatin1String("\\windows"), Qt::CaseInsensitive) == 0 ||
           rest.startsWith(QLatin1String("\\windows\\"), Qt::CaseInsensitive);
}

}  // namespace

QByteArray LinuxFileSystem::NativePath(const QString& path) {
    if (!HasDriveLetter(path)) {
        if (path.contains(QLatin1Char('\\'))) return {};
        return ToNativePath(path);
    }
    if (path[0].toLower() != QLatin1Char('c')) return {};
    QString rest = path.mid(2);
    QByteArray root = "/";
    if (IsWindowsFolder(rest)) {
        root = DataFolder() + '/';
        rest = rest.mid(QStringLiteral("\\windows").size());
    }
    QByteArray native = root;
    for (const QString& part : rest.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (!native.endsWith('/')) native += '/';
        native += ToNativeName(part);
    }
    return native;
}

namespace {

std::unique_ptr<IFileSystem>& Current() {
    static std::unique_ptr<IFileSystem> current = std::make_unique<LinuxFileSystem>();
    return current;
}

}  // namespace

IFileSystem& FileSystem() { return *Current(); }

std::unique_ptr<IFileSystem> SetFileSystem(std::unique_ptr<IFileSystem> fileSystem) {
    std::swap(Current(), fileSystem);
    return fileSystem;
}

}  // namespace platform
