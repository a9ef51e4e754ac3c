#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <future>
#include <utility>
#include <vector>

#include "platform/instance/LineChannel.h"

using platform::AskOverSocket;
using platform::LineLimits;
using platform::LinePeer;
using platform::LineServer;

namespace {

// What a client sends, and what it must hear back from a server that says
// "1" to the line "yes" and "0" to any other.
struct LineCase {
    const char* name;
    QByteArray line;
    bool answer;
    int handled;
};

class LineFixture {
  public:
    // Asks from a thread of its own while this one runs the server's events.
    bool Ask(const QByteArray& path, const QByteArray& line) {
        auto answer =
            std::async(std::launch::async, [&] { return AskOverSocket(path, line, 600); });
        while (answer.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return answer.get();
    }

    // A connection that sends nothing; -1 when the process has no descriptor left.
    int Idle() {
        sockaddr_un address{AF_UNIX, {}};
        std::memcpy(address.sun_path, path_.constData(), static_cast<std::size_t>(path_.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd >= 0) clients_.push_back(fd);
        return ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ? fd : -1;
    }
    // Whether the server hangs up on 'fd' (it never answers such a client).
    static bool CutOff(int fd) {
        char byte;
        ssize_t n = -1;
        return QTest::qWaitFor(
                   [&] { return (n = ::recv(fd, &byte, 1, 0)) >= 0 || errno != EAGAIN; }, 10000) &&
               n <= 0;
    }
    ~LineFixture() {
        for (const int fd : clients_) ::close(fd);
    }

    static constexpr LineLimits kLimits{4, 200, 64};
    std::vector<int> clients_;
    QTemporaryDir folder_;
    QByteArray path_ = QFile::encodeName(folder_.filePath(QStringLiteral("s.sock")));
    int handled_ = 0;
    LinePeer peer_;
    LineServer server_{nullptr, kLimits, [this](const QByteArray& line, const LinePeer& peer) {
                           ++handled_;
                           peer_ = peer;
                           return line == "yes";
                       }};
};

class LineChannel : public LineFixture, public testing::TestWithParam<LineCase> {};

TEST_P(LineChannel, AnswersEachLineOnce) {
    ASSERT_TRUE(server_.Listen(path_));
    EXPECT_EQ(Ask(path_, GetParam().line), GetParam().answer);
    EXPECT_EQ(handled_, GetParam().handled);
    if (handled_ > 0) {
        EXPECT_EQ(peer_.pid, ::getpid()) << "the kernel names the client";
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, LineChannel,
                         testing::Values(LineCase{"Yes", "yes", true, 1},
                                         LineCase{"No", "no", false, 1},
                                         LineCase{"Empty", "", false, 1},
                                         LineCase{"TooLong", QByteArray(200, 'y'), false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineChannel, NoServerAnswersNoAndTheSocketGoesWithTheServer) {
    EXPECT_FALSE(Ask(path_, "yes"));
    {
        LineServer gone(nullptr, kLimits, [](const QByteArray&, const LinePeer&) { return true; });
        ASSERT_TRUE(gone.Listen(path_));
        EXPECT_FALSE(gone.Listen(path_));
    }
    EXPECT_FALSE(QFile::exists(QFile::decodeName(path_)));
    EXPECT_TRUE(server_.Listen(path_));
}

// Clients that break the limits, each row one way; after each, the server
// still answers a client that keeps them, and holds no more than its cap.
struct AbuseCase {
    const char* name;
    void (*abuse)(LineFixture& test);
};

class ChannelAbuseTable : public LineFixture, public testing::TestWithParam<AbuseCase> {};

TEST_P(ChannelAbuseTable, LeavesTheServerAnsweringOthers) {
    ASSERT_TRUE(server_.Listen(path_));
    GetParam().abuse(*this);
    EXPECT_LE(server_.Connections(), kLimits.connections);
    EXPECT_TRUE(Ask(path_, "yes"));
    EXPECT_EQ(handled_, 1) << "nothing but the whole line was answered";
}

void PastTheCap(LineFixture& test) {
    for (std::size_t i = 0; i < 5 * LineFixture::kLimits.connections; ++i) test.Idle();
    QTest::qWait(50);
    EXPECT_EQ(test.server_.Connections(), LineFixture::kLimits.connections);
}

void IdlePastTheDeadline(LineFixture& test) {
    EXPECT_TRUE(test.CutOff(test.Idle()));
}

void OversizedLine(LineFixture& test) {
    const int fd = test.Idle();
    EXPECT_GT(::send(fd, QByteArray(1 << 20, 'y').constData(), 1 << 20, MSG_NOSIGNAL), 64);
    EXPECT_TRUE(test.CutOff(fd));
}

// Clients and server share this process's descriptors: the clients take all
// the limit leaves, so the server runs out while a queue of them waits. A
// late client comes first, so that the server has run before
// (the sanitizers' checks of its first run take descriptors of their own).
void DescriptorsAtTheLimit(LineFixture& test) {
    EXPECT_TRUE(LineFixture::CutOff(test.Idle()));
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    const rlimit lowered{QDir(QStringLiteral("/proc/self/fd")).count() + 16u, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    while (test.Idle() >= 0) {
    }
    QTest::qWait(300);
    for (const int fd : std::exchange(test.clients_, {})) ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &saved);
}

INSTANTIATE_TEST_SUITE_P(Abuse, ChannelAbuseTable,
                         testing::Values(AbuseCase{"ConnectionsPastTheCap", PastTheCap},
                                         AbuseCase{"IdlePastTheDeadline", IdlePastTheDeadline},
                                         AbuseCase{"OversizedLine", OversizedLine},
                                         AbuseCase{"DescriptorsAtTheLimit", DescriptorsAtTheLimit}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
