#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <initializer_list>
#include <optional>
#include <vector>

#include "platform/files/FileSystem.h"
#include "support/ServiceScope.h"

class QWidget;

// A drive table built from temporary folders, put in place as the file
// system service for the life of the object; the previous service and the
// process's current directory come back afterwards.
//
// Each drive's root is <temp>/<letter>. Files and folders are made with
// native paths below the temporary folder ("e/MEDIA/a.wav").
class TempDrives {
  public:
    struct Drive {
        char Letter;
        unsigned Type = platform::DRIVE_FIXED;
        QString Label = {};
        QString FileSystemType = QStringLiteral("ext4");
        QString RemoteName = {};
        bool CreateRoot = true;  // false: a drive whose root has gone (unmounted)
    };

    explicit TempDrives(std::initializer_list<Drive> drives);
    ~TempDrives();
    TempDrives(const TempDrives&) = delete;
    TempDrives& operator=(const TempDrives&) = delete;

    // The native path of 'relative' below the temporary folder.
    QByteArray Native(const QByteArray& relative) const;
    void MakeFolder(const QByteArray& relative) const;
    void MakeFile(const QByteArray& relative, const QByteArray& content = {}) const;
    // Changes the current directory through the service (fails the test if refused).
    void Enter(const QString& drivePath) const;
    // The process's real current directory, native.
    static QByteArray ProcessDirectory();

  private:
    QTemporaryDir temp_;
    QString savedDirectory_;
    std::optional<ServiceScope<platform::SetFileSystem>> fileSystem_;
};
