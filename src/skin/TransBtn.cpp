#include "skin/TransBtn.h"

namespace {

unsigned CaptionFlags(TTextAlign align) {
    switch (align) {
        case ttaTopLeft:
            return DT_LEFT | DT_TOP;
        case ttaTop:
            return DT_CENTER;
        case ttaTopRight:
            return DT_RIGHT;
        case ttaRight:
            return DT_RIGHT | DT_VCENTER;
        case ttaBottomRight:
            return DT_RIGHT | DT_BOTTOM;
        case ttaBottom:
            return DT_CENTER | DT_BOTTOM;
        case ttaBottomLeft:
            return DT_BOTTOM;
        case ttaLeft:
            return DT_VCENTER;
        case ttaCenter:
            break;
    }
    return DT_CENTER | DT_VCENTER;
}

// A copy of the glyph's cell with its transparent colour turned white, the
// brush colour of a fresh bitmap's canvas.
QImage CellWithWhiteBackground(const TBitmap& glyph, int index, int width, int height) {
    QImage cell = glyph.Image().copy(index * width, 0, width, height);
    const QRgb transparent = ColorToQColor(glyph.TransparentColor()).rgb() & 0xFFFFFF;
    for (int y = 0; y < cell.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(cell.scanLine(y));
        for (int x = 0; x < cell.width(); ++x)
            if ((line[x] & 0xFFFFFF) == transparent) line[x] = 0xFFFFFFFF;
    }
    return cell;
}

}  // namespace

TTransparentButton::TTransparentButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    numGlyphs_ = 1;
    down_ = 0;
    showPressed_ = true;
    borderWidth_ = 1;
    SetBounds(Left(), Top(), 40, 40);
    transparent_ = true;
    glyphList_ = std::make_unique<TImageList>(Width(), Height());
    glyph_.OnChange = [this](TObject*) { GlyphUpdated(); };
    spacing_ = 4;
    tracking_ = false;
    textAlign_ = ttaCenter;
}

void TTransparentButton::SetFrameStyle(TFrameStyle style) {
    if (style == frameStyle_) return;
    frameStyle_ = style;
    Invalidate();
}

void TTransparentButton::SetBorderWidth(TBorderSize width) {
    if (width == borderWidth_) return;
    borderWidth_ = width;
    Invalidate();
}

void TTransparentButton::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Invalidate();
}

void TTransparentButton::SetGlyph(const TBitmap& glyph) {
    glyph_.Assign(glyph);
    Invalidate();
}

void TTransparentButton::SetNumGlyphs(TNumGlyphs count) {
    if (count == numGlyphs_) return;
    numGlyphs_ = count;
    Invalidate();
}

void TTransparentButton::SetSpacing(int spacing) {
    if (spacing == spacing_) return;
    spacing_ = spacing;
    Invalidate();
}

void TTransparentButton::SetTextAlign(TTextAlign align) {
    if (align == textAlign_) return;
    textAlign_ = align;
    Invalidate();
}

void TTransparentButton::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    Invalidate();
}

bool TTransparentButton::HitTest(int X, int Y) const {
    return PtInRect(ClientRect(), {X, Y});
}

// Draws 'lines' nested frames, top-left edges in topColor and bottom-right
// edges in bottomColor, and leaves r shrunk by 'lines' on every side.
void TTransparentButton::DrawBevel(TRect& r, TColor topColor, TColor bottomColor, int lines) {
    TCanvas& canvas = Canvas();
    canvas.Pen().Width = 1;
    --r.Right;
    --r.Bottom;
    for (int i = 0; i < lines; ++i) {
        canvas.Pen().Color = topColor;
        canvas.Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
        canvas.Pen().Color = bottomColor;
        canvas.Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}});
        InflateRect(r, -1, -1);
    }
    ++r.Right;
    ++r.Bottom;
}

void TTransparentButton::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush().Color = clBtnFace;
    canvas.Pen().Color = clBlack;
    canvas.Pen().Width = borderWidth_;
    DrawOuterFrame();
    DrawStateFrame();
    DrawContents();
}

void TTransparentButton::DrawOuterFrame() {
    TCanvas& canvas = Canvas();
    const int w = Width(), h = Height();
    switch (frameStyle_) {
        case fsRegular:
            if (transparent_) {
                TRect r{1, 1, w, h};
                DrawBevel(r, clBlack, clBlack, borderWidth_);
            } else {
                canvas.Pen().Color = clBlack;
                canvas.Rectangle(1, 1, w, h);
            }
            break;
        case fsIndent: {
            canvas.Pen().Color = clBtnShadow;
            if (transparent_) {
                TRect outer{0, 0, w - 1, h - 1};
                DrawBevel(outer, clBtnShadow, clBtnShadow, borderWidth_);
            } else {
                canvas.Rectangle(0, 0, w - 1, h - 1);
            }
            TRect inner{1, 1, w, h};
            DrawBevel(inner, clBtnHighlight, clBtnHighlight, borderWidth_);
            break;
        }
        case fsNone:
            if (!transparent_) canvas.FillRect({0, 0, w, h});
            break;
    }
}

