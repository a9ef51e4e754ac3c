#include "platform/instance/LinuxInstance.h"

#include "platform/ServiceSlot.h"
#include "platform/instance/LineChannel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

Q_LOGGING_CATEGORY(lcInstance, "brelmo.platform.instance", QtInfoMsg)

namespace platform {

namespace {

// A request is one line; an answer is "1" or "0". A copy that does not
// answer in time is taken as not there, so a hung copy cannot hang another.
constexpr int kAnswerTimeoutMs = 600;
// A copy sends its request as it connects; a client that holds a connection
// open any longer, or sends more, is cut off.
constexpr LineLimits kRequestLimits{32, 1000, 4096};
// Files handed over before they are opened; far more than a playlist holds.
constexpr qsizetype kMostHandedFiles = 1000;

// Names become file names: percent-encoded, or hashed when that is too long.
QByteArray EncodeName(const QString& name) {
    QByteArray encoded = name.toUtf8().toPercentEncoding();
    if (encoded.size() <= 200) return encoded;
    return "h" + QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex();
}

int OpenNoFollow(const QByteArray& path, int flags) {
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC | O_NOFOLLOW, 0600);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int Flock(int fd, int operation) {
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

QString RefusalReason(int error) {
    if (error == ELOOP || error == ENOTDIR)
        return QStringLiteral("it is a symbolic link or not a folder");
    return QString::fromLocal8Bit(std::strerror(error));
}

void SayUsingPrivateLock(const QByteArray& path, const QString& reason) {
    static bool said = false;
    if (said) return;
    said = true;
    qCWarning(lcInstance).noquote()
        << "not using" << QFile::decodeName(path)
        << "for the single-instance guard (" + reason + "); using a private lock instead";
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

// Whether process 'pid' runs the same executable file as this one.
bool RunsThisProgram(pid_t pid) {
    struct stat own {
    }, other{};
    const QByteArray exe = "/proc/" + QByteArray::number(pid) + "/exe";
    return pid > 0 && ::stat("/proc/self/exe", &own) == 0 && ::stat(exe.constData(), &other) == 0 &&
           own.st_dev == other.st_dev && own.st_ino == other.st_ino;
}

// What a launcher gave this copy to hand the focus on with: on Wayland a
// window can be activated only with such a token of the compositor's.
QByteArray OwnActivationToken() {
    return qgetenv("XDG_ACTIVATION_TOKEN");
}

// Restores, raises and activates the form. Where the window system takes
// activation tokens, the one of the copy that asked goes with the request.
void BringForward(QWidget& form, const QByteArray& token) {
    if (form.isMinimized()) form.showNormal();
    form.raise();
    if (!token.isEmpty() && QGuiApplication::platformName() == QLatin1String("wayland")) {
        qCDebug(lcInstance) << "asking for activation with the token of another copy";
        qputenv("XDG_ACTIVATION_TOKEN", token);
    }
    form.activateWindow();
}

struct WindowEntry {
    quint64 order = 0;
    QString text;
};

std::optional<WindowEntry> ReadEntry(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray content = file.read(64 * 1024);
    const qsizetype newline = content.indexOf('\n');
    if (newline < 0) return std::nullopt;
    bool ok = false;
    WindowEntry entry{content.left(newline).toULongLong(&ok),
                      QString::fromUtf8(content.mid(newline + 1))};
    if (!ok) return std::nullopt;
    return entry;
}

QByteArray CandidateFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && QFileInfo(QFile::decodeName(runtime)).isDir())
        return runtime + "/brelmo";
    return "/tmp/brelmo-" + QByteArray::number(::geteuid());
}

QByteArray CheckedFolder(QString* refusal) {
    QByteArray folder = CandidateFolder();
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) {
        *refusal = RefusalReason(errno);
        return {};
    }
    const int fd = OpenNoFollow(folder, O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        *refusal = RefusalReason(errno);
        return {};
    }
    struct stat status {};
    QString reason;
    if (::fstat(fd, &status) != 0)
        reason = RefusalReason(errno);
    else if (status.st_uid != ::geteuid())
        reason = QStringLiteral("it belongs to another user");
    else if ((status.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0)
        reason = RefusalReason(errno);
    ::close(fd);
    *refusal = reason;
    return reason.isEmpty() ? folder : QByteArray();
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

QByteArray PrivateRuntimeFolder(QString* refusal) {
    refusal->clear();
    return CheckedFolder(refusal);
}

LinuxInstance::LinuxInstance() {
    QString refusal;
    folder_ = PrivateRuntimeFolder(&refusal);
    if (folder_.isEmpty()) SayUsingPrivateLock(CandidateFolder(), refusal);
}

LinuxInstance::LinuxInstance(QByteArray folder) : folder_(std::move(folder)) {}

LinuxInstance::~LinuxInstance() {
    for (auto& [handle, mutex] : mutexes_) Release(mutex);
    delete server_.data();
    if (!ownId_.isEmpty() && !folder_.isEmpty()) RemoveWindowFiles(ownId_);
    if (ownLock_ >= 0) ::close(ownLock_);
}

// --- Mutexes ---------------------------------------------------------------

// A name is claimed twice: by a lock on its file in the private folder, and
// by the private lock, which still guards when there is no folder or the file
// cannot be had. The name is taken when either claim finds it held by a copy
// of this user; a private lock held by anyone else counts for nothing.
HANDLE LinuxInstance::CreateMutex(const QString& name) {
    lastError_ = ERROR_ACCESS_DENIED;
    Mutex mutex;
    int claim = 0;
    const auto tryClaim = [&] {
        const int fileClaim = ClaimFileLock(mutex, name);
        const int lockClaim = ClaimPrivateLock(mutex, name);
        if (fileClaim == EWOULDBLOCK || lockClaim == EWOULDBLOCK)
            claim = EWOULDBLOCK;
        else
            claim = fileClaim == 0 || lockClaim == 0 ? 0 : fileClaim;
    };
    if (ownOrder_ != 0) {
        // The claim and a new place on top are one step for all copies, so a
        // copy that finds the name taken always stands above its holder and
        // finds its own window first.
        ownOrder_ = NextOrder(tryClaim);
        WriteOwnEntry();
    } else {
        tryClaim();
    }
    if (claim == 0) {
        lastError_ = ERROR_SUCCESS;
    } else if (claim == EWOULDBLOCK) {
        lastError_ = ERROR_ALREADY_EXISTS;
    } else {
        Release(mutex);
        return 0;
    }
    const HANDLE handle = nextHandle_++;
    mutexes_[handle] = std::move(mutex);
    return handle;
}

// 0 when the file's lock is now ours, EWOULDBLOCK when another copy holds
// it, another errno value when there is no file to lock.
int LinuxInstance::ClaimFileLock(Mutex& mutex, const QString& name) const {
    if (folder_.isEmpty()) return EBADF;
    const QByteArray file = folder_ + "/mutex-" + EncodeName(name);
    mutex.file = OpenLockFile(folder_, file);
    if (mutex.file < 0) {
        SayUsingPrivateLock(file, RefusalReason(errno));
        return EBADF;
    }
    return Flock(mutex.file, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
}

// 0 when the lock is now ours, EWOULDBLOCK when another copy of this user
// holds it, another errno value when it cannot be had.
int LinuxInstance::ClaimPrivateLock(Mutex& mutex, const QString& name) const {
    const QByteArray folder = folder_.isEmpty() ? CandidateFolder() : folder_;
    socklen_t length = 0;
    const sockaddr_un address = AbstractAddress(PrivateLockAddress(folder, name), &length);
    mutex.lock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (mutex.lock < 0) return errno;
    if (::bind(mutex.lock, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        ::listen(mutex.lock, 8) == 0) {
        // Each copy that asks who holds the lock is let go at once.
        mutex.asking = std::make_unique<QSocketNotifier>(mutex.lock, QSocketNotifier::Read);
        QObject::connect(mutex.asking.get(), &QSocketNotifier::activated, [fd = mutex.lock] {
            const int asker = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (asker >= 0) ::close(asker);
        });
        return 0;
    }
    const int error = errno;
    ::close(mutex.lock);
    mutex.lock = -1;
    if (error != EADDRINUSE) return error;
    const std::optional<uid_t> holder = HolderUid(address, length);
    if (holder == ::geteuid()) return EWOULDBLOCK;
    SayPrivateLockTaken(holder, mutex.file >= 0);
    return EACCES;
}

void LinuxInstance::Release(Mutex& mutex) {
    mutex.asking.reset();
    for (int* fd : {&mutex.file, &mutex.lock}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

bool LinuxInstance::CloseHandle(HANDLE handle) {
    const auto found = mutexes_.find(handle);
    if (found == mutexes_.end()) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    Release(found->second);
    mutexes_.erase(found);
    return true;
}

// --- Window files ----------------------------------------------------------

QByteArray LinuxInstance::WindowFile(const QString& id, const char* suffix) const {
    return folder_ + '/' + id.toLatin1() + suffix;
}

bool LinuxInstance::IsAlive(const QString& id) const {
    const int fd = OpenNoFollow(WindowFile(id, ".lock"), O_RDONLY);
    if (fd < 0) return false;
    const bool held = Flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

void LinuxInstance::RemoveWindowFiles(const QString& id) const {
    // The entry goes first, so a window is never listed without its lock.
    for (const char* suffix : {".entry", ".sock", ".lock"})
        ::unlink(WindowFile(id, suffix).constData());
}

// Registrations are numbered under a lock, so the order is total even for
// copies started in the same instant.
quint64 LinuxInstance::NextOrder(const std::function<void()>& whileLocked) const {
    const int fd = OpenNoFollow(folder_ + "/order", O_RDWR | O_CREAT);
    if (fd < 0) {
        if (whileLocked) whileLocked();
        return 0;
    }
    Flock(fd, LOCK_EX);
    if (whileLocked) whileLocked();
    char text[32] = {};
    const ssize_t length = ::pread(fd, text, sizeof text - 1, 0);
    const quint64 order = (length > 0 ? std::strtoull(text, nullptr, 10) : 0) + 1;
    const QByteArray written = QByteArray::number(order);
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, written.constData(), written.size(), 0) < 0)
        qCWarning(lcInstance) << "window order not stored:" << std::strerror(errno);
    ::close(fd);
    return order;
}

void LinuxInstance::WriteOwnEntry() {
    if (folder_.isEmpty()) return;
    QSaveFile file(QFile::decodeName(WindowFile(ownId_, ".entry")));
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(QByteArray::number(ownOrder_) + '\n' + ownText_.toUtf8());
    file.commit();
}

// --- Registration and requests from other copies ---------------------------

WindowId LinuxInstance::RegisterApplicationWindow(const QString& text) {
    ownText_ = text;
    if (!ownId_.isEmpty()) {
        WriteOwnEntry();
        return HandleOf(ownId_);
    }
    ownId_ = QStringLiteral("win-%1-%2")
                 .arg(::getpid())
                 .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    if (!folder_.isEmpty()) {
        ownLock_ = OpenNoFollow(WindowFile(ownId_, ".lock"), O_RDWR | O_CREAT);
        if (ownLock_ >= 0 && Flock(ownLock_, LOCK_EX | LOCK_NB) == 0 && StartServer()) {
            ownOrder_ = NextOrder({});
            WriteOwnEntry();
        }
    }
    return HandleOf(ownId_);
}

void LinuxInstance::SetMainForm(QWidget* form) {
    mainForm_ = form;
}

bool LinuxInstance::StartServer() {
    // Owned by the Qt application, so it goes before the event machinery does.
    server_ = new LineServer(
        QCoreApplication::instance(), kRequestLimits,
        [this](const QByteArray& line, const LinePeer& peer) { return AnswerRequest(line, peer); });
    return server_->Listen(WindowFile(ownId_, ".sock"));
}

// Renaming the window (what a starting copy does to step aside) and handing
// files over change what the player does: any other process of the user
// asking for them is refused.
bool LinuxInstance::AnswerRequest(const QByteArray& line, const LinePeer& peer) {
    const auto ask = static_cast<Ask>(line.isEmpty() ? '\0' : line[0]);
    if ((ask == Ask::SetText || ask == Ask::HandFile) && !RunsThisProgram(peer.pid)) {
        qCInfo(lcInstance).nospace() << "a request '" << line.left(1) << "' from process "
                                     << peer.pid << " refused: it is not a copy of this program";
        return false;
    }
    return Act(ask, QByteArray::fromPercentEncoding(line.mid(2)));
}

bool LinuxInstance::Act(Ask ask, const QByteArray& argument) {
    QWidget* form = mainForm_.data();
    switch (ask) {
        case Ask::SetText:
            if (QString::fromUtf8(argument) == ownText_) return true;
            ownText_ = QString::fromUtf8(argument);
            WriteOwnEntry();
            if (OnWindowTextChange) OnWindowTextChange(ownText_);
            return true;
        case Ask::IsIconic:
            return form && form->isMinimized();
        case Ask::Show: {
            const qsizetype blank = argument.indexOf(' ');
            if (!form || argument.left(blank).toInt() != SW_RESTORE) return false;
            form->showNormal();
            BringForward(*form, blank < 0 ? QByteArray() : argument.mid(blank + 1));
            return true;
        }
        case Ask::BringToTop:
            if (!form) return false;
            BringForward(*form, argument);
            return true;
        case Ask::HandFile:
            return TakeHandedFile(argument);
        default:
            return false;
    }
}

// One file a request, so that no number of files makes a request too long;
// the empty request opens what was handed since the last one.
bool LinuxInstance::TakeHandedFile(const QByteArray& nativePath) {
    if (!nativePath.isEmpty()) {
        if (handedFiles_.size() >= kMostHandedFiles) return false;
        handedFiles_.append(nativePath);
        return true;
    }
    const QList<QByteArray> files = std::exchange(handedFiles_, {});
    if (OnOpenFiles) OnOpenFiles(files);
    return !files.isEmpty();
}

bool LinuxInstance::Request(WindowId window, Ask ask, const QByteArray& argument) {
    if (window < 1 || window > static_cast<WindowId>(windows_.size())) return false;
    const QString& id = windows_[window - 1];
    if (id == ownId_) return Act(ask, argument);
    if (folder_.isEmpty()) return false;

    QByteArray line(1, static_cast<char>(ask));
    if (!argument.isEmpty()) line += ' ' + argument.toPercentEncoding();
    return AskOverSocket(WindowFile(id, ".sock"), line, kAnswerTimeoutMs);
}

WindowId LinuxInstance::HandleOf(const QString& id) {
    for (std::size_t i = 0; i < windows_.size(); ++i)
        if (windows_[i] == id) return static_cast<WindowId>(i + 1);
    windows_.push_back(id);
    return static_cast<WindowId>(windows_.size());
}

// --- Window functions ------------------------------------------------------

WindowId LinuxInstance::FindWindow(const QString& text) {
    QString best;
    quint64 bestOrder = 0;
    if (!ownId_.isEmpty() && ownText_ == text) {
        best = ownId_;
        bestOrder = ownOrder_;
    }
    if (!folder_.isEmpty()) {
        const QDir folder(QFile::decodeName(folder_));
        for (const QString& name : folder.entryList({QStringLiteral("win-*.entry")}, QDir::Files)) {
            const QString id = name.chopped(6);
            if (id == ownId_) continue;
            if (!IsAlive(id)) {
                RemoveWindowFiles(id);
                continue;
            }
            const auto entry = ReadEntry(folder.filePath(name));
            if (entry && entry->text == text && (best.isEmpty() || entry->order > bestOrder)) {
                best = id;
                bestOrder = entry->order;
            }
        }
    }
    return best.isEmpty() ? 0 : HandleOf(best);
}

bool LinuxInstance::SetWindowText(WindowId window, const QString& text) {
    return Request(window, Ask::SetText, text.toUtf8());
}

bool LinuxInstance::IsIconic(WindowId window) {
    return Request(window, Ask::IsIconic, {});
}

bool LinuxInstance::ShowWindow(WindowId window, int command) {
    return Request(window, Ask::Show, QByteArray::number(command) + ' ' + OwnActivationToken());
}

bool LinuxInstance::BringWindowToTop(WindowId window) {
    return Request(window, Ask::BringToTop, OwnActivationToken());
}

bool LinuxInstance::OpenFiles(WindowId window, const QList<QByteArray>& nativePaths) {
    bool allTaken = true;
    for (const QByteArray& path : nativePaths)
        allTaken = Request(window, Ask::HandFile, path) && allTaken;
    Request(window, Ask::HandFile, {});
    return allTaken;
}

// --- The service in use ----------------------------------------------------

IInstance& Instance() {
    return ServiceSlot<IInstance, LinuxInstance>::Get();
}

std::unique_ptr<IInstance> SetInstance(std::unique_ptr<IInstance> instance) {
    return ServiceSlot<IInstance, LinuxInstance>::Swap(std::move(instance));
}

}  // namespace platform
