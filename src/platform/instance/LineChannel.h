#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <functional>
#include <map>

class QSocketNotifier;
class QTimer;

namespace platform {

// What a server bears from its clients, so that no client, nor thousands of
// them, can take the process's descriptors or its time.
struct LineLimits {
    // Connections kept open at once; a new one pushes out the oldest waiting.
    std::size_t connections = 32;
    // How long a client has, from connecting, to send its whole line.
    int lineDeadlineMs = 1000;
    // A longer line is refused unanswered.
    qsizetype longestLine = 4096;
};

// The client of a request, as the kernel saw it connect.
struct LinePeer {
    pid_t pid = 0;
    uid_t uid = 0;
};

// The channel between copies of the program: a stream socket at a path on
// which each request is one line and each answer "1" or "0". Plain sockets
// and the event loop's notifiers are all it needs. A client that breaks the
// limits is cut off unanswered; where the process has no descriptor left,
// new clients wait in the socket's queue (or are refused) and the server
// looks again a little later, never in a busy loop.
class LineServer : public QObject {
  public:
    // Answers a request line (without its line end); true is "1".
    using Handler = std::function<bool(const QByteArray& line, const LinePeer& peer)>;

    LineServer(QObject* parent, const LineLimits& limits, Handler handler);
    ~LineServer() override;
    LineServer(const LineServer&) = delete;
    LineServer& operator=(const LineServer&) = delete;

    // Listens at 'path', which must not exist yet; removed again with the server.
    bool Listen(const QByteArray& path);
    // The clients connected now.
    std::size_t Connections() const { return connections_.size(); }

  private:
    struct Connection {
        QSocketNotifier* notifier;
        QByteArray received;
        QDeadlineTimer deadline;
        LinePeer peer;
        bool answering = false;
    };

    void Accept();
    void Take(int fd);
    void MakeRoom();
    void PauseAccepting();
    void CutOffLate();
    void Read(int fd);
    void Answer(int fd, Connection& connection, qsizetype lineEnd);
    void Close(int fd);

    LineLimits limits_;
    Handler handler_;
    int fd_ = -1;
    QByteArray path_;
    QSocketNotifier* listening_ = nullptr;
    QTimer* lateCheck_;
    QTimer* resume_;
    std::map<int, Connection> connections_;
};

// Sends 'line' to the server at 'path' and waits at most 'answerTimeoutMs'
// for its answer: true when it answered "1". A server that is not there or
// does not answer in time counts as "0", so a hung copy cannot hang another.
// A server whose queue is full is waited for within the same time.
bool AskOverSocket(const QByteArray& path, const QByteArray& line, int answerTimeoutMs);

}  // namespace platform
