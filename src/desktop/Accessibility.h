#pragma once

class TForm1;

// Makes the player readable by assistive tools: each hot spot is a button
// named by its hint that can be pressed (as a click, where a click would
// reach it), each label exposes its caption, the video panel and the volume
// slider carry names and roles, and the window is named by the application
// title.
void InstallAccessibility(TForm1& form);
