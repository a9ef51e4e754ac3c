#pragma once

#include <QByteArray>
#include <QObject>
#include <functional>
#include <map>

class QSocketNotifier;

namespace platform {

// The channel between copies of the program: a stream socket at a path on
// which each request is one line and each answer "1" or "0". Plain sockets
// and the event loop's notifiers are all it needs. A line longer than the
// server's limit is refused unanswered.
class LineServer : public QObject {
  public:
    // Answers a request line (without its line end); true is "1".
    using Handler = std::function<bool(const QByteArray& line)>;

    LineServer(QObject* parent, qsizetype longestLine, Handler handler);
    ~LineServer() override;
    LineServer(const LineServer&) = delete;
    LineServer& operator=(const LineServer&) = delete;

    // Listens at 'path', which must not exist yet; removed again with the server.
    bool Listen(const QByteArray& path);

  private:
    void Accept();
    void Read(int fd);
    void Close(int fd);

    qsizetype longestLine_;
    Handler handler_;
    int fd_ = -1;
    QByteArray path_;
    QSocketNotifier* listening_ = nullptr;
    struct Connection {
        QSocketNotifier* notifier;
        QByteArray received;
    };
    std::map<int, Connection> connections_;
};

// Sends 'line' to the server at 'path' and waits at most 'answerTimeoutMs'
// for its answer: true when it answered "1". A server that is not there or
// does not answer in time counts as "0", so a hung copy cannot hang another.
bool AskOverSocket(const QByteArray& path, const QByteArray& line, int answerTimeoutMs);

}  // namespace platform
