#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace platform {

// The drive-letter view of the Linux file system that the components work in.
// C: is "/"; the folder C:\Windows is the program's data folder. Called on
// the GUI thread only.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // The native path for a drive-letter path ("c:\windows\dclick.wav"), or
    // for a native path given as it is. Relative paths resolve against the
    // current folder. Empty when the drive does not exist.
    virtual QByteArray NativePath(const QString& path) = 0;
};

IFileSystem& FileSystem();
// Puts 'fileSystem' in place and returns the previous service (tests restore it).
std::unique_ptr<IFileSystem> SetFileSystem(std::unique_ptr<IFileSystem> fileSystem);

}  // namespace platform