void TTransparentButton::DrawStateFrame() {
    if (frameStyle_ == fsNone) return;
    TRect s{1, 1, Width() - 1, Height() - 1};
    if (!ShownPressed()) {
        DrawBevel(s, clBtnHighlight, clBtnShadow, borderWidth_);
    } else if (frameStyle_ == fsRegular) {
        InflateRect(s, 1, 1);
        DrawBevel(s, clBlack, clBtnHighlight, borderWidth_);
        DrawBevel(s, clBtnShadow, clBtnFace, borderWidth_);
    } else {
        DrawBevel(s, clBtnShadow, clBtnHighlight, borderWidth_);
    }
}

void TTransparentButton::DrawContents() {
    const int w = Width(), h = Height();
    int glyphWidth = numGlyphs_ > 0 ? glyph_.Width() / numGlyphs_ : 0;
    if (glyphWidth <= 0) glyphWidth = glyph_.Width();
    const int glyphHeight = glyph_.Height();

    int textHeight = 0, textWidth = 0;
    if (!caption_.isEmpty()) {
        Canvas().SetFont(Font());
        textHeight = Canvas().TextHeight(caption_);
        textWidth = Canvas().TextWidth(caption_);
    }

    int top = (h - glyphHeight) / 2;
    switch (textAlign_) {
        case ttaTopLeft:
        case ttaTop:
        case ttaTopRight:
            top += textHeight + spacing_;
            break;
        case ttaBottomRight:
        case ttaBottom:
        case ttaBottomLeft:
            top += -textHeight + spacing_;
            break;
        default:
            break;
    }
    int left = (w - glyphWidth) / 2;
    if (textAlign_ == ttaLeft) left += textWidth / 2 + spacing_;
    if (textAlign_ == ttaRight) left += -(textWidth / 2) + spacing_;

    if (top < spacing_) top = spacing_;
    if (left < spacing_) left = spacing_;
    if (top + glyphHeight > h - spacing_) top = h - glyphHeight - spacing_;

    if (!glyph_.Empty()) DrawGlyph(left, top);
    if (!caption_.isEmpty()) DrawCaption({1, 1, w - 1, h - 1});
}

int TTransparentButton::GlyphCellIndex() const {
    const bool disabled = !Enabled();
    switch (numGlyphs_) {
        case 2:
            return disabled ? 1 : 0;
        case 3:
        case 4:
            return disabled ? 1 : (down_ == 1 ? 2 : 0);
        default:
            return 0;
    }
}

void TTransparentButton::DrawGlyph(int left, int top) {
    const int index = GlyphCellIndex();
    if (glyph_.Empty() || !glyphList_) return;
    if (ShownPressed()) {
        ++left;
        ++top;
    }
    if (transparent_)
        glyphList_->Draw(Canvas(), left, top, index, ILD_TRANSPARENT, clNone);
    else
        glyphList_->Draw(Canvas(), left, top, index, ILD_NORMAL, ColorToRGB(clBtnFace));
}

void TTransparentButton::DrawCaption(TRect r) {
    TCanvas& canvas = Canvas();
    InflateRect(r, -7, -7);
    canvas.SetFont(Font());
    const unsigned flags = CaptionFlags(textAlign_) | DT_SINGLELINE;
    if (ShownPressed()) OffsetRect(r, 1, 1);
    canvas.SetBkMode(TRANSPARENT);
    canvas.DrawText(caption_, r, flags);
    canvas.SetBkMode(OPAQUE);
}

void TTransparentButton::GlyphUpdated() {
    Invalidate();
    if (glyph_.Height() <= 0) return;
    const int width = glyph_.Width(), height = glyph_.Height();
    if (width > 0 && width % height == 0) {
        int count = width / height;
        if (count > 4) count = 1;
        SetNumGlyphs(static_cast<TNumGlyphs>(count));
    }
    BuildGlyphList();
}

void TTransparentButton::BuildGlyphList() {
    glyphList_.reset();
    if (glyph_.Empty() || numGlyphs_ == 0) return;
    const int cellWidth = glyph_.Width() / numGlyphs_;
    const int cellHeight = glyph_.Height();
    if (cellWidth <= 0) return;
    glyphList_ = std::make_unique<TImageList>(cellWidth, cellHeight);
    TBitmap cell;
    for (int i = 0; i < numGlyphs_; ++i) {
        cell.SetImage(CellWithWhiteBackground(glyph_, i, cellWidth, cellHeight));
        glyphList_->AddMasked(cell, cell.TransparentColor());
    }
    Invalidate();
}

void TTransparentButton::SetDown(std::uint8_t down) {
    down_ = down;
    Refresh();
}

void TTransparentButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Enabled() && HitTest(X, Y)) SetDown(1);
    tracking_ = true;
}

void TTransparentButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!tracking_) return;
    const bool inside = HitTest(X, Y);
    if (inside && down_ == 0)
        SetDown(1);
    else if (!inside && down_ == 1)
        SetDown(0);
}

void TTransparentButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    // Cleared before OnClick runs, so that a handler that fails leaves no
    // half-finished press behind.
    tracking_ = false;
    if (Enabled() && HitTest(X, Y)) {
        SetDown(0);
        if (OnClick) OnClick(this);
    }
}

void TTransparentButton::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TTransparentButton::MouseLeave() {
    if (OnMouseExit) OnMouseExit(this);
}
