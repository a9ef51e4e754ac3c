#include "toolkit/GraphicControl.h"

#include <QPainter>

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner, false) {}

void TGraphicControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    canvas_.BeginPaint(&painter);
    Paint();
    canvas_.EndPaint();
}
