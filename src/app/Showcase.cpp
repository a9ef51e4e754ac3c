#include "app/Showcase.h"

#include "skin/TransBtn.h"

Showcase::Showcase(TComponent* AOwner) : TCustomControl(AOwner) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("brelmo"));
    SetColor(clTeal);
    SetBounds(0, 0, 640, 480);

    AddButton(QStringLiteral("Regular"), 40, 60)->SetTransparent(false);
    TTransparentButton* indent = AddButton(QStringLiteral("Indent"), 200, 60);
    indent->SetFrameStyle(fsIndent);
    indent->SetTransparent(false);
    TTransparentButton* thick = AddButton(QStringLiteral("Width 2"), 360, 60);
    thick->SetBorderWidth(2);
    TTransparentButton* hotSpot = AddButton(QStringLiteral(""), 40, 200);
    hotSpot->SetFrameStyle(fsNone);
    hotSpot->SetHint(QStringLiteral("An invisible hot spot over the painted square"));
    AddButton(QStringLiteral("Exit"), 520, 400)->OnClick = [this](TObject*) { close(); };
}

TTransparentButton* Showcase::AddButton(const QString& caption, int left, int top) {
    auto* button = new TTransparentButton(this);
    button->SetBounds(left, top, 120, 60);
    button->SetCaption(caption);
    button->SetShowHint(true);
    button->OnClick = [this, caption](TObject*) {
        ++clicks_;
        lastClicked_ = caption.isEmpty() ? QStringLiteral("hot spot") : caption;
        Invalidate();
    };
    return button;
}

void Showcase::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush().Color = clMaroon;
    canvas.Pen().Color = clYellow;
    canvas.Rectangle(40, 200, 160, 260);
    canvas.Font().Color = clWhite;
    canvas.SetBkMode(TRANSPARENT);
    canvas.TextOut(40, 20, QStringLiteral("brelmo: skin controls built so far"));
    canvas.TextOut(40, 300, QStringLiteral("Clicks: %1   last: %2").arg(clicks_).arg(lastClicked_));
    canvas.SetBkMode(OPAQUE);
}
