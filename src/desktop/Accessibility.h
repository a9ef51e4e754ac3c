#pragma once

class TForm1;

// Makes the player readable by assistive tools: each hot spot is a button
// named by the word painted on it and described by its hint, enabled and
// pressable only where a click would reach it (the press is that click);
// each label exposes its caption; the setup lists, boxes and the help text
// carry the names of their captions; the volume slider reads as the volume
// in per cent; the window is named by the application title.
void InstallAccessibility(TForm1& form);
// The interfaces above for every window from now on; called before the
// window is made, as a control's interface, once asked for, is kept.
void UsePlayerAccessibleInterfaces();
