#pragma once

class TForm1;
class TControl;

// What the desktop's inputs (keys, media keys, the session bus, assistive
// tools, files opened from outside) ask of the player. Each is carried out by
// the click handler of one control on the window, click sound included, and
// only while that control is visible and enabled, so that no input can do
// what a click could not.
//   Play: continues a paused file (Stop/continue), or plays a closed one
//         again from its start (Re-do);
//   Pause: pauses a playing file (Stop/continue);
//   Stop: closes the playing or paused file (a click on the video).
enum class PlayerAction {
    Next,
    Back,
    Redo,
    StopContinue,
    Play,
    Pause,
    Stop,
    Help,
    Exit,
    Setup,
    Accept,
    Cancel
};

// The control a click on which does 'action' now.
TControl& ControlOf(const TForm1& form, PlayerAction action);
// Whether a click would reach the control now.
bool IsClickable(const TControl& control);
// Whether 'action' would act now: its control is clickable, and for Play,
// Pause and Stop there is a current file in the state they act on.
bool CanPerform(const TForm1& form, PlayerAction action);
// Runs the control's click handler when CanPerform; returns whether it ran.
bool Perform(TForm1& form, PlayerAction action);
// Runs the control's click handler when it is clickable; returns whether it ran.
bool Press(TControl& control);
