#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"

namespace platform {

// The file system service on Linux: drives from a drive table, paths mapped
// to native ones name by name (see NativeNames.h), the process's real current
// directory kept in step with a current folder per drive.
class LinuxFileSystem : public IFileSystem {
  public:
    // Gives the text of the mount table as it is now.
    using MountTableReader = std::function<QByteArray()>;

    // The running system's drives; C:\Windows is the program's data folder.
    LinuxFileSystem();
    // Drives from a mount table read afresh by each drive query (tests
    // script the table and the probe).
    LinuxFileSystem(MountTableReader readMountTable, BlockDeviceProbe probe,
                    QByteArray windowsFolder);
    // A given drive table that never changes (tests build drives from
    // temporary folders).
    LinuxFileSystem(std::vector<DriveInfo> drives, QByteArray windowsFolder);
    ~LinuxFileSystem() override;

    QByteArray NativePath(const QString& path) override;
    QString DrivePath(const QByteArray& nativePath) const override;
    unsigned GetLogicalDrives() override;
    unsigned GetDriveType(const QString& root) override;
    bool GetVolumeInformation(const QString& root, QString* volumeName,
                              unsigned* fileSystemFlags) override;
    bool WNetGetConnection(const QString& localName, QString& remoteName) override;
    unsigned SetErrorMode(unsigned mode) override;
    std::unique_ptr<DriveWatch> WatchDrives(std::function<void()> changed) override;
    FindHandle FindFirstFile(const QString& path, unsigned attr, TSearchRec& found) override;
    bool FindNextFile(FindHandle handle, TSearchRec& found) override;
    bool FindClose(FindHandle handle) override;
    int GetFileAttributes(const QString& path) override;
    bool SetCurrentDirectory(const QString& path) override;
    QString GetCurrentDirectory() override;
    int GetLastError() override { return lastError_; }

  private:
    struct Search;

    // Reads the mount table again; the drives change only when it has.
    void RefreshDrives();
    // The current folder is the process's, where a drive holds it.
    void StartInProcessDirectory();
    const DriveInfo* DriveOf(QChar letter) const;
    // The absolute, normalised drive-letter path ("E:\media"), or nothing
    // (with the error set) when the drive does not exist.
    std::optional<QString> Absolute(const QString& path);
    QByteArray ToNative(const QString& absolutePath) const;
    bool ChangeTo(const QString& absolutePath);
    bool Fail(int errorCode);

    MountTableReader readMountTable_;
    BlockDeviceProbe probe_;
    QByteArray mountTable_;
    std::vector<DriveInfo> drives_;
    QByteArray windowsFolder_;
    QString current_;
    std::array<QString, 26> driveFolders_;
    std::map<FindHandle, std::unique_ptr<Search>> searches_;
    FindHandle nextHandle_ = 1;
    unsigned errorMode_ = 0;
    int lastError_ = 0;
};

}  // namespace platform
