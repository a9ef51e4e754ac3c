#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/files/SysErrorMessage.h"
#include "platform/files/Wildcard.h"

namespace platform {

// Drive types as the drive query reports them.
enum : unsigned {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

// Attribute bits of a directory entry, and the search attributes of a find.
enum : unsigned {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSysFile = 0x04,
    faVolumeID = 0x08,
    faDirectory = 0x10,
    faArchive = 0x20,
};

// File-system flags of a volume.
enum : unsigned {
    FILE_CASE_SENSITIVE_SEARCH = 0x1,
    FILE_CASE_PRESERVED_NAMES = 0x2,
};

// Error-mode bits; the only one callers use switches the critical-error box off.
enum : unsigned { SEM_FAILCRITICALERRORS = 0x1 };

// One drive of the drive table: a letter, the native folder that is its root
// and what the drive queries report about it.
struct DriveInfo {
    char Letter = 'c';  // lower case
    QByteArray Root;    // native folder, without a trailing '/' except for "/"
    unsigned Type = DRIVE_FIXED;
    QString Label;           // volume name, may be empty
    QString FileSystemType;  // "ext4", "vfat", "nfs", ...
    QString RemoteName;      // network drives only, e.g. "\\server\share"
};

// What a find returns per entry: the name exactly as on disk (lossless text,
// see NativeNames.h) and its attribute bits.
struct TSearchRec {
    QString Name;
    unsigned Attr = 0;
};

// A watch of the drive table (see IFileSystem::WatchDrives); it ends when
// it is destroyed.
class DriveWatch {
  public:
    virtual ~DriveWatch() = default;
};

using FindHandle = std::intptr_t;
constexpr FindHandle INVALID_HANDLE_VALUE = -1;

// The drive-letter view of the Linux file system that the components work in.
// C: is "/"; the folder C:\Windows is the program's data folder. Paths are
// backslash paths with a drive letter ("e:\media\clips"); names inside them
// are the lossless text form of the bytes on disk, so every name found can be
// opened again exactly.
//
// Called on the GUI thread only. Failing calls return false (or
// INVALID_HANDLE_VALUE) and leave the errno-style code in GetLastError();
// SysErrorMessage turns it into text.
//
// The drives are read afresh by every drive query (GetLogicalDrives,
// GetDriveType, GetVolumeInformation, WNetGetConnection): a stick mounted
// after start appears, one removed disappears, and a drive keeps its letter
// for as long as it stays mounted.
class IFileSystem {
  public:
    virtual ~IFileSystem() = default;

    // The native path for a drive-letter path ("c:\windows\dclick.wav"), or
    // for a native path given as it is. Relative paths resolve against the
    // current folder. Empty when the drive does not exist.
    virtual QByteArray NativePath(const QString& path) = 0;
    // The drive-letter path of an absolute native path (the drive with the
    // longest root that holds it), or empty when no drive holds it.
    virtual QString DrivePath(const QByteArray& nativePath) const = 0;

    // Bit n set for each drive letter 'a' + n that exists.
    virtual unsigned GetLogicalDrives() = 0;
    // The DRIVE_* type of a root such as "e:\"; DRIVE_NO_ROOT_DIR for none.
    virtual unsigned GetDriveType(const QString& root) = 0;
    // Volume name and FILE_* flags of a root such as "e:\". Either output may
    // be null. False when the drive is missing or its root is unreachable.
    virtual bool GetVolumeInformation(const QString& root, QString* volumeName,
                                      unsigned* fileSystemFlags) = 0;
    // The network name a drive ("e:") is connected to; false for local drives.
    virtual bool WNetGetConnection(const QString& localName, QString& remoteName) = 0;
    // Records the new error mode and returns the old one. There is no
    // critical-error box here, so the mode changes nothing else.
    virtual unsigned SetErrorMode(unsigned mode) = 0;
    // Calls 'changed' from the event loop whenever something was mounted or
    // unmounted, for the life of the returned watch, so that a list of the
    // drives can follow without being asked.
    virtual std::unique_ptr<DriveWatch> WatchDrives(std::function<void()> changed) = 0;

    // Searches a folder for names matching the last part of 'path'
    // ("e:\media\*.wav"): '*' and '?' wildcards, letters compared without
    // case, "*.*" also matching names without a dot. Entries with the hidden,
    // system, volume or directory attribute are passed over unless that
    // attribute is in 'attr'. "." and ".." are entries like any other.
    // Read-only (not writable) is found only when 'attr' holds faReadOnly:
    // it costs a system call per entry.
    virtual FindHandle FindFirstFile(const QString& path, unsigned attr, TSearchRec& found) = 0;
    virtual bool FindNextFile(FindHandle handle, TSearchRec& found) = 0;
    virtual bool FindClose(FindHandle handle) = 0;

    // Attribute bits of a path, or -1 (with the error) when it does not exist.
    virtual int GetFileAttributes(const QString& path) = 0;

    // Changes the process's current folder. A bare drive ("d:") goes to that
    // drive's remembered folder (its root at first, or when the remembered
    // folder has gone); "\x" is rooted on the current drive; "x" and ".." are
    // relative to the current folder.
    virtual bool SetCurrentDirectory(const QString& path) = 0;
    // The current folder as a drive-letter path ("e:\media", "e:\").
    virtual QString GetCurrentDirectory() = 0;

    virtual int GetLastError() = 0;
};

IFileSystem& FileSystem();
// Puts 'fileSystem' in place and returns the previous service (tests restore it).
std::unique_ptr<IFileSystem> SetFileSystem(std::unique_ptr<IFileSystem> fileSystem);

}  // namespace platform
