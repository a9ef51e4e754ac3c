#include "platform/instance/LinuxInstance.h"

#include "platform/ServiceSlot.h"
#include "platform/instance/LineChannel.h"
#include "platform/instance/PrivateFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QWidget>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

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

}  // namespace

LinuxInstance::LinuxInstance() {
    QString refusal;
    folder_ = PrivateRuntimeFolder(&refusal);
    if (folder_.isEmpty()) SayUsingPrivateLock(CandidateFolder(), refusal);
}

LinuxInstance::LinuxInstance(QByteArray folder) : folder_(std::move(folder)) {}

LinuxInstance::~LinuxInstance() {
    mutexes_.clear();
    delete server_.data();
    if (!ownId_.isEmpty() && !folder_.isEmpty()) RemoveWindowFiles(ownId_);
    if (ownLock_ >= 0) ::close(ownLock_);
}

// --- Mutexes ---------------------------------------------------------------

HANDLE LinuxInstance::CreateMutex(const QString& name) {
    lastError_ = ERROR_ACCESS_DENIED;
    NamedMutex mutex;
    int claim = 0;
    const auto tryClaim = [&] { claim = mutex.Claim(folder_, name); };
    if (ownOrder_ != 0) {
        // The claim and a new place on top are one step for all copies, so a
        // copy that finds the name taken always stands above its holder and
        // finds its own window first.
        ownOrder_ = NextOrder(tryClaim);
        WriteOwnEntry();
    } else {
        tryClaim();
    }
    if (claim == EWOULDBLOCK) {
        lastError_ = ERROR_ALREADY_EXISTS;
    } else if (claim != 0) {
        return 0;
    } else {
        lastError_ = ERROR_SUCCESS;
    }
    const HANDLE handle = nextHandle_++;
    mutexes_.emplace(handle, std::move(mutex));
    return handle;
}

bool LinuxInstance::CloseHandle(HANDLE handle) {
    if (mutexes_.erase(handle) == 0) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
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
