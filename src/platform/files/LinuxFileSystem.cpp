#include "platform/files/LinuxFileSystem.h"

#include "platform/ServiceSlot.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>

#include "platform/files/DataFolders.h"
#include "platform/files/DriveTable.h"
#include "platform/files/NativeNames.h"
#include "platform/files/Wildcard.h"

Q_LOGGING_CATEGORY(lcFileSystem, "brelmo.platform.filesystem", QtWarningMsg)

namespace platform {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool IsSeparator(QChar c) {
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

bool HasDriveLetter(const QString& path) {
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter() &&
           path[0].unicode() < 0x80;
}

int DriveIndex(QChar letter) {
    return letter.toLower().unicode() - 'a';
}

QString DriveRootText(QChar letter) {
    return QString(letter.toUpper()) + QStringLiteral(":\\");
}

// Splits the folder names of a path, resolving "." and ".." as the path is
// read (the way drive-letter paths are resolved), never above the root.
void AppendParts(QStringList& parts, const QString& text) {
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsSeparator(text[i])) continue;
        const QString part = text.mid(start, i - start);
        start = i + 1;
        if (part.isEmpty() || part == QLatin1String(".")) continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty()) parts.removeLast();
            continue;
        }
        parts.append(part);
    }
}

QString JoinDrivePath(QChar letter, const QStringList& parts) {
    return DriveRootText(letter) + parts.join(QLatin1Char('\\'));
}

bool IsCaseInsensitiveType(const QString& type) {
    static const QStringList kTypes = {QStringLiteral("vfat"),  QStringLiteral("msdos"),
                                       QStringLiteral("exfat"), QStringLiteral("ntfs"),
                                       QStringLiteral("ntfs3"), QStringLiteral("fuseblk"),
                                       QStringLiteral("cifs"),  QStringLiteral("smb3")};
    return kTypes.contains(type);
}

bool IsDotName(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Attribute bits of an entry, all but read-only (which costs a system call
// per entry, so it is found only for searches that ask for it).
unsigned BaseAttributes(int dirFd, const dirent* entry) {
    unsigned attr = 0;
    if (entry->d_name[0] == '.' && !IsDotName(entry->d_name)) attr |= faHidden;
    unsigned char type = entry->d_type;
    if (type == DT_LNK || type == DT_UNKNOWN) {
        struct stat st {};
        if (fstatat(dirFd, entry->d_name, &st, 0) == 0)
            type = S_ISDIR(st.st_mode)   ? int{DT_DIR}
                   : S_ISREG(st.st_mode) ? int{DT_REG}
                                         : int{DT_FIFO};
        else
            type = DT_REG;  // a broken link or a link loop: listed as a file
    }
    if (type == DT_DIR)
        attr |= faDirectory;
    else if (type == DT_REG)
        attr |= faArchive;
    else
        attr |= faSysFile;  // devices, pipes and sockets are no files to open
    return attr;
}

unsigned ReadOnlyAttribute(int dirFd, const char* name) {
    return faccessat(dirFd, name, W_OK, 0) == 0 ? 0u : unsigned{faReadOnly};
}

// The kernel marks the mount table "exceptional" (POLLPRI) after each change.
class MountTableWatch : public DriveWatch {
  public:
    explicit MountTableWatch(std::function<void()> changed)
        : fd_(::open(kMountTablePath, O_RDONLY | O_CLOEXEC)) {
        if (fd_ < 0) {
            qCWarning(lcFileSystem) << "mount table not watched:" << std::strerror(errno);
            return;
        }
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Exception);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated,
                         [changed = std::move(changed)] { changed(); });
    }
    ~MountTableWatch() override {
        notifier_.reset();
        if (fd_ >= 0) ::close(fd_);
    }
    MountTableWatch(const MountTableWatch&) = delete;
    MountTableWatch& operator=(const MountTableWatch&) = delete;

  private:
    int fd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace

struct LinuxFileSystem::Search {
    Search(DirHandle dirHandle, const QString& mask, unsigned attr)
        : dir(std::move(dirHandle)),
          mask(mask),
          exclude(~attr & (faHidden | faSysFile | faVolumeID | faDirectory)),
          wantsReadOnly(attr & faReadOnly) {}
    DirHandle dir;
    CompiledMask mask;
    unsigned exclude;
    bool wantsReadOnly;
};

LinuxFileSystem::LinuxFileSystem()
    : LinuxFileSystem(&ReadMountTable, SystemBlockDeviceProbe(), DataFolder()) {}

LinuxFileSystem::LinuxFileSystem(MountTableReader readMountTable, BlockDeviceProbe probe,
                                 QByteArray windowsFolder)
    : readMountTable_(std::move(readMountTable)),
      probe_(std::move(probe)),
      windowsFolder_(std::move(windowsFolder)) {
    RefreshDrives();
    StartInProcessDirectory();
}

LinuxFileSystem::LinuxFileSystem(std::vector<DriveInfo> drives, QByteArray windowsFolder)
    : drives_(std::move(drives)), windowsFolder_(std::move(windowsFolder)) {
    for (DriveInfo& drive : drives_)
        drive.Letter = static_cast<char>(QChar(drive.Letter).toLower().unicode());
    StartInProcessDirectory();
}

void LinuxFileSystem::StartInProcessDirectory() {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer)) current_ = DrivePath(QByteArray(buffer));
    if (current_.isEmpty() && !drives_.empty())
        current_ = DriveRootText(QChar(drives_.front().Letter));
    if (!current_.isEmpty()) driveFolders_[DriveIndex(current_[0])] = current_;
}

