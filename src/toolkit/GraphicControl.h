#pragma once

#include "toolkit/Canvas.h"
#include "toolkit/Control.h"

// A windowless control: it paints through its canvas on the parent's surface
// and is not opaque, so whatever it leaves unpainted shows the parent (and the
// controls beneath it). Paint() is called with the canvas bound to the
// control's area, origin at its top-left corner.
class TGraphicControl : public TControl {
    Q_OBJECT

public:
    explicit TGraphicControl(TComponent* AOwner);

    TCanvas& Canvas() { return canvas_; }

protected:
    virtual void Paint() {}
    void paintEvent(QPaintEvent* event) override;

private:
    TCanvas canvas_;
};
