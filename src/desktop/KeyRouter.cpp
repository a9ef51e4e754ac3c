#include "desktop/KeyRouter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <optional>

#include "app/Main.h"
#include "desktop/CommandQueue.h"
#include "desktop/PlayerActions.h"

namespace {

struct KeyBinding {
    int key;
    Qt::KeyboardModifiers modifiers;
    PlayerAction action;
};

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;

const KeyBinding kBindings[] = {
    {Qt::Key_Right, kNone, PlayerAction::Next},
    {Qt::Key_B, kNone, PlayerAction::Next},
    {Qt::Key_Left, kNone, PlayerAction::Back},
    {Qt::Key_Z, kNone, PlayerAction::Back},
    {Qt::Key_X, kNone, PlayerAction::Redo},
    {Qt::Key_Space, kNone, PlayerAction::StopContinue},
    {Qt::Key_C, kNone, PlayerAction::StopContinue},
    {Qt::Key_F1, kNone, PlayerAction::Help},
    {Qt::Key_Q, Qt::ControlModifier, PlayerAction::Exit},
    {Qt::Key_S, kNone, PlayerAction::Setup},
    {Qt::Key_Return, kNone, PlayerAction::Accept},
    {Qt::Key_Enter, kNone, PlayerAction::Accept},
    {Qt::Key_Escape, kNone, PlayerAction::Cancel},
    {Qt::Key_MediaNext, kNone, PlayerAction::Next},
    {Qt::Key_MediaPrevious, kNone, PlayerAction::Back},
    {Qt::Key_MediaTogglePlayPause, kNone, PlayerAction::StopContinue},
    {Qt::Key_MediaPlay, kNone, PlayerAction::Play},
    {Qt::Key_MediaPause, kNone, PlayerAction::Pause},
    {Qt::Key_MediaStop, kNone, PlayerAction::Stop},
};

// Shift and the keypad flag do not change what a key means here.
constexpr Qt::KeyboardModifiers kSignificant =
    Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

std::optional<PlayerAction> ActionOf(const QKeyEvent& key) {
    for (const KeyBinding& binding : kBindings)
        if (binding.key == key.key() && binding.modifiers == (key.modifiers() & kSignificant))
            return binding.action;
    return std::nullopt;
}

// Media keys may come from anywhere on the desktop, as fast as a program
// sends them; they queue as the session bus's commands do. The player's own
// keys act at once, as a click does.
bool IsMediaKey(const QKeyEvent& key) {
    return key.key() >= Qt::Key_MediaPlay && key.key() <= Qt::Key_MediaTogglePlayPause;
}

}  // namespace

TKeyRouter::TKeyRouter(TForm1& form) : QObject(&form), form_(form) {
    qApp->installEventFilter(this);
}

bool TKeyRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &form_) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const std::optional<PlayerAction> action = ActionOf(key);
    if (!action || !CanPerform(form_, *action)) return false;
    if (key.isAutoRepeat()) return true;
    if (IsMediaKey(key))
        TCommandQueue::Of(form_).Request(*action);
    else
        Perform(form_, *action);
    return true;
}
