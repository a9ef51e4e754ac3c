#include "toolkit/Label.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    resize(65, 13);
}

void TLabel::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_) return;
    autoSize_ = autoSize;
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    Invalidate();
}

void TLabel::FontChanged() {
    AdjustBounds();
    TGraphicControl::FontChanged();
}

void TLabel::AdjustBounds() {
    if (!autoSize_) return;
    Canvas().SetFont(Font());
    const int height = Canvas().TextHeight(caption_);
    SetBounds(Left(), Top(), Canvas().TextWidth(caption_), height);
}

void TLabel::Paint() {
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    TRect rect = ClientRect();
    if (!transparent_) {
        canvas.Brush().Color = Color();
        canvas.FillRect(rect);
    }
    canvas.SetBkMode(TRANSPARENT);
    unsigned flags = DT_NOPREFIX | DT_SINGLELINE;
    if (alignment_ == taCenter) flags |= DT_CENTER;
    if (alignment_ == taRightJustify) flags |= DT_RIGHT;
    canvas.DrawText(caption_, rect, flags);
}
