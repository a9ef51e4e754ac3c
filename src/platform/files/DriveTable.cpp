#include "platform/files/DriveTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <array>
#include <optional>

namespace platform {

namespace {

struct Mount {
    QByteArray majorMinor;
    QByteArray mountPoint;
    QByteArray fsType;
    QByteArray source;
};

// Mount tables escape blanks, tabs, newlines and backslashes as \ooo.
QByteArray UnescapeOctal(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && value < 256) {
                out.append(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return out;
}

std::optional<Mount> ParseLine(const QByteArray& line) {
    const QList<QByteArray> fields = line.split(' ');
    const qsizetype dash = fields.indexOf("-");
    if (fields.size() < 7 || dash < 6 || dash + 2 >= fields.size()) return std::nullopt;
    Mount mount{fields[2], UnescapeOctal(fields[4]), fields[dash + 1],
                UnescapeOctal(fields[dash + 2])};
    // A mount point that is no absolute path could not be opened as a drive's root.
    if (!mount.mountPoint.startsWith('/') || mount.mountPoint.contains('\0')) return std::nullopt;
    return mount;
}

bool Under(const QByteArray& path, const char* folder) {
    return path.startsWith(QByteArray(folder) + '/');
}

bool UnderUserMediaFolder(const QByteArray& path) {
    return Under(path, "/media") || Under(path, "/run/media");
}

bool IsNetworkType(const QByteArray& type) {
    static const QByteArrayList kTypes = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs"};
    return kTypes.contains(type);
}

// "//server/share" (SMB) reads as "\\server\share"; "host:/path" (NFS, sshfs) stays.
QString RemoteNameOf(const Mount& mount) {
    QString name = QString::fromUtf8(mount.source);
    if (name.startsWith(QLatin1String("//"))) name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return name;
}

unsigned DriveTypeOf(const Mount& mount, const BlockDeviceProbe& probe) {
    const QByteArray& type = mount.fsType;
    const QByteArray& point = mount.mountPoint;
    if (type == "iso9660" || type == "udf") return DRIVE_CDROM;
    if (IsNetworkType(type)) return DRIVE_REMOTE;
    if (type == "tmpfs" || type == "ramfs")
        return point == "/dev/shm" || UnderUserMediaFolder(point) ? DRIVE_RAMDISK : DRIVE_UNKNOWN;
    const bool blockDevice = mount.source.startsWith("/dev/");
    if (!blockDevice) return DRIVE_UNKNOWN;
    if (probe.IsRemovable && probe.IsRemovable(mount.majorMinor)) return DRIVE_REMOVABLE;
    if (UnderUserMediaFolder(point)) return DRIVE_REMOVABLE;
    if (Under(point, "/mnt")) return DRIVE_FIXED;
    return DRIVE_UNKNOWN;
}

DriveInfo MakeDrive(const Mount& mount, unsigned type, const BlockDeviceProbe& probe) {
    DriveInfo drive;
    drive.Root = mount.mountPoint;
    drive.Type = type;
    drive.FileSystemType = QString::fromUtf8(mount.fsType);
    if (type == DRIVE_REMOTE) drive.RemoteName = RemoteNameOf(mount);
    if (probe.LabelOf && mount.source.startsWith("/dev/"))
        drive.Label = probe.LabelOf(mount.source);
    return drive;
}

QByteArray ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().trimmed();
}

// Label links in /dev/disk/by-label escape unsafe characters as \xHH.
QString UnescapeLabel(const QString& name) {
    QByteArray out;
    const QByteArray bytes = name.toUtf8();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\\' && i + 3 < bytes.size() && bytes[i + 1] == 'x') {
            bool ok = false;
            const int value = bytes.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.append(bytes[i]);
    }
    return QString::fromUtf8(out);
}

}  // namespace

BlockDeviceProbe SystemBlockDeviceProbe() {
    BlockDeviceProbe probe;
    probe.IsRemovable = [](const QByteArray& majorMinor) {
        const QString device = QStringLiteral("/sys/dev/block/") + QString::fromLatin1(majorMinor);
        QByteArray flag = ReadSmallFile(device + QStringLiteral("/removable"));
        // A partition carries the flag on its parent device.
        if (flag.isEmpty()) flag = ReadSmallFile(device + QStringLiteral("/../removable"));
        return flag == "1";
    };
    probe.LabelOf = [](const QByteArray& device) {
        const QString wanted = QFileInfo(QFile::decodeName(device)).canonicalFilePath();
        const QDir labels(QStringLiteral("/dev/disk/by-label"));
        for (const QFileInfo& link : labels.entryInfoList(QDir::System | QDir::Files)) {
            if (link.canonicalFilePath() == wanted) return UnescapeLabel(link.fileName());
        }
        return QString();
    };
    return probe;
}

std::vector<DriveInfo> ParseMountInfo(const QByteArray& mountInfo, const BlockDeviceProbe& probe) {
    std::optional<DriveInfo> system;
    std::vector<DriveInfo> others;
    for (const QByteArray& line : mountInfo.split('\n')) {
        const std::optional<Mount> mount = ParseLine(line);
        if (!mount) continue;
        // A later mount on the same point hides the earlier one.
        std::erase_if(others, [&](const DriveInfo& d) { return d.Root == mount->mountPoint; });
        if (mount->mountPoint == "/") {
            system = MakeDrive(*mount, DRIVE_FIXED, probe);
            continue;
        }
        const unsigned type = DriveTypeOf(*mount, probe);
        if (type != DRIVE_UNKNOWN) others.push_back(MakeDrive(*mount, type, probe));
    }
    std::sort(others.begin(), others.end(),
              [](const DriveInfo& a, const DriveInfo& b) { return a.Root < b.Root; });
    if (!system) {
        system = DriveInfo{};
        system->Root = "/";
    }
    std::vector<DriveInfo> drives{*system};
    drives.front().Letter = 'c';
    for (DriveInfo& drive : others) {
        const char letter = static_cast<char>('c' + drives.size());
        if (letter > 'z') break;
        drive.Letter = letter;
        drives.push_back(std::move(drive));
    }
    return drives;
}

std::vector<DriveInfo> KeepLetters(const std::vector<DriveInfo>& previous,
                                   std::vector<DriveInfo> fresh) {
    std::array<bool, 26> taken{};
    std::vector<DriveInfo*> newcomers;
    for (DriveInfo& drive : fresh) {
        const auto known = std::find_if(previous.begin(), previous.end(),
                                        [&](const DriveInfo& d) { return d.Root == drive.Root; });
        if (known == previous.end()) {
            newcomers.push_back(&drive);
            continue;
        }
        drive.Letter = known->Letter;
        taken[drive.Letter - 'a'] = true;
    }
    for (DriveInfo* drive : newcomers) {
        int free = 'c' - 'a';
        while (free < 26 && taken[free]) ++free;
        drive->Letter = free < 26 ? static_cast<char>('a' + free) : '\0';
        if (free < 26) taken[free] = true;
    }
    std::erase_if(fresh, [](const DriveInfo& d) { return d.Letter == '\0'; });
    std::sort(fresh.begin(), fresh.end(),
              [](const DriveInfo& a, const DriveInfo& b) { return a.Letter < b.Letter; });
    return fresh;
}

QByteArray ReadMountTable() {
    return ReadSmallFile(QString::fromLatin1(kMountTablePath));
}

}  // namespace platform