LinuxFileSystem::~LinuxFileSystem() = default;

void LinuxFileSystem::RefreshDrives() {
    if (!readMountTable_) return;
    QByteArray table = readMountTable_();
    if (table == mountTable_ && !drives_.empty()) return;
    mountTable_ = std::move(table);
    drives_ = KeepLetters(drives_, ParseMountInfo(mountTable_, probe_));
    // A letter given up forgets its folder: a drive that takes it later starts at its root.
    for (int index = 0; index < 26; ++index)
        if (!DriveOf(QChar(char16_t(u'a' + index)))) driveFolders_[index].clear();
}

std::unique_ptr<DriveWatch> LinuxFileSystem::WatchDrives(std::function<void()> changed) {
    return std::make_unique<MountTableWatch>(std::move(changed));
}

bool LinuxFileSystem::Fail(int errorCode) {
    lastError_ = errorCode;
    return false;
}

const DriveInfo* LinuxFileSystem::DriveOf(QChar letter) const {
    const QChar lower = letter.toLower();
    for (const DriveInfo& drive : drives_)
        if (QChar(drive.Letter) == lower) return &drive;
    return nullptr;
}

std::optional<QString> LinuxFileSystem::Absolute(const QString& path) {
    QChar letter = current_.isEmpty() ? QChar('c') : current_[0];
    QString rest = path;
    QString base = current_;
    if (HasDriveLetter(path)) {
        letter = path[0];
        rest = path.mid(2);
        const QString& remembered = driveFolders_[DriveIndex(letter)];
        base = remembered.isEmpty() ? DriveRootText(letter) : remembered;
    }
    if (!DriveOf(letter)) {
        Fail(ENODEV);
        return std::nullopt;
    }
    QStringList parts;
    if (rest.isEmpty() || !IsSeparator(rest[0])) AppendParts(parts, base.mid(3));
    AppendParts(parts, rest);
    return JoinDrivePath(letter, parts);
}

QByteArray LinuxFileSystem::ToNative(const QString& absolutePath) const {
    const DriveInfo* drive = DriveOf(absolutePath[0]);
    if (!drive) return {};
    QStringList parts;
    AppendParts(parts, absolutePath.mid(3));
    QByteArray native = drive->Root;
    const bool windowsFolder =
        drive->Letter == 'c' && !windowsFolder_.isEmpty() && !parts.isEmpty() &&
        parts.front().compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0;
    if (windowsFolder) {
        native = windowsFolder_;
        parts.removeFirst();
    }
    for (const QString& part : parts) {
        if (!native.endsWith('/')) native += '/';
        native += ToNativeName(part);
    }
    return native;
}

