#include "toolkit/Panel.h"

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(Left(), Top(), 185, 41);
}

void TPanel::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    if (bevel == bevelOuter_) return;
    bevelOuter_ = bevel;
    Invalidate();
}

void TPanel::Paint() {
    TCanvas& canvas = Canvas();
    const int right = Width() - 1, bottom = Height() - 1;
    if (bevelOuter_ != bvNone && right > 0 && bottom > 0) {
        const bool raised = bevelOuter_ == bvRaised;
        canvas.Pen().Width = 1;
        canvas.Pen().Color = raised ? clBtnHighlight : clBtnShadow;
        canvas.Polyline({{0, bottom}, {0, 0}, {right, 0}});
        canvas.Pen().Color = raised ? clBtnShadow : clBtnHighlight;
        canvas.Polyline({{right, 0}, {right, bottom}, {-1, bottom}});
    }
    if (caption_.isEmpty()) return;
    canvas.SetFont(Font());
    canvas.SetBkMode(TRANSPARENT);
    TRect area = ClientRect();
    canvas.DrawText(caption_, area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    canvas.SetBkMode(OPAQUE);
}
