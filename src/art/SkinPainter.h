#pragma once

#include <QImage>
#include <QString>

#include "toolkit/Types.h"

// The player's painted face, generated from the main window's layout
// constants so that painted buttons and hot spots stay together.

// The 640x480 skin in true colour (before the committed picture's reduction
// to 256 colours), drawn for a screen of device-pixel ratio 'scale': scale
// times as many pixels each way, with that device-pixel ratio set.
QImage PaintSkin(qreal scale = 1);

// A copy of the skin with every layout rectangle outlined where the window
// puts it; a check picture for whoever changes the art or the layout.
QImage PaintLayoutOverlay(const QImage& skin);

// The two-colour 400x300 black picture that blanks the screen behind the
// video, at device-pixel ratio 'scale' as the skin.
QImage PaintBlackPicture(qreal scale = 1);

// The word painted on the button at 'place' (a layout rectangle), or empty
// where the skin paints none.
QString PaintedWord(const TRect& place);
