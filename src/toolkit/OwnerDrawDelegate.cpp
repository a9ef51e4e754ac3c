#include "toolkit/OwnerDrawDelegate.h"

#include <QFontMetrics>
#include <QPainter>

#include "toolkit/Application.h"

int FontItemHeight(const TFont& font) {
    return QFontMetrics(font.ToQFont()).height();
}

void TOwnerDrawDelegate::PaintRow(QPainter* painter, int index, const QRect& rect,
                                  TOwnerDrawState state) const {
    canvas_.BeginPaint(painter);
    TFont font = font_;
    const bool selected = state & odSelected;
    canvas_.Brush().Color = selected ? clHighlight : color_;
    canvas_.Brush().Style = bsSolid;
    if (selected) font.Color = clHighlightText;
    canvas_.SetFont(font);
    canvas_.SetBkMode(OPAQUE);
    Guarded([&] { drawItem_(index, TRect::FromQRect(rect), state); });
    canvas_.EndPaint();
}

void TOwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    TOwnerDrawState state = 0;
    if (option.state & QStyle::State_Selected) state |= odSelected;
    if (option.state & QStyle::State_HasFocus) state |= odFocused;
    PaintRow(painter, index.row(), option.rect, state);
}

QSize TOwnerDrawDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), itemHeight_};
}
