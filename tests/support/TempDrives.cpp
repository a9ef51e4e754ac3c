#include "support/TempDrives.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <filesystem>
#include <system_error>

#include "platform/files/LinuxFileSystem.h"

TempDrives::TempDrives(std::initializer_list<Drive> drives) : savedDirectory_(QDir::currentPath()) {
    std::vector<platform::DriveInfo> table;
    for (const Drive& drive : drives) {
        platform::DriveInfo info;
        info.Letter = drive.Letter;
        info.Root = Native(QByteArray(1, drive.Letter));
        info.Type = drive.Type;
        info.Label = drive.Label;
        info.FileSystemType = drive.FileSystemType;
        info.RemoteName = drive.RemoteName;
        if (drive.CreateRoot) MakeFolder(QByteArray(1, drive.Letter));
        table.push_back(info);
    }
    fileSystem_.emplace(
        std::make_unique<platform::LinuxFileSystem>(std::move(table), Native("windows")));
    MakeFolder("windows");
    // Start every test on the first drive's root.
    Enter(QString(QChar(drives.begin()->Letter)) + QStringLiteral(":\\"));
}

TempDrives::~TempDrives() {
    QDir::setCurrent(savedDirectory_);
    // By bytes: Qt's own removal passes over names that are not UTF-8.
    std::error_code ignored;
    std::filesystem::remove_all(Native({}).toStdString(), ignored);
}

QByteArray TempDrives::Native(const QByteArray& relative) const {
    return QFile::encodeName(temp_.path()) + '/' + relative;
}

// Names are made byte for byte (they may hold bytes that are not UTF-8).
void TempDrives::MakeFolder(const QByteArray& relative) const {
    QByteArray path = Native({});
    for (const QByteArray& part : relative.split('/')) {
        path += part + '/';
        if (mkdir(path.constData(), 0755) != 0) {
            ASSERT_EQ(errno, EEXIST) << path.constData();
        }
    }
}

void TempDrives::MakeFile(const QByteArray& relative, const QByteArray& content) const {
    const int fd = open(Native(relative).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << relative.constData();
    ASSERT_EQ(write(fd, content.constData(), content.size()), content.size());
    close(fd);
}

void TempDrives::Enter(const QString& drivePath) const {
    ASSERT_TRUE(platform::FileSystem().SetCurrentDirectory(drivePath))
        << drivePath.toStdString() << ": " << platform::FileSystem().GetLastError();
}

QByteArray TempDrives::ProcessDirectory() {
    return QFile::encodeName(QDir::currentPath());
}
