#pragma once

#include "toolkit/Control.h"
#include "toolkit/PaintedControl.h"

// A windowed control: an ordinary widget filled with its Color, always above
// the windowless controls of the same parent.
class TWinControl : public TControl {
    Q_OBJECT

  public:
    explicit TWinControl(TComponent* AOwner);

    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order) { tabOrder_ = order; }

  protected:
    void ColorChanged() override;

  private:
    int tabOrder_ = -1;
};

// A windowed control that draws itself through a canvas in Paint().
class TCustomControl : public TPaintedControl<TWinControl> {
    Q_OBJECT

  public:
    explicit TCustomControl(TComponent* AOwner);
};
