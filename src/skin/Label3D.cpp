#include "skin/Label3D.h"

#include <utility>

namespace {

constexpr int kMaxCaption = 255;

// The caption as far as a 256-byte text buffer holds it, never splitting a
// character in two.
QString DrawnCaption(const QString& caption) {
    if (caption.size() <= kMaxCaption) return caption;
    const int length =
        caption.at(kMaxCaption - 1).isHighSurrogate() ? kMaxCaption - 1 : kMaxCaption;
    return caption.left(length);
}

}  // namespace

TLabel3D::TLabel3D(TComponent* AOwner) : TLabel(AOwner) {
    captionStyle_ = csRecessed;
    SetHeight(16);
    SetWidth(62);
}

void TLabel3D::SetCaptionStyle(TCaptionStyle style) {
    if (style == captionStyle_) return;
    captionStyle_ = style;
    Invalidate();
}

void TLabel3D::Paint() {
    PaintBackground();
    // Word breaking is on whatever WordWrap says.
    DrawText3D(ClientRect(), AlignmentFlag() | DT_EXPANDTABS | DT_WORDBREAK);
}

void TLabel3D::DrawText3D(TRect r, unsigned flags) {
    const QString text = DrawnCaption(Caption());
    if (!ShowAccelChar()) flags |= DT_NOPREFIX;
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());

    TColor light = clBtnHighlight, dark = clBtnShadow;
    const bool recessed = captionStyle_ == csRecessed || captionStyle_ == csHeavyRecessed;
    if (recessed) std::swap(light, dark);
    if (captionStyle_ == csHeavyRaised || recessed) DrawCopy(text, r, +1, flags, dark);
    if (captionStyle_ == csRaised || captionStyle_ == csHeavyRaised ||
        captionStyle_ == csHeavyRecessed)
        DrawCopy(text, r, -1, flags, light);

    canvas.Font().Color = Enabled() ? Font().Color : clGrayText;
    canvas.DrawText(text, r, flags);
}

void TLabel3D::DrawCopy(const QString& text, TRect r, int offset, unsigned flags, TColor color) {
    OffsetRect(r, offset, offset);
    Canvas().Font().Color = color;
    Canvas().DrawText(text, r, flags);
}
