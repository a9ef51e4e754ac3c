#include "platform/instance/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/instance/PrivateFolder.h"

namespace platform {

namespace {

// Names become file names: percent-encoded, or hashed when that is too long.
QByteArray EncodeName(const QString& name) {
    QByteArray encoded = name.toUtf8().toPercentEncoding();
    if (encoded.size() <= 200) return encoded;
    return "h" + QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex();
}

// The private lock's name is open to anyone: one that some other user (or a
// socket that does not answer) holds is passed over, with one line in the log.
void SayPrivateLockTaken(std::optional<uid_t> holder, bool guardedByFile) {
    static bool said = false;
    if (said) return;
    said = true;
    const QString by = holder ? QStringLiteral("user %1").arg(*holder)
                              : QStringLiteral("a socket that does not answer");
    qCWarning(lcInstance).noquote()
        << "the private single-instance lock is held by"
        << by + QLatin1String(guardedByFile ? "; the lock file alone keeps one copy running"
                                            : "; nothing keeps a second copy from running");
}

bool IsPlainFile(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// The mutex file, a plain file in the private folder. Anything else at its
// place (a symbolic link, a pipe) can only be the user's own doing there; it
// is replaced under a lock on the folder, so that copies doing so at once
// still meet at one file, and a plain file is never removed.
int OpenLockFile(const QByteArray& folder, const QByteArray& path) {
    int fd = OpenNoFollow(path, O_RDWR | O_CREAT);
    if (fd >= 0 && IsPlainFile(fd)) return fd;
    if (fd >= 0) ::close(fd);
    const int folderFd = OpenNoFollow(folder, O_RDONLY | O_DIRECTORY);
    if (folderFd < 0) return -1;
    Flock(folderFd, LOCK_EX);
    struct stat status {};
    if (::lstat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode))
        ::unlink(path.constData());
    fd = OpenNoFollow(path, O_RDWR | O_CREAT);
    const int error = errno;
    if (fd >= 0 && !IsPlainFile(fd)) {
        ::close(fd);
        fd = -1;
    }
    ::close(folderFd);
    errno = error;
    return fd;
}

sockaddr_un AbstractAddress(const QByteArray& address, socklen_t* length) {
    sockaddr_un socketAddress{};
    socketAddress.sun_family = AF_UNIX;
    std::memcpy(socketAddress.sun_path + 1, address.constData(), address.size());
    *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + address.size());
    return socketAddress;
}

// The uid of whoever listens on the address, or nothing when no one answers.
std::optional<uid_t> HolderUid(const sockaddr_un& address, socklen_t length) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return std::nullopt;
    std::optional<uid_t> uid;
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0)
        uid = credentials.uid;
    ::close(fd);
    return uid;
}

}  // namespace

// The private lock of a name: a listening socket in the abstract namespace,
// which no file can stand in for and which the kernel frees when its holder
// dies. Anyone may bind a name there, so a name that is taken counts as held
// by another copy only when the holder runs as this user.
QByteArray PrivateLockAddress(const QByteArray& folder, const QString& name) {
    const QByteArray key = folder + '\n' + name.toUtf8();
    return "brelmo-lock/" + QByteArray::number(::geteuid()) + '/' +
           QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
}

NamedMutex::NamedMutex() = default;

NamedMutex::~NamedMutex() {
    Release();
}

NamedMutex::NamedMutex(NamedMutex&& other) noexcept
    : file_(std::exchange(other.file_, -1)),
      lock_(std::exchange(other.lock_, -1)),
      asking_(std::move(other.asking_)) {}

NamedMutex& NamedMutex::operator=(NamedMutex&& other) noexcept {
    if (this != &other) {
        Release();
        file_ = std::exchange(other.file_, -1);
        lock_ = std::exchange(other.lock_, -1);
        asking_ = std::move(other.asking_);
    }
    return *this;
}

// A name is claimed twice: by a lock on its file in the private folder, and
// by the private lock, which still guards when there is no folder or the file
// cannot be had. The name is taken when either claim finds it held by a copy
// of this user; a private lock held by anyone else counts for nothing.
int NamedMutex::Claim(const QByteArray& folder, const QString& name) {
    const int fileClaim = ClaimFileLock(folder, name);
    const int lockClaim = ClaimPrivateLock(folder, name);
    if (fileClaim == EWOULDBLOCK || lockClaim == EWOULDBLOCK) return EWOULDBLOCK;
    return fileClaim == 0 || lockClaim == 0 ? 0 : fileClaim;
}

// 0 when the file's lock is now ours, EWOULDBLOCK when another copy holds
// it, another errno value when there is no file to lock.
int NamedMutex::ClaimFileLock(const QByteArray& folder, const QString& name) {
    if (folder.isEmpty()) return EBADF;
    const QByteArray file = folder + "/mutex-" + EncodeName(name);
    file_ = OpenLockFile(folder, file);
    if (file_ < 0) {
        SayUsingPrivateLock(file, RefusalReason(errno));
        return EBADF;
    }
    return Flock(file_, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
}

// 0 when the lock is now ours, EWOULDBLOCK when another copy of this user
// holds it, another errno value when it cannot be had.
int NamedMutex::ClaimPrivateLock(const QByteArray& folder, const QString& name) {
    const QByteArray lockFolder = folder.isEmpty() ? CandidateFolder() : folder;
    socklen_t length = 0;
    const sockaddr_un address = AbstractAddress(PrivateLockAddress(lockFolder, name), &length);
    lock_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (lock_ < 0) return errno;
    if (::bind(lock_, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        ::listen(lock_, 8) == 0) {
        // Each copy that asks who holds the lock is let go at once.
        asking_ = std::make_unique<QSocketNotifier>(lock_, QSocketNotifier::Read);
        QObject::connect(asking_.get(), &QSocketNotifier::activated, [fd = lock_] {
            const int asker = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (asker >= 0) ::close(asker);
        });
        return 0;
    }
    const int error = errno;
    ::close(lock_);
    lock_ = -1;
    if (error != EADDRINUSE) return error;
    const std::optional<uid_t> holder = HolderUid(address, length);
    if (holder == ::geteuid()) return EWOULDBLOCK;
    SayPrivateLockTaken(holder, file_ >= 0);
    return EACCES;
}

void NamedMutex::Release() {
    asking_.reset();
    for (int* fd : {&file_, &lock_}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

}  // namespace platform
