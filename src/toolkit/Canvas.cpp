#include "toolkit/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <cstdlib>

#include "toolkit/Bitmap.h"

namespace {

int QtTextFlags(unsigned flags) {
    int q = 0;
    if (flags & DT_CENTER)
        q |= Qt::AlignHCenter;
    else if (flags & DT_RIGHT)
        q |= Qt::AlignRight;
    else
        q |= Qt::AlignLeft;
    q |= Qt::TextSingleLine;
    if ((flags & DT_SINGLELINE) && (flags & DT_VCENTER))
        q |= Qt::AlignVCenter;
    else if ((flags & DT_SINGLELINE) && (flags & DT_BOTTOM))
        q |= Qt::AlignBottom;
    else
        q |= Qt::AlignTop;
    if (!(flags & DT_NOPREFIX)) q |= Qt::TextShowMnemonic;
    if (flags & DT_EXPANDTABS) q |= Qt::TextExpandTabs;
    return q;
}

// Greedy breaking at blanks only: a word wider than the line stays whole
// and is clipped, as the classic text drawing does with paths.
QStringList WrapAtBlanks(const QString& paragraph, const QFontMetrics& fm, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : paragraph.split(QLatin1Char(' '))) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (line.isEmpty() || fm.horizontalAdvance(candidate) <= width) {
            line = candidate;
        } else {
            lines << line;
            line = word;
        }
    }
    lines << line;
    return lines;
}

QStringList TextLines(const QString& text, const QFontMetrics& fm, int width, unsigned flags) {
    if (flags & DT_SINGLELINE) return {text};
    QStringList lines;
    for (QString paragraph : text.split(QLatin1Char('\n'))) {
        if (paragraph.endsWith(QLatin1Char('\r'))) paragraph.chop(1);
        if (flags & DT_WORDBREAK)
            lines << WrapAtBlanks(paragraph, fm, width);
        else
            lines << paragraph;
    }
    return lines;
}

Qt::PenStyle QtPenStyle(TPenStyle style) {
    switch (style) {
        case psDash:
            return Qt::DashLine;
        case psDot:
            return Qt::DotLine;
        case psDashDot:
            return Qt::DashDotLine;
        case psDashDotDot:
            return Qt::DashDotDotLine;
        case psClear:
            return Qt::NoPen;
        case psSolid:
        case psInsideFrame:
            break;
    }
    return Qt::SolidLine;
}

}  // namespace

void TCanvas::WithPainter(const std::function<void(QPainter&)>& draw) {
    if (painter_) {
        painter_->save();
        draw(*painter_);
        painter_->restore();
    } else if (target_ && !target_->isNull()) {
        QPainter p(target_);
        draw(p);
    } else {
        return;
    }
    if (OnChange) OnChange();
}

