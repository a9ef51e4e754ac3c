#include "IconPainter.h"

#include "art/Drawing.h"

#include <QBuffer>
#include <QSvgGenerator>

namespace {

using namespace art;

constexpr int kUnits = 64;

void DrawIcon(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    Plinth(p, QRect(3, 8, 58, 48), 8, kCasingTop);
    Well(p, QRect(9, 14, 34, 28), 3, tone::kOutline, tone::kShadow, tone::kHighlight);
    QRadialGradient glow(QPointF(26, 28), 22);
    glow.setColorAt(0.0, QColor(70, 110, 170));
    glow.setColorAt(1.0, kGlassBottom);
    p.fillRect(QRect(11, 16, 30, 24), glow);
    // Button faces are pixel-exact at full size; scaled down, their one-unit
    // edges fall between pixels and read evenly only when smoothed.
    p.setRenderHint(QPainter::Antialiasing, p.transform().m11() < 1);
    for (int row = 0; row < 3; ++row) ButtonFace(p, QRect(47, 15 + row * 9, 9, 6));
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF exit(46.5, 42.5, 10, 10);
    p.setPen(QPen(tone::kGroove, 1));
    p.setBrush(RedDome(exit));
    p.drawEllipse(exit);
}

}  // namespace

QImage PaintIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.scale(qreal(size) / kUnits, qreal(size) / kUnits);
    DrawIcon(p);
    p.end();
    return icon;
}

QByteArray IconSvg() {
    QBuffer svg;
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setSize(QSize(kUnits, kUnits));
    generator.setViewBox(QRect(0, 0, kUnits, kUnits));
    generator.setTitle(QStringLiteral("brelmo"));
    QPainter p(&generator);
    DrawIcon(p);
    p.end();
    return svg.data();
}
