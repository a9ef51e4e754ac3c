#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>

#include "desktop/KeyRouter.h"
#include "filectl/FileCtrl.h"
#include "support/DesktopFixture.h"
#include "support/EventLoop.h"

namespace {

using View = DesktopFixture::View;

struct KeyCase {
    std::string name;
    View view;
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* pressed;  // the hot spot whose handler runs; "" none
    bool autoRepeat = false;
};

std::ostream& operator<<(std::ostream& os, const KeyCase& c) {
    return os << c.name;
}

struct Shortcut {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* button;
};

const Shortcut kShortcuts[] = {
    {"Right", Qt::Key_Right, Qt::NoModifier, "bnext"},
    {"B", Qt::Key_B, Qt::NoModifier, "bnext"},
    {"ShiftB", Qt::Key_B, Qt::ShiftModifier, "bnext"},
    {"Left", Qt::Key_Left, Qt::NoModifier, "bprev"},
    {"Z", Qt::Key_Z, Qt::NoModifier, "bprev"},
    {"X", Qt::Key_X, Qt::NoModifier, "breplay"},
    {"Space", Qt::Key_Space, Qt::NoModifier, "bstop"},
    {"C", Qt::Key_C, Qt::NoModifier, "bstop"},
    {"F1", Qt::Key_F1, Qt::NoModifier, "bhelp"},
    {"CtrlQ", Qt::Key_Q, Qt::ControlModifier, "bexit"},
    {"Q", Qt::Key_Q, Qt::NoModifier, ""},
    {"CtrlB", Qt::Key_B, Qt::ControlModifier, ""},
    {"MediaNext", Qt::Key_MediaNext, Qt::NoModifier, "bnext"},
    {"MediaPrevious", Qt::Key_MediaPrevious, Qt::NoModifier, "bprev"},
    {"MediaTogglePlayPause", Qt::Key_MediaTogglePlayPause, Qt::NoModifier, "bstop"},
};

// Every shortcut in the playback and help views acts; in the setup view none
// does, as none of the player buttons is enabled there.
std::vector<KeyCase> Cases() {
    std::vector<KeyCase> cases;
    for (View view : {View::Playback, View::Help, View::Setup})
        for (const Shortcut& s : kShortcuts)
            cases.push_back({std::string(ViewName(view)) + s.name, view, s.key, s.modifiers,
                             view == View::Setup ? "" : s.button});
    cases.push_back(
        {"PlaybackMediaPlayWithNothingPaused", View::Playback, Qt::Key_MediaPlay, {}, ""});
    cases.push_back({"PlayingMediaPause", View::Playing, Qt::Key_MediaPause, {}, "bstop"});
    cases.push_back({"PlayingMediaStop", View::Playing, Qt::Key_MediaStop, {}, "panel1"});
    cases.push_back({"PlayingMediaPlay", View::Playing, Qt::Key_MediaPlay, {}, ""});
    cases.push_back({"PausedMediaPlay", View::Paused, Qt::Key_MediaPlay, {}, "bstop"});
    cases.push_back({"PausedMediaPause", View::Paused, Qt::Key_MediaPause, {}, ""});
    cases.push_back({"PlaybackS", View::Playback, Qt::Key_S, {}, "bsetup"});
    cases.push_back({"SetupReturn", View::Setup, Qt::Key_Return, {}, "ok"});
    cases.push_back({"SetupEscape", View::Setup, Qt::Key_Escape, {}, "Cancel"});
    cases.push_back({"PlaybackEscape", View::Playback, Qt::Key_Escape, {}, ""});
    cases.push_back({"PlaybackRightHeldDown", View::Playback, Qt::Key_Right, {}, "", true});
    return cases;
}

// Counts the key presses that reach the control itself.
struct KeySpy : QObject {
    int presses = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        presses += event->type() == QEvent::KeyPress;
        return false;
    }
};

class Keys : public DesktopFixture, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, RunTheHotSpotsHandlerOrLeaveTheKeyToTheFocusedControl) {
    const KeyCase& c = GetParam();
    new TKeyRouter(*form);
    Enter(c.view);
    // In the setup view the keys go to the file list, which has the focus.
    QWidget* target = c.view == View::Setup ? static_cast<QWidget*>(form->fl1) : form.get();
    KeySpy spy;
    target->installEventFilter(&spy);
    QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, QString(), c.autoRepeat);
    QCoreApplication::sendEvent(target, &press);
    ProcessEvents();  // media keys queue
    EXPECT_EQ(presses.join(' '), QString(c.pressed));
    if (c.view == View::Setup) {
        EXPECT_EQ(spy.presses, *c.pressed ? 0 : 1) << "the list keeps the keys no button takes";
    }
}

INSTANTIATE_TEST_SUITE_P(Views, Keys, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<KeyCase>& info) {
                             return info.param.name;
                         });

}  // namespace