QString LinuxFileSystem::DrivePath(const QByteArray& nativePath) const {
    const DriveInfo* best = nullptr;
    for (const DriveInfo& drive : drives_) {
        const QByteArray& root = drive.Root;
        const bool inside = root == "/" ? nativePath.startsWith('/')
                                        : nativePath == root || nativePath.startsWith(root + '/');
        if (inside && (!best || root.size() > best->Root.size())) best = &drive;
    }
    if (!best) return {};
    QStringList parts;
    const QByteArray rest = best->Root == "/" ? nativePath : nativePath.mid(best->Root.size());
    for (const QByteArray& part : rest.split('/'))
        if (!part.isEmpty() && part != ".") parts.append(FromNativeName(part));
    return JoinDrivePath(QChar(best->Letter), parts);
}

QByteArray LinuxFileSystem::NativePath(const QString& path) {
    if (!HasDriveLetter(path) && !path.contains(QLatin1Char('\\'))) return ToNativePath(path);
    const std::optional<QString> absolute = Absolute(path);
    return absolute ? ToNative(*absolute) : QByteArray();
}

unsigned LinuxFileSystem::GetLogicalDrives() {
    RefreshDrives();
    unsigned mask = 0;
    for (const DriveInfo& drive : drives_) mask |= 1u << (drive.Letter - 'a');
    return mask;
}

unsigned LinuxFileSystem::GetDriveType(const QString& root) {
    RefreshDrives();
    const DriveInfo* drive = HasDriveLetter(root) ? DriveOf(root[0]) : nullptr;
    return drive ? drive->Type : DRIVE_NO_ROOT_DIR;
}

bool LinuxFileSystem::GetVolumeInformation(const QString& root, QString* volumeName,
                                           unsigned* fileSystemFlags) {
    RefreshDrives();
    const DriveInfo* drive = HasDriveLetter(root) ? DriveOf(root[0]) : nullptr;
    if (!drive) return Fail(ENODEV);
    // A share whose server has gone can hold a stat for minutes; the drive
    // list asks this of every drive, so network drives answer from the table.
    struct stat st {};
    if (drive->Type != DRIVE_REMOTE && stat(drive->Root.constData(), &st) != 0) return Fail(errno);
    if (volumeName) *volumeName = drive->Label;
    if (fileSystemFlags) {
        *fileSystemFlags = IsCaseInsensitiveType(drive->FileSystemType)
                               ? FILE_CASE_PRESERVED_NAMES
                               : FILE_CASE_PRESERVED_NAMES | FILE_CASE_SENSITIVE_SEARCH;
    }
    return true;
}

bool LinuxFileSystem::WNetGetConnection(const QString& localName, QString& remoteName) {
    RefreshDrives();
    const DriveInfo* drive = HasDriveLetter(localName) ? DriveOf(localName[0]) : nullptr;
    if (!drive) return Fail(ENODEV);
    if (drive->Type != DRIVE_REMOTE || drive->RemoteName.isEmpty()) return Fail(ENOTCONN);
    remoteName = drive->RemoteName;
    return true;
}

unsigned LinuxFileSystem::SetErrorMode(unsigned mode) {
    std::swap(errorMode_, mode);
    return mode;
}

FindHandle LinuxFileSystem::FindFirstFile(const QString& path, unsigned attr, TSearchRec& found) {
    qsizetype cut = path.size() - 1;
    while (cut >= 0 && !IsSeparator(path[cut])) --cut;
    QString folder = path.left(cut + 1);
    QString mask = path.mid(cut + 1);
    if (cut < 0 && HasDriveLetter(path)) {
        folder = path.left(2);
        mask = path.mid(2);
    }
    const std::optional<QString> absolute =
        Absolute(folder.isEmpty() ? QStringLiteral(".") : folder);
    if (!absolute) return INVALID_HANDLE_VALUE;
    if (mask.isEmpty()) {
        Fail(ENOENT);  // an empty mask matches no name
        return INVALID_HANDLE_VALUE;
    }
    DirHandle dir(opendir(ToNative(*absolute).constData()));
    if (!dir) {
        Fail(errno);
        return INVALID_HANDLE_VALUE;
    }
    const FindHandle handle = nextHandle_++;
    searches_[handle] = std::make_unique<Search>(std::move(dir), mask, attr);
    if (FindNextFile(handle, found)) return handle;
    searches_.erase(handle);
    return INVALID_HANDLE_VALUE;
}

