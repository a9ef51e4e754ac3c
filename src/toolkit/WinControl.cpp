#include "toolkit/WinControl.h"

#include <QPainter>

#include "toolkit/Application.h"

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner, true) {
    setAutoFillBackground(true);
    ColorChanged();
}

void TWinControl::ColorChanged() {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorToQColor(Color()));
    setPalette(pal);
    Invalidate();
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TCustomControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    canvas_.BeginPaint(&painter);
    Guarded([this] { Paint(); });
    canvas_.EndPaint();
}
