#include "platform/instance/LineChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <optional>

namespace platform {

namespace {

std::optional<sockaddr_un> PathAddress(const QByteArray& path) {
    sockaddr_un address{};
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return address;
}

int NewSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
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

LineServer::LineServer(QObject* parent, qsizetype longestLine, Handler handler)
    : QObject(parent), longestLine_(longestLine), handler_(std::move(handler)) {}

LineServer::~LineServer() {
    while (!connections_.empty()) Close(connections_.begin()->first);
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(path_.constData());
}

bool LineServer::Listen(const QByteArray& path) {
    const auto address = PathAddress(path);
    if (!address || fd_ >= 0) return false;
    const int fd = NewSocket();
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

void LineServer::Accept() {
    for (;;) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return;
        }
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connections_[fd] = {notifier, {}};
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { Read(fd); });
    }
}

void LineServer::Read(int fd) {
    Connection& connection = connections_.at(fd);
    char chunk[512];
    ssize_t n;
    while ((n = ::recv(fd, chunk, sizeof chunk, 0)) > 0) connection.received.append(chunk, n);
    const bool ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
    const qsizetype newline = connection.received.indexOf('\n');
    if (newline > longestLine_ || (newline < 0 && connection.received.size() > longestLine_)) {
        Close(fd);
        return;
    }
    if (newline < 0) {
        if (ended) Close(fd);
        return;
    }
    // The answer may run the event loop; this connection must not be read again meanwhile.
    connection.notifier->setEnabled(false);
    const bool done = handler_(connection.received.left(newline));
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
    const int fd = NewSocket();
    if (fd < 0) return false;
    // A local connection is made at once or not at all.
    bool answered = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 &&
        WriteAll(fd, line + '\n')) {
        const QDeadlineTimer deadline(answerTimeoutMs);
        QByteArray answer;
        while (!answer.contains('\n') && !deadline.hasExpired()) {
            pollfd waiting{fd, POLLIN, 0};
            const int ready = ::poll(&waiting, 1, static_cast<int>(deadline.remainingTime()));
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) break;
            char chunk[16];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) break;
            answer.append(chunk, n);
        }
        answered = answer.startsWith("1\n");
    }
    ::close(fd);
    return answered;
}

}  // namespace platform
