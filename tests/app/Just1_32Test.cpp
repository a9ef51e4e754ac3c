#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <vector>

#include "app/Just1_32.h"
#include "platform/instance/LinuxInstance.h"
#include "support/CaseName.h"
#include "support/FakeInstance.h"
#include "support/InstanceHelperProcess.h"
#include "toolkit/Application.h"

using platform::ERROR_ACCESS_DENIED;
using platform::ERROR_ALREADY_EXISTS;
using platform::ERROR_SUCCESS;

namespace {

// Runs the message loop briefly: true when a quit request ended it. (The
// application's own loop, as a quit request ends every local loop for good.)
bool QuitWasRequested() {
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    timeout.start(200);
    return Application->Run() == 0;
}

class Just1_32Test : public testing::Test {
  protected:
    void SetUp() override {
        savedTitle_ = Application->Title();
        Application->SetTitle(QStringLiteral("Fake"));
    }
    void TearDown() override {
        Just1_32::Finalize();
        Application->SetTitle(savedTitle_);
    }

    FakeInstanceScope fake_;
    QString savedTitle_;
};

struct ClaimCase {
    const char* name;
    platform::HANDLE handle;
    unsigned error;
    bool alreadyRunning;
    platform::HANDLE kept;
    QStringList calls;  // up to and including the finalisation
};

void PrintTo(const ClaimCase& c, std::ostream* os) {
    *os << c.name;
}

class Just1_32ClaimTest : public Just1_32Test, public testing::WithParamInterface<ClaimCase> {};

TEST_P(Just1_32ClaimTest, ClaimsTheMutexNamedByTheTitleAndClosesWhatItHolds) {
    const ClaimCase& c = GetParam();
    fake_->mutexHandle = c.handle;
    fake_->mutexError = c.error;

    Just1_32::Initialize();
    ASSERT_NE(PreviousInstance, nullptr);
    EXPECT_EQ(PreviousInstance->AlreadyRunning, c.alreadyRunning);
    EXPECT_EQ(PreviousInstance->MutexHandle, c.kept);

    Just1_32::Initialize();  // one claim a process
    Just1_32::Finalize();
    EXPECT_EQ(PreviousInstance, nullptr);
    EXPECT_EQ(fake_->calls, c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Results, Just1_32ClaimTest,
    testing::Values(
        ClaimCase{"new", 7, ERROR_SUCCESS, false, 7, {"CreateMutex(Fake)=7", "CloseHandle(7)"}},
        ClaimCase{
            "taken", 7, ERROR_ALREADY_EXISTS, true, 0, {"CreateMutex(Fake)=7", "CloseHandle(7)"}},
        ClaimCase{"no handle", 0, ERROR_ACCESS_DENIED, false, 0, {"CreateMutex(Fake)=0"}},
        ClaimCase{
            "no handle, stale code", 0, ERROR_ALREADY_EXISTS, false, 0, {"CreateMutex(Fake)=0"}}),
    ByName());

TEST_F(Just1_32Test, AFirstCopyConstructsQuietly) {
    Just1_32::Initialize();
    fake_->calls.clear();
    TJustOne32 justOne(nullptr);
    EXPECT_TRUE(fake_->calls.isEmpty());
    EXPECT_FALSE(QuitWasRequested());
}

TEST_F(Just1_32Test, WithoutTheUnitSetUpNothingHappens) {
    TJustOne32 justOne(nullptr);
    EXPECT_TRUE(fake_->calls.isEmpty());
    EXPECT_FALSE(QuitWasRequested());
}

struct ForwardCase {
    const char* name;
    std::vector<FakeInstance::Window> windows;  // the own window last
    QStringList calls;
};

void PrintTo(const ForwardCase& c, std::ostream* os) {
    *os << c.name;
}

class Just1_32ForwardTest : public Just1_32Test, public testing::WithParamInterface<ForwardCase> {};

TEST_P(Just1_32ForwardTest, ASecondCopyForwardsTheFirstAndQuits) {
    fake_->mutexError = ERROR_ALREADY_EXISTS;
    Just1_32::Initialize();
    Application->SetTitle(QStringLiteral("brelmo"));
    fake_->windows = GetParam().windows;
    fake_->calls.clear();

    TJustOne32 justOne(nullptr);
    EXPECT_EQ(fake_->calls, GetParam().calls);
    EXPECT_TRUE(QuitWasRequested());
}

const FakeInstance::Window kFirst{"brelmo", false};
const FakeInstance::Window kFirstIconic{"brelmo", true};
const FakeInstance::Window kOwn{"brelmo", false};

INSTANTIATE_TEST_SUITE_P(
    Windows, Just1_32ForwardTest,
    testing::Values(
        ForwardCase{"restores_a_minimised_copy",
                    {kFirstIconic, kOwn},
                    {"FindWindow(brelmo)=2", "SetWindowText(2,)", "FindWindow(brelmo)=1",
                     "IsIconic(1)", "ShowWindow(1,9)"}},
        ForwardCase{"raises_a_shown_copy",
                    {kFirst, kOwn},
                    {"FindWindow(brelmo)=2", "SetWindowText(2,)", "FindWindow(brelmo)=1",
                     "IsIconic(1)", "BringWindowToTop(1)"}},
        ForwardCase{"quits_when_only_its_own_window_is_found",
                    {{"other", false}, kOwn},
                    {"FindWindow(brelmo)=2", "SetWindowText(2,)", "FindWindow(brelmo)=0"}},
        ForwardCase{"quits_when_no_window_is_found",
                    {},
                    {"FindWindow(brelmo)=0", "SetWindowText(0,)", "FindWindow(brelmo)=0"}}),
    ByName());

// --- Real copies, each its own process -------------------------------------

class Just1_32ProcessTest : public testing::Test {
  protected:
    QStringList Copy(const QString& name, bool iconic = false) const {
        QStringList arguments{QStringLiteral("copy"), temp_.path(), name, QStringLiteral("brelmo")};
        if (iconic) arguments << QStringLiteral("iconic");
        return arguments;
    }

    QTemporaryDir temp_;
};

TEST_F(Just1_32ProcessTest, ASecondCopyRestoresTheMinimisedFirstAndEnds) {
    InstanceHelperProcess first(Copy(QStringLiteral("brelmo"), true));
    ASSERT_EQ(first.ReadLine(), "serving");
    platform::LinuxInstance observer(temp_.path().toLocal8Bit());
    const platform::WindowId window = observer.FindWindow(QStringLiteral("brelmo"));
    ASSERT_TRUE(observer.IsIconic(window));

    InstanceHelperProcess second(Copy(QStringLiteral("brelmo")));
    EXPECT_EQ(second.ReadLine(), "forwarded");
    EXPECT_EQ(second.Finish(), 0);

    EXPECT_FALSE(observer.IsIconic(window));
    EXPECT_EQ(observer.FindWindow(QStringLiteral("brelmo")), window) << "its title is untouched";
    EXPECT_EQ(first.Finish(), 0);
}

TEST_F(Just1_32ProcessTest, AnotherFileNameIsAnotherProgram) {
    InstanceHelperProcess first(Copy(QStringLiteral("brelmo")));
    ASSERT_EQ(first.ReadLine(), "serving");
    InstanceHelperProcess renamed(Copy(QStringLiteral("Brelmo2")));
    EXPECT_EQ(renamed.ReadLine(), "serving");
}

TEST_F(Just1_32ProcessTest, AfterTheFirstEndedTheNextServes) {
    for (int run = 0; run < 2; ++run) {
        InstanceHelperProcess copy(Copy(QStringLiteral("brelmo")));
        EXPECT_EQ(copy.ReadLine(), "serving");
        if (run == 0)
            EXPECT_EQ(copy.Finish(), 0);
        else
            copy.Kill();
    }
    InstanceHelperProcess afterKill(Copy(QStringLiteral("brelmo")));
    EXPECT_EQ(afterKill.ReadLine(), "serving");
}

TEST_F(Just1_32ProcessTest, OfFiftyCopiesStartedAtOnceExactlyOneServes) {
    constexpr int kCopies = 50;
    std::vector<std::unique_ptr<InstanceHelperProcess>> copies;
    for (int i = 0; i < kCopies; ++i)
        copies.push_back(std::make_unique<InstanceHelperProcess>(Copy(QStringLiteral("brelmo"))));

    int serving = -1;
    for (int i = 0; i < kCopies; ++i) {
        const QByteArray said = copies[i]->ReadLine();
        if (said == "serving") {
            EXPECT_EQ(serving, -1) << "a second copy serves";
            serving = i;
        } else {
            EXPECT_EQ(said, "forwarded");
        }
    }
    ASSERT_NE(serving, -1);
    for (int i = 0; i < kCopies; ++i) {
        if (i == serving) continue;
        EXPECT_EQ(copies[i]->Finish(), 0) << "copy " << i;
    }

    platform::LinuxInstance observer(temp_.path().toLocal8Bit());
    EXPECT_NE(observer.FindWindow(QStringLiteral("brelmo")), 0)
        << "the serving copy kept its title";
    EXPECT_EQ(copies[serving]->Finish(), 0);
}

}  // namespace
