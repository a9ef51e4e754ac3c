#pragma once

#include <QByteArray>
#include <QImage>
#include <array>

// The application icon: the player in miniature, drawn once on a 64-unit
// square and rendered at every size the desktop's icon theme holds.

inline constexpr std::array kIconSizes{16, 22, 24, 32, 48, 64, 128, 256, 512};

// The icon at size x size pixels, with transparency.
QImage PaintIcon(int size);

// The same drawing as a scalable SVG document.
QByteArray IconSvg();
