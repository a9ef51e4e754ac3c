#include "desktop/PlayerActions.h"

#include "app/Main.h"
#include "app/PlayerState.h"
#include "media/MPlayer.h"
#include "skin/TransBtn.h"

namespace {

// Stop/continue pauses while IsPlaying and resumes otherwise; Resume and
// Pause are the halves of it that a desktop may ask for on their own.
bool HasCurrentFile(const TForm1& form) { return !form.mp->FileName().isEmpty(); }

}  // namespace

TTransparentButton& HotSpotOf(const TForm1& form, PlayerAction action) {
    switch (action) {
        case PlayerAction::Next: return *form.bnext;
        case PlayerAction::Back: return *form.bprev;
        case PlayerAction::Redo: return *form.breplay;
        case PlayerAction::Help: return *form.bhelp;
        case PlayerAction::Exit: return *form.bexit;
        case PlayerAction::StopContinue:
        case PlayerAction::Resume:
        case PlayerAction::Pause: break;
    }
    return *form.bstop;
}

bool IsClickable(const TTransparentButton& button) { return button.Visible() && button.Enabled(); }

bool CanPerform(const TForm1& form, PlayerAction action) {
    if (!IsClickable(HotSpotOf(form, action))) return false;
    if (action == PlayerAction::Resume)
        return HasCurrentFile(form) && !IsPlaying && form.mp->IsOpen();
    if (action == PlayerAction::Pause) return HasCurrentFile(form) && IsPlaying;
    return true;
}

bool Perform(TForm1& form, PlayerAction action) {
    return CanPerform(form, action) && Press(HotSpotOf(form, action));
}

bool Press(TTransparentButton& button) {
    if (!IsClickable(button) || !button.OnClick) return false;
    button.OnClick(&button);
    return true;
}