void TCanvas::DrawThinLine(QPainter& p, TPoint from, TPoint to) {
    // Bresenham from 'from' up to, but not including, 'to'.
    const QColor color = ColorToQColor(pen_.Color);
    int x = from.X, y = from.Y;
    const int dx = std::abs(to.X - x), sx = x < to.X ? 1 : -1;
    const int dy = -std::abs(to.Y - y), sy = y < to.Y ? 1 : -1;
    int err = dx + dy;
    while (x != to.X || y != to.Y) {
        p.fillRect(x, y, 1, 1, color);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TCanvas::DrawWideLine(QPainter& p, TPoint from, TPoint to) {
    QPen pen(ColorToQColor(pen_.Color));
    pen.setWidth(std::max(1, pen_.Width));
    pen.setStyle(QtPenStyle(pen_.Style));
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(from.X, from.Y, to.X, to.Y);
}

void TCanvas::LineTo(int x, int y) {
    const TPoint from = penPos_, to{x, y};
    penPos_ = to;
    if (pen_.Style == psClear) return;
    WithPainter([&](QPainter& p) {
        const bool thin = pen_.Width <= 1 && (pen_.Style == psSolid || pen_.Style == psInsideFrame);
        if (thin)
            DrawThinLine(p, from, to);
        else
            DrawWideLine(p, from, to);
    });
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    const TPoint saved = penPos_;
    MoveTo(points.front().X, points.front().Y);
    for (size_t i = 1; i < points.size(); ++i) LineTo(points[i].X, points[i].Y);
    penPos_ = saved;
}

void TCanvas::FillBand(QPainter& p, const TRect& r, int width) {
    // A frame of the given thickness centred on the one-pixel outline of r.
    const int before = width / 2;
    const QColor color = ColorToQColor(pen_.Color);
    const int left = r.Left - before, top = r.Top - before;
    const int right = r.Right - 1 - before + width, bottom = r.Bottom - 1 - before + width;
    p.fillRect(left, top, right - left, width, color);
    p.fillRect(left, bottom - width, right - left, width, color);
    p.fillRect(left, top, width, bottom - top, color);
    p.fillRect(right - width, top, width, bottom - top, color);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    WithPainter([&](QPainter& p) {
        const TRect r{left, top, right, bottom};
        if (pen_.Style == psClear) {
            if (brush_.Style == bsSolid)
                p.fillRect(left, top, right - left - 1, bottom - top - 1,
                           ColorToQColor(brush_.Color));
            return;
        }
        // A zero-width pen draws as the thinnest one.
        const int width = std::max(1, pen_.Width);
        const int inset = width - width / 2;
        if (brush_.Style == bsSolid)
            p.fillRect(left + inset, top + inset, right - left - 1 - width,
                       bottom - top - 1 - width, ColorToQColor(brush_.Color));
        if (pen_.Style == psSolid || pen_.Style == psInsideFrame) {
            FillBand(p, r, width);
        } else {
            QPen pen(ColorToQColor(pen_.Color));
            pen.setStyle(QtPenStyle(pen_.Style));
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(left, top, right - left - 1, bottom - top - 1);
        }
    });
}

void TCanvas::FillRect(const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    WithPainter([&](QPainter& p) { p.fillRect(r.ToQRect(), ColorToQColor(brush_.Color)); });
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    // The source is the whole picture in its own pixels, at whatever ratio.
    CopyRect(dest, bitmap.Image(), {0, 0, bitmap.Image().width(), bitmap.Image().height()});
}

void TCanvas::CopyRect(const TRect& dest, const QImage& source, const TRect& sourceRect) {
    if (dest.Width() <= 0 || dest.Height() <= 0 || source.isNull()) return;
    WithPainter([&](QPainter& p) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(dest.ToQRect(), source, sourceRect.ToQRect());
    });
}

void TCanvas::Draw(int x, int y, const QImage& image) {
    if (image.isNull()) return;
    WithPainter([&](QPainter& p) { p.drawImage(x, y, image); });
}

int TCanvas::TextWidth(const QString& text) const {
    return QFontMetrics(font_.ToQFont()).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString& text) const {
    return QFontMetrics(font_.ToQFont()).height();
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    WithPainter([&](QPainter& p) {
        const QFont font = font_.ToQFont();
        const QFontMetrics fm(font);
        if (bkMode_ == OPAQUE && brush_.Style == bsSolid)
            p.fillRect(x, y, fm.horizontalAdvance(text), fm.height(), ColorToQColor(brush_.Color));
        p.setFont(font);
        p.setPen(ColorToQColor(font_.Color));
        p.drawText(x, y + fm.ascent(), text);
    });
}

int TCanvas::DrawText(const QString& text, TRect& rect, unsigned flags) {
    const QFont font = font_.ToQFont();
    const QFontMetrics fm(font);
    const QRect area = rect.ToQRect();
    const QStringList lines = TextLines(text, fm, area.width(), flags);
    const int lineFlags = QtTextFlags(flags);
    const int height = fm.height() * static_cast<int>(lines.size());
    // Multi-line text starts at the top; one line may be centred or at the bottom.
    const auto lineRect = [&](int i) {
        return (flags & DT_SINGLELINE)
                   ? area
                   : QRect(area.left(), area.top() + i * fm.height(), area.width(), fm.height());
    };
    QRect bound;
    for (int i = 0; i < lines.size(); ++i)
        bound |= fm.boundingRect(lineRect(i), lineFlags, lines[i]);
    if (flags & DT_CALCRECT) {
        rect.Right = rect.Left + bound.width();
        rect.Bottom = rect.Top + height;
        return height;
    }
    WithPainter([&](QPainter& p) {
        if (!(flags & DT_NOCLIP)) p.setClipRect(area, Qt::IntersectClip);
        if (bkMode_ == OPAQUE && brush_.Style == bsSolid)
            p.fillRect(bound, ColorToQColor(brush_.Color));
        p.setFont(font);
        p.setPen(ColorToQColor(font_.Color));
        for (int i = 0; i < lines.size(); ++i) p.drawText(lineRect(i), lineFlags, lines[i]);
    });
    return height;
}

int TCanvas::SetBkMode(int mode) {
    const int old = bkMode_;
    bkMode_ = mode;
    return old;
}
