#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <future>

#include "platform/instance/LineChannel.h"

using platform::AskOverSocket;
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

class LineChannel : public testing::TestWithParam<LineCase> {
  protected:
    // Asks from a thread of its own while this one runs the server's events.
    bool Ask(const QByteArray& path, const QByteArray& line) {
        auto answer =
            std::async(std::launch::async, [&] { return AskOverSocket(path, line, 600); });
        while (answer.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return answer.get();
    }

    QTemporaryDir folder_;
    QByteArray path_ = QFile::encodeName(folder_.filePath(QStringLiteral("s.sock")));
    int handled_ = 0;
    LineServer server_{nullptr, 64, [this](const QByteArray& line) {
                           ++handled_;
                           return line == "yes";
                       }};
};

TEST_P(LineChannel, AnswersEachLineOnce) {
    ASSERT_TRUE(server_.Listen(path_));
    EXPECT_EQ(Ask(path_, GetParam().line), GetParam().answer);
    EXPECT_EQ(handled_, GetParam().handled);
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
        LineServer gone(nullptr, 64, [](const QByteArray&) { return true; });
        ASSERT_TRUE(gone.Listen(path_));
        EXPECT_FALSE(gone.Listen(path_));
    }
    EXPECT_FALSE(QFile::exists(QFile::decodeName(path_)));
    EXPECT_TRUE(server_.Listen(path_));
}

}  // namespace
