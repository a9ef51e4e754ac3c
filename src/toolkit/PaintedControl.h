#pragma once

#include <QPainter>

#include "toolkit/Application.h"
#include "toolkit/Canvas.h"

// What windowless and windowed controls that draw themselves share: a canvas
// bound to the control's area for each paint event, origin at its top-left
// corner, and Paint() run on it, an exception escaping Paint() handed to the
// application rather than to Qt's paint code.
template <class Base>
class TPaintedControl : public Base {
  public:
    using Base::Base;

    TCanvas& Canvas() { return canvas_; }

  protected:
    virtual void Paint() {}

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        canvas_.BeginPaint(&painter);
        Guarded([this] { Paint(); });
        canvas_.EndPaint();
    }

  private:
    TCanvas canvas_;
};
