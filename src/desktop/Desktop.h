#pragma once

class TForm1;

// Joins the main window to the desktop: keys, drops, accessible names at
// once, and the media controls on the session bus once the skin is revealed.
// Everything attached is owned by the form.
void AttachDesktop(TForm1& form);
