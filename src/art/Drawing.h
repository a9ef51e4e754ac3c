#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRadialGradient>
#include <QRect>
#include <QString>

// Small drawing steps shared by the skin and the icon: bevels, wells, faces
// and lettering in the lit-from-the-top-left look of the whole skin.
namespace art {

// A font loaded from the file of a font package the build already needs, so
// that the art does not depend on which family the desktop's font
// configuration would pick.
QFont Font(int pixelSize, bool bold = true);

// Pixel-exact edges of `width` pixels inside r: top and left in topLeft,
// bottom and right in bottomRight.
void Bevel(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight,
           int width = 1);

// A rounded rectangle pressed into the surface: a shadow along its top and
// left edges, a highlight along the bottom and right, then a flat floor.
void Well(QPainter& painter, const QRect& r, qreal radius, const QColor& floor,
          const QColor& shadow, const QColor& light);

// A rounded rectangle standing out of the surface: the opposite of a well.
void Plinth(QPainter& painter, const QRect& r, qreal radius, const QColor& face);

// A raised rectangular button face that fills r exactly, seated in a dark
// one-pixel groove just outside r.
void ButtonFace(QPainter& painter, const QRect& r);

// Lettering with a one-pixel copy below right: a light copy makes it look cut
// into a light surface, a dark copy makes it stand out of a dark one.
void Lettering(QPainter& painter, const QRect& r, const QString& text, const QFont& font,
               const QColor& ink, const QColor& copy, int flags = Qt::AlignCenter);

// The red dome of the Exit button, lit from the top left of the button.
QRadialGradient RedDome(const QRectF& face);

// Tones the skin and the icon share: the casing's lit top and the depth of
// the screen's glass.
inline const QColor kCasingTop{226, 229, 234};
inline const QColor kGlassBottom{7, 9, 15};

// Tones of the skin, lit from the top left.
namespace tone {
inline const QColor kHighlight{252, 253, 255};
inline const QColor kLight{236, 238, 242};
inline const QColor kShadow{126, 132, 143};
inline const QColor kGroove{88, 94, 105};
inline const QColor kOutline{62, 67, 76};
inline const QColor kInk{34, 38, 46};
}  // namespace tone

}  // namespace art
