#pragma once

#include <QByteArray>
#include <QList>

class TForm1;

// Joins the main window to the desktop: keys, drops, moving by the skin,
// accessible names at once, the media controls on the session bus once the
// skin is revealed, and files opened from outside: 'files' (the command
// line's) after the reveal, those another copy hands over when they come.
// Everything attached is owned by the form.
void AttachDesktop(TForm1& form, const QList<QByteArray>& files = {});
