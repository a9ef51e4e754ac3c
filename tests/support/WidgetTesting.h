#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <Qt>

#include "support/EventLoop.h"
#include "toolkit/WinControl.h"

// A top-level window for control tests: shown offscreen, filled with a
// pattern that differs at every pixel so that any stray painting shows.
class TestHost : public TCustomControl {
  public:
    explicit TestHost(int width = 200, int height = 150, bool patterned = true);

    // What the window shows now, 32-bit RGB.
    QImage Snapshot();

  protected:
    void Paint() override;

  private:
    bool patterned_;
};

// Mouse input sent to the window, so that it is routed as real input is:
// hit-testing, capture, and the control under the cursor.
void PressAt(QWidget* window, QPoint pos, Qt::MouseButton button = Qt::LeftButton);
void MoveTo(QWidget* window, QPoint pos);
void ReleaseAt(QWidget* window, QPoint pos, Qt::MouseButton button = Qt::LeftButton);
void ClickAt(QWidget* window, QPoint pos, Qt::MouseButton button = Qt::LeftButton);
void DoubleClickAt(QWidget* window, QPoint pos);
