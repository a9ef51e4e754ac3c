#include "toolkit/GraphicControl.h"

TGraphicControl::TGraphicControl(TComponent* AOwner) : TPaintedControl(AOwner, false) {}
