#include "toolkit/WinControl.h"

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

TCustomControl::TCustomControl(TComponent* AOwner) : TPaintedControl(AOwner) {}
