#pragma once

#include <QImage>

// The player's painted face, generated from the main window's layout
// constants so that painted buttons and hot spots stay together.

// The 640x480 skin in true colour, before its reduction to 256 colours.
QImage PaintSkin();

// A copy of the skin with every layout rectangle outlined where the window
// puts it; a check picture for whoever changes the art or the layout.
QImage PaintLayoutOverlay(const QImage& skin);

// The two-colour black picture that blanks the screen behind the video.
QImage PaintBlackPicture();
