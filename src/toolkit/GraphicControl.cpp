#include "toolkit/GraphicControl.h"

#include <QPainter>

#include "toolkit/Application.h"

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner, false) {}

void TGraphicControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    canvas_.BeginPaint(&painter);
    Guarded([this] { Paint(); });
    canvas_.EndPaint();
}
