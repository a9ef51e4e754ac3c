#include <gtest/gtest.h>

#include <QTimer>

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
    QStringList shown;
    auto saved = Application->OnShowMessage;
    Application->OnShowMessage = [&](const QString& message) { shown << message; };
    bool later = false;
    QTimer::singleShot(0, [] { throw EInvalidOperation("Something failed"); });
    QTimer::singleShot(0, [] { throw std::runtime_error("Second failure"); });
    QTimer::singleShot(20, [&] {
        later = true;
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    Application->OnShowMessage = saved;
    EXPECT_TRUE(later);
    EXPECT_EQ(shown, (QStringList{"Something failed", "Second failure"}));
}

TEST(Application, TerminateEndsTheLoopWhenItIsTaken) {
    Application->Terminate();
    EXPECT_EQ(Application->Run(), 0);
}

}  // namespace
