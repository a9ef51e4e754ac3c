#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "toolkit/Exceptions.h"
#include "toolkit/Timer.h"

namespace {

// Where a timer cannot be started: no event loop on the thread that starts it.
struct StartCase {
    const char* name;
    bool createdOnTheGuiThread;  // then only restarted from the other thread
};

class TimerStartTest : public testing::TestWithParam<StartCase> {};

TEST_P(TimerStartTest, RaisesNotEnoughTimersAvailable) {
    std::unique_ptr<TTimer> timer;
    if (GetParam().createdOnTheGuiThread) timer = std::make_unique<TTimer>(nullptr);
    QString message;
    std::thread([&] {
        try {
            if (timer)
                timer->SetInterval(50);
            else
                TTimer stray(nullptr);
        } catch (const EOutOfResources& error) {
            message = error.Message();
        }
    }).join();
    EXPECT_EQ(message, QStringLiteral("Not enough timers available"));
}

INSTANTIATE_TEST_SUITE_P(Threads, TimerStartTest,
                         testing::Values(StartCase{"CreatedWithoutEventLoop", false},
                                         StartCase{"RestartedFromAnotherThread", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
