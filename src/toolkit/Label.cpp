#include "toolkit/Label.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(Left(), Top(), 65, 17);
    autoSize_ = true;
    showAccelChar_ = true;
}

void TLabel::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_) return;
    autoSize_ = autoSize;
    AdjustBounds();
}

void TLabel::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
    if (show == showAccelChar_) return;
    showAccelChar_ = show;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetWordWrap(bool wordWrap) {
    if (wordWrap == wordWrap_) return;
    wordWrap_ = wordWrap;
    AdjustBounds();
    Invalidate();
}

void TLabel::FontChanged() {
    AdjustBounds();
    Invalidate();
}

unsigned TLabel::AlignmentFlag() const {
    switch (alignment_) {
        case taRightJustify:
            return DT_RIGHT;
        case taCenter:
            return DT_CENTER;
        case taLeftJustify:
            break;
    }
    return DT_LEFT;
}

void TLabel::PaintBackground() {
    TCanvas& canvas = Canvas();
    if (!transparent_) {
        canvas.Brush().Color = Color();
        canvas.Brush().Style = bsSolid;
        canvas.FillRect(ClientRect());
    }
    canvas.Brush().Style = bsClear;
}

void TLabel::Paint() {
    PaintBackground();
    TRect r = ClientRect();
    DoDrawText(r, AlignmentFlag() | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0));
}

void TLabel::DoDrawText(TRect& rect, unsigned flags) {
    QString text = caption_;
    // An empty caption (or a lone prefix) still measures one line high.
    if ((flags & DT_CALCRECT) && (text.isEmpty() || (showAccelChar_ && text == u"&"))) text += u' ';
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    if (Enabled() || (flags & DT_CALCRECT)) {
        canvas.DrawText(text, rect, flags);
        return;
    }
    TRect engraved = rect;
    OffsetRect(engraved, 1, 1);
    canvas.Font().Color = clBtnHighlight;
    canvas.DrawText(text, engraved, flags);
    canvas.Font().Color = clBtnShadow;
    canvas.DrawText(text, rect, flags);
}

void TLabel::AdjustBounds() {
    if (!autoSize_) return;
    TRect r = ClientRect();
    DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
    int left = Left();
    if (alignment_ == taRightJustify) left += Width() - r.Right;
    SetBounds(left, Top(), r.Right, r.Bottom);
}
