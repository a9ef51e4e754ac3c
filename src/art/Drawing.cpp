#include "art/Drawing.h"

#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainterPath>

namespace art {

namespace {

constexpr const char* kRegularFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kBoldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

QString FamilyOf(const char* file) {
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QStringLiteral("DejaVu Sans") : families.first();
}

QPainterPath Rounded(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

}  // namespace

QFont Font(int pixelSize, bool bold) {
    static const QString regular = FamilyOf(kRegularFile);
    static const QString heavy = FamilyOf(kBoldFile);
    QFont font(bold ? heavy : regular);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void Bevel(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight,
           int width) {
    for (int i = 0; i < width; ++i) {
        const QRect ring = r.adjusted(i, i, -i, -i);
        painter.fillRect(QRect(ring.left(), ring.bottom(), ring.width(), 1), bottomRight);
        painter.fillRect(QRect(ring.right(), ring.top(), 1, ring.height()), bottomRight);
        painter.fillRect(QRect(ring.left(), ring.top(), ring.width() - 1, 1), topLeft);
        painter.fillRect(QRect(ring.left(), ring.top(), 1, ring.height() - 1), topLeft);
    }
}

void Well(QPainter& painter, const QRect& r, qreal radius, const QColor& floor,
          const QColor& shadow, const QColor& light) {
    const QRectF outer(r);
    painter.setPen(Qt::NoPen);
    painter.fillPath(Rounded(outer, radius), light);
    painter.fillPath(Rounded(outer.adjusted(0, 0, -1, -1), radius), shadow);
    painter.fillPath(Rounded(outer.adjusted(1, 1, -1, -1), radius - 1), floor);
}

void Plinth(QPainter& painter, const QRect& r, qreal radius, const QColor& face) {
    const QRectF outer(r);
    painter.setPen(Qt::NoPen);
    painter.fillPath(Rounded(outer.translated(2, 2), radius), QColor(0, 0, 0, 40));
    painter.fillPath(Rounded(outer, radius), tone::kOutline);
    painter.fillPath(Rounded(outer.adjusted(1, 1, -1, -1), radius - 1), tone::kHighlight);
    painter.fillPath(Rounded(outer.adjusted(2, 2, -1, -1), radius - 1), tone::kShadow);
    painter.fillPath(Rounded(outer.adjusted(2, 2, -2, -2), radius - 2), face);
}

void ButtonFace(QPainter& painter, const QRect& r) {
    painter.fillRect(r.adjusted(-1, -1, 1, 1), tone::kGroove);
    Bevel(painter, r, tone::kHighlight, tone::kOutline);
    Bevel(painter, r.adjusted(1, 1, -1, -1), tone::kLight, tone::kShadow);
    QLinearGradient face(r.topLeft(), r.bottomLeft());
    face.setColorAt(0.0, QColor(232, 235, 240));
    face.setColorAt(1.0, QColor(198, 203, 212));
    painter.fillRect(r.adjusted(2, 2, -2, -2), face);
}

QRadialGradient RedDome(const QRectF& face) {
    QRadialGradient dome(face.center() - QPointF(face.width() * 0.18, face.height() * 0.22),
                         face.width() * 0.7);
    dome.setColorAt(0.0, QColor(246, 120, 104));
    dome.setColorAt(0.55, QColor(190, 40, 34));
    dome.setColorAt(1.0, QColor(118, 14, 14));
    return dome;
}

void Lettering(QPainter& painter, const QRect& r, const QString& text, const QFont& font,
               const QColor& ink, const QColor& copy, int flags) {
    painter.setFont(font);
    painter.setPen(copy);
    painter.drawText(r.translated(1, 1), flags, text);
    painter.setPen(ink);
    painter.drawText(r, flags, text);
}

}  // namespace art
