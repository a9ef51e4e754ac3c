#include <gtest/gtest.h>

#include <QTimer>

#include "support/LoggedLines.h"
#include "support/ShownMessages.h"
#include "support/WidgetTesting.h"
#include "toolkit/Application.h"
#include "toolkit/Exceptions.h"
#include "toolkit/GraphicControl.h"
#include "toolkit/Timer.h"

namespace {

TEST(Control, WindowedControlsStackAboveWindowlessOnesWhateverTheOrder) {
    TestHost host;
    auto* windowed = new TWinControl(&host);
    windowed->SetBounds(0, 0, 50, 50);
    auto* windowless = new TGraphicControl(&host);
    windowless->SetBounds(0, 0, 50, 50);
    EXPECT_EQ(host.childAt(10, 10), windowed);
    windowless->BringToFront();
    EXPECT_EQ(host.childAt(10, 10), windowed);
    windowed->Hide();
    EXPECT_EQ(host.childAt(10, 10), windowless);
}

TEST(Control, LaterWindowlessControlsPaintAndHitAboveEarlierOnes) {
    TestHost host;
    auto* first = new TGraphicControl(&host);
    auto* second = new TGraphicControl(&host);
    first->SetBounds(0, 0, 50, 50);
    second->SetBounds(0, 0, 50, 50);
    EXPECT_EQ(host.childAt(10, 10), second);
    second->SendToBack();
    EXPECT_EQ(host.childAt(10, 10), first);
}

TEST(Control, HintFollowsTheParentUnlessSetOwn) {
    TestHost host;
    auto* control = new TGraphicControl(&host);
    EXPECT_TRUE(control->ParentShowHint());
    host.SetShowHint(false);
    EXPECT_FALSE(control->ShowHint());
    control->SetShowHint(true);
    EXPECT_FALSE(control->ParentShowHint());
    EXPECT_TRUE(control->ShowHint());
}

TEST(Timer, TicksThroughTheEventLoopAndNeverAtIntervalZero) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    timer.SetInterval(0);
    QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    EXPECT_EQ(ticks, 0);
    timer.SetInterval(5);
    QTimer::singleShot(60, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    EXPECT_GT(ticks, 0);
}

TEST(Application, ErrorInAnEventHandlerIsShownAndTheProgramGoesOn) {
    ShownMessages shown;
    bool later = false;
    QTimer::singleShot(0, [] { Guarded([] { throw EInvalidOperation("Something failed"); }); });
    QTimer::singleShot(0, [] { Guarded([] { throw std::runtime_error("Second failure"); }); });
    QTimer::singleShot(20, [&] {
        later = true;
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    EXPECT_TRUE(later);
    EXPECT_EQ(shown, (QStringList{"Something failed", "Second failure"}));
}

// Each way Qt calls a handler of ours, with a handler that fails: the error
// reaches the box, and never Qt's event delivery (whose last resort would log).
struct FailingHandler {
    const char* name;
    void (*trigger)(TestHost& host);
};

class PaintsBadly : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;
    void Paint() override { throw Exception(QStringLiteral("boom")); }
};

TCustomControl* ControlOn(TestHost& host) {
    auto* control = new TCustomControl(&host);
    control->SetBounds(10, 10, 50, 50);
    return control;
}

const FailingHandler kFailingHandlers[] = {
    {"Click",
     [](TestHost& host) {
         ControlOn(host)->OnClick = [](TObject*) { throw Exception(QStringLiteral("boom")); };
         ClickAt(&host, {20, 20});
     }},
    {"MouseDown",
     [](TestHost& host) {
         ControlOn(host)->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {
             throw Exception(QStringLiteral("boom"));
         };
         ClickAt(&host, {20, 20});
     }},
    {"MouseMove",
     [](TestHost& host) {
         ControlOn(host)->OnMouseMove = [](TObject*, TShiftState, int, int) {
             throw Exception(QStringLiteral("boom"));
         };
         MoveTo(&host, {5, 5});  // from outside, wherever an earlier case left the cursor
         MoveTo(&host, {20, 20});
     }},
    {"Paint",
     [](TestHost& host) {
         (new PaintsBadly(&host))->SetBounds(10, 10, 50, 50);
         host.repaint();
     }},
    {"TimerTick",
     [](TestHost& host) {
         auto* timer = new TTimer(&host);
         timer->SetInterval(1);
         timer->OnTimer = [timer](TObject*) {
             timer->SetEnabled(false);
             throw Exception(QStringLiteral("boom"));
         };
         QTimer::singleShot(30, [] { QCoreApplication::exit(0); });
         QCoreApplication::exec();
     }},
};

class HandlerErrorTest : public testing::TestWithParam<FailingHandler> {};

TEST_P(HandlerErrorTest, ReachesTheBoxWithoutUnwindingThroughQt) {
    const LoggedLines logged("brelmo.application");
    ShownMessages shown;
    {
        TestHost host;
        ProcessEvents();
        GetParam().trigger(host);
        ProcessEvents();
    }
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.value(0), QStringLiteral("boom"));
    EXPECT_TRUE(logged.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Boundaries, HandlerErrorTest, testing::ValuesIn(kFailingHandlers),
                         [](const testing::TestParamInfo<FailingHandler>& info) {
                             return std::string(info.param.name);
                         });

TEST(Application, TerminateEndsTheLoopWhenItIsTaken) {
    Application->Terminate();
    EXPECT_EQ(Application->Run(), 0);
}

}  // namespace
