#pragma once

#include <QStyledItemDelegate>
#include <functional>

#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "toolkit/Font.h"

enum TOwnerDrawFlag : unsigned { odSelected = 1, odFocused = 2, odComboBoxEdit = 4 };
using TOwnerDrawState = unsigned;

// Draws the rows of a list or combo box through a canvas, the way owner-drawn
// rows are drawn: the canvas brush is the control's colour, or the highlight
// colour for the selected row (with the highlight text colour for the font),
// and DrawItem paints the row's rectangle. Every row has the same height.
// The text-metric height of a font: the natural height of a row of text.
int FontItemHeight(const TFont& font);

class TOwnerDrawDelegate : public QStyledItemDelegate {
  public:
    using DrawItemFn = std::function<void(int index, const TRect& rect, TOwnerDrawState state)>;

    TOwnerDrawDelegate(QObject* parent, DrawItemFn drawItem)
        : QStyledItemDelegate(parent), drawItem_(std::move(drawItem)) {}

    // The canvas rows are drawn on, while DrawItem runs.
    TCanvas& Canvas() const { return canvas_; }

    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height) { itemHeight_ = height; }
    // Rows take the control's font and colour.
    void SetLook(const TFont& font, TColor color) {
        font_ = font;
        color_ = color;
    }

    // Paints one row on 'painter' (also used for a combo box's closed face).
    void PaintRow(QPainter* painter, int index, const QRect& rect, TOwnerDrawState state) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    DrawItemFn drawItem_;
    mutable TCanvas canvas_;
    TFont font_;
    TColor color_ = clWindow;
    int itemHeight_ = 13;
};
