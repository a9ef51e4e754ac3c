#include "desktop/PlayerActions.h"

#include "app/Main.h"
#include "app/PlayerState.h"
#include "media/MPlayer.h"
#include "skin/TransBtn.h"
#include "toolkit/Panel.h"

namespace {

bool HasCurrentFile(const TForm1& form) {
    return !form.mp->FileName().isEmpty();
}

}  // namespace

TControl& ControlOf(const TForm1& form, PlayerAction action) {
    switch (action) {
        case PlayerAction::Next:
            return *form.bnext;
        case PlayerAction::Back:
            return *form.bprev;
        case PlayerAction::Redo:
            return *form.breplay;
        case PlayerAction::Help:
            return *form.bhelp;
        case PlayerAction::Exit:
            return *form.bexit;
        case PlayerAction::Setup:
            return *form.bsetup;
        case PlayerAction::Accept:
            return *form.ok;
        case PlayerAction::Cancel:
            return *form.Cancel;
        case PlayerAction::Stop:
            return *form.panel1;
        // A closed file plays again from its start, as Re-do plays it.
        case PlayerAction::Play:
            if (!form.mp->IsOpen()) return *form.breplay;
            break;
        case PlayerAction::StopContinue:
        case PlayerAction::Pause:
            break;
    }
    return *form.bstop;
}

bool IsClickable(const TControl& control) {
    return control.Visible() && control.Enabled();
}

bool CanPerform(const TForm1& form, PlayerAction action) {
    if (!IsClickable(ControlOf(form, action))) return false;
    switch (action) {
        case PlayerAction::Play:
            return HasCurrentFile(form) && !IsPlaying;
        case PlayerAction::Pause:
            return HasCurrentFile(form) && IsPlaying;
        case PlayerAction::Stop:
            return HasCurrentFile(form) && form.mp->IsOpen();
        default:
            return true;
    }
}

bool Perform(TForm1& form, PlayerAction action) {
    return CanPerform(form, action) && Press(ControlOf(form, action));
}

bool Press(TControl& control) {
    if (!IsClickable(control)) return false;
    // A hot spot keeps its own click event; every other control has the common one.
    if (auto* button = dynamic_cast<TTransparentButton*>(&control)) {
        if (!button->OnClick) return false;
        button->OnClick(button);
        return true;
    }
    if (!control.OnClick) return false;
    control.OnClick(&control);
    return true;
}