bool LinuxFileSystem::FindNextFile(FindHandle handle, TSearchRec& found) {
    const auto it = searches_.find(handle);
    if (it == searches_.end()) return Fail(EBADF);
    Search& search = *it->second;
    const int dirFd = dirfd(search.dir.get());
    errno = 0;
    while (const dirent* entry = readdir(search.dir.get())) {
        if (!search.mask.Matches(entry->d_name)) continue;
        const unsigned attr = BaseAttributes(dirFd, entry);
        if (attr & search.exclude) continue;
        found.Name = FromNativeName(QByteArray(entry->d_name));
        found.Attr = search.wantsReadOnly ? attr | ReadOnlyAttribute(dirFd, entry->d_name) : attr;
        return true;
    }
    return Fail(errno ? errno : ENOENT);
}

bool LinuxFileSystem::FindClose(FindHandle handle) {
    return searches_.erase(handle) ? true : Fail(EBADF);
}

int LinuxFileSystem::GetFileAttributes(const QString& path) {
    const std::optional<QString> absolute = Absolute(path);
    if (!absolute) return -1;
    const QByteArray native = ToNative(*absolute);
    struct stat st {};
    if (stat(native.constData(), &st) != 0) {
        Fail(errno);
        return -1;
    }
    const QString name = absolute->section(QLatin1Char('\\'), -1);
    unsigned attr = S_ISDIR(st.st_mode) ? faDirectory : S_ISREG(st.st_mode) ? faArchive : faSysFile;
    if (name.startsWith(QLatin1Char('.'))) attr |= faHidden;
    if (access(native.constData(), W_OK) != 0) attr |= faReadOnly;
    return static_cast<int>(attr);
}

bool LinuxFileSystem::ChangeTo(const QString& absolutePath) {
    const QByteArray native = ToNative(absolutePath);
    if (chdir(native.constData()) != 0) {
        const int error = errno;
        qCDebug(lcFileSystem) << "chdir failed" << native << std::strerror(error);
        return Fail(error);
    }
    current_ = absolutePath;
    driveFolders_[DriveIndex(absolutePath[0])] = absolutePath;
    return true;
}

bool LinuxFileSystem::SetCurrentDirectory(const QString& path) {
    if (path.isEmpty()) return Fail(ENOENT);
    if (path.size() == 2 && HasDriveLetter(path)) {
        if (!DriveOf(path[0])) return Fail(ENODEV);
        // The remembered folder may have gone; the drive's root is the fallback.
        const QString root = DriveRootText(path[0]);
        const QString& remembered = driveFolders_[DriveIndex(path[0])];
        if (!remembered.isEmpty() && remembered != root && ChangeTo(remembered)) return true;
        return ChangeTo(root);
    }
    const std::optional<QString> absolute = Absolute(path);
    return absolute && ChangeTo(*absolute);
}

QString LinuxFileSystem::GetCurrentDirectory() {
    struct stat here {
    }, remembered{};
    if (!current_.isEmpty() && stat(".", &here) == 0 &&
        stat(ToNative(current_).constData(), &remembered) == 0 &&
        here.st_dev == remembered.st_dev && here.st_ino == remembered.st_ino)
        return current_;
    // Someone moved the process elsewhere, or the folder has gone: believe
    // the system where it can say where we are.
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer)) {
        const QString mapped = DrivePath(QByteArray(buffer));
        if (!mapped.isEmpty()) {
            current_ = mapped;
            driveFolders_[DriveIndex(current_[0])] = current_;
        }
    }
    return current_;
}

IFileSystem& FileSystem() {
    return ServiceSlot<IFileSystem, LinuxFileSystem>::Get();
}

std::unique_ptr<IFileSystem> SetFileSystem(std::unique_ptr<IFileSystem> fileSystem) {
    return ServiceSlot<IFileSystem, LinuxFileSystem>::Swap(std::move(fileSystem));
}

}  // namespace platform
