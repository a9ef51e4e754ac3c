#include "platform/instance/LineChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

namespace platform {

namespace {

constexpr int kAcceptsPerWake = 64;
// Without a descriptor to spare, the queue is looked at again this much later.
constexpr int kResumeAcceptingMs = 250;

std::optional<sockaddr_un> PathAddress(const QByteArray& path) {
    sockaddr_un address{};
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return address;
}

int NewSocket(int flags) {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0);
}

// A local connection is made at once, unless the server's queue is full:
// then the kernel lets the client wait its turn, up to the time limit.
bool ConnectWithin(int fd, const sockaddr_un& address, int timeoutMs) {
    const timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// Writes all of 'bytes' to a socket whose buffer has room for a line.
bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + written,
                                 static_cast<std::size_t>(bytes.size() - written), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += n;
    }
    return true;
}

}  // namespace

LineServer::LineServer(QObject* parent, const LineLimits& limits, Handler handler)
    : QObject(parent),
      limits_(limits),
      handler_(std::move(handler)),
      lateCheck_(new QTimer(this)),
      resume_(new QTimer(this)) {
    lateCheck_->setInterval(std::max(limits_.lineDeadlineMs / 4, 10));
    connect(lateCheck_, &QTimer::timeout, this, [this] { CutOffLate(); });
    resume_->setSingleShot(true);
    resume_->setInterval(kResumeAcceptingMs);
    connect(resume_, &QTimer::timeout, this, [this] { listening_->setEnabled(true); });
}

LineServer::~LineServer() {
    while (!connections_.empty()) Close(connections_.begin()->first);
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(path_.constData());
}

bool LineServer::Listen(const QByteArray& path) {
    const auto address = PathAddress(path);
    if (!address || fd_ >= 0) return false;
    const int fd = NewSocket(SOCK_NONBLOCK);
    if (fd < 0) return false;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = path;
    listening_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(listening_, &QSocketNotifier::activated, this, [this] { Accept(); });
    return true;
}

// Takes a bounded number of clients per wake, so that a flood of them still
// leaves the window its turns of the event loop.
void LineServer::Accept() {
    for (int taken = 0; taken < kAcceptsPerWake; ++taken) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            Take(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED) continue;
        // The listening socket stays readable while the queue holds clients:
        // looking again at once would spin.
        if (errno != EAGAIN && errno != EWOULDBLOCK) PauseAccepting();
        return;
    }
}

void LineServer::Take(int fd) {
    if (connections_.size() >= limits_.connections) MakeRoom();
    if (connections_.size() >= limits_.connections) {
        ::close(fd);
        return;
    }
    ucred credentials{};
    socklen_t size = sizeof credentials;
    ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size);
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connections_[fd] = {
        notifier, {}, QDeadlineTimer(limits_.lineDeadlineMs), {credentials.pid, credentials.uid}};
    connect(notifier, &QSocketNotifier::activated, this, [this, fd] { Read(fd); });
    if (!lateCheck_->isActive()) lateCheck_->start();
    // A copy writes its line as it connects: it is usually there already.
    Read(fd);
}

// Pushes out the client that has waited longest without sending its line.
void LineServer::MakeRoom() {
    auto oldest = connections_.end();
    for (auto it = connections_.begin(); it != connections_.end(); ++it)
        if (!it->second.answering &&
            (oldest == connections_.end() || it->second.deadline < oldest->second.deadline))
            oldest = it;
    if (oldest != connections_.end()) Close(oldest->first);
}

void LineServer::PauseAccepting() {
    listening_->setEnabled(false);
    resume_->start();
}

void LineServer::CutOffLate() {
    std::vector<int> late;
    for (const auto& [fd, connection] : connections_)
        if (!connection.answering && connection.deadline.hasExpired()) late.push_back(fd);
    for (const int fd : late) Close(fd);
    if (connections_.empty()) lateCheck_->stop();
}

void LineServer::Read(int fd) {
    const auto found = connections_.find(fd);
    if (found == connections_.end() || found->second.answering) return;
    Connection& connection = found->second;
    char chunk[512];
    ssize_t n = 0;
    // Never more than one line's worth is kept.
    while (connection.received.size() <= limits_.longestLine &&
           (n = ::recv(fd, chunk, sizeof chunk, 0)) > 0)
        connection.received.append(chunk, n);
    const bool ended =
        n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
    const qsizetype newline = connection.received.indexOf('\n');
    if (newline > limits_.longestLine ||
        (newline < 0 && (ended || connection.received.size() > limits_.longestLine))) {
        Close(fd);
        return;
    }
    if (newline >= 0) Answer(fd, connection, newline);
}

void LineServer::Answer(int fd, Connection& connection, qsizetype lineEnd) {
    // The answer may run the event loop; this connection must be neither read
    // again nor cut off meanwhile.
    connection.answering = true;
    connection.notifier->setEnabled(false);
    const bool done = handler_(connection.received.left(lineEnd), connection.peer);
    WriteAll(fd, done ? "1\n" : "0\n");
    Close(fd);
}

void LineServer::Close(int fd) {
    const auto found = connections_.find(fd);
    if (found == connections_.end()) return;
    // Deleted later: this may run inside the notifier's own signal.
    found->second.notifier->setEnabled(false);
    found->second.notifier->deleteLater();
    ::close(fd);
    connections_.erase(found);
}

bool AskOverSocket(const QByteArray& path, const QByteArray& line, int answerTimeoutMs) {
    const auto address = PathAddress(path);
    if (!address) return false;
    const int fd = NewSocket(0);
    if (fd < 0) return false;
    const QDeadlineTimer deadline(answerTimeoutMs);
    bool answered = false;
    if (ConnectWithin(fd, *address, answerTimeoutMs) && WriteAll(fd, line + '\n')) {
        QByteArray answer;
        while (!answer.contains('\n') && !deadline.hasExpired()) {
            pollfd waiting{fd, POLLIN, 0};
            const int ready = ::poll(&waiting, 1, static_cast<int>(deadline.remainingTime()));
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) break;
            char chunk[16];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
            if (n <= 0) break;
            answer.append(chunk, n);
        }
        answered = answer.startsWith("1\n");
    }
    ::close(fd);
    return answered;
}

}  // namespace platform
