#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// File names on Linux are bytes; the components hold them as text. These two
// convert without loss: valid UTF-8 decodes as usual, each byte that is not
// valid UTF-8 becomes one of the code points U+DC80..U+DCFF and comes back as
// that byte, and a backslash, which a drive-letter path cannot carry inside a
// name, becomes the stand-in U+F05C and comes back as a backslash.
QString FromNativeName(const QByteArray& name);
QByteArray ToNativeName(const QString& name);

// The same for a whole native path: '/' separators are kept as they are.
QString FromNativePath(const QByteArray& path);
QByteArray ToNativePath(const QString& path);

// A name as it is shown on screen, never to be converted back: control
// characters as their visible pictures (a newline as U+2424), each byte that
// was not UTF-8 as "\xNN", and the backslash stand-in as a backslash.
QString DisplayName(const QString& name);

}  // namespace platform
