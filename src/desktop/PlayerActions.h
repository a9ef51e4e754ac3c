#pragma once

class TForm1;
class TTransparentButton;

// What the desktop's inputs (keys, media keys, the session bus, assistive
// tools) ask of the player. Each is carried out by the click handler of one
// hot spot, click sound included, and only while that hot spot is visible
// and enabled, so that no input can do what a click could not.
enum class PlayerAction { Next, Back, Redo, StopContinue, Resume, Pause, Help, Exit };

// The hot spot a click on which does 'action'.
TTransparentButton& HotSpotOf(const TForm1& form, PlayerAction action);
// Whether a click would reach the button now.
bool IsClickable(const TTransparentButton& button);
// Whether 'action' would act now: its hot spot is clickable, and, for
// Resume, the current file is open and paused; for Pause, it plays.
bool CanPerform(const TForm1& form, PlayerAction action);
// Runs the hot spot's click handler when CanPerform; returns whether it ran.
bool Perform(TForm1& form, PlayerAction action);
// Runs the button's click handler when it is clickable; returns whether it ran.
bool Press(TTransparentButton& button);
