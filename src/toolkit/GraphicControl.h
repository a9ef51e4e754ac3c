#pragma once

#include "toolkit/Control.h"
#include "toolkit/PaintedControl.h"

// A windowless control: it paints through its canvas on the parent's surface
// and is not opaque, so whatever it leaves unpainted shows the parent (and the
// controls beneath it).
class TGraphicControl : public TPaintedControl<TControl> {
    Q_OBJECT

  public:
    explicit TGraphicControl(TComponent* AOwner);
};
