#pragma once

#include <QTimer>

#include "toolkit/Component.h"

// A message-driven timer: ticks arrive through the event loop on the GUI
// thread. A new timer is enabled with an interval of 1000 ms. An interval of
// 0 never ticks (a raw QTimer would fire on every pass of the loop).
// Starting it (at construction, or by a change of Enabled or Interval) where
// no event loop can deliver its ticks raises EOutOfResources "Not enough
// timers available"; a timer that was running goes on as it was.
class TTimer : public TComponent {
  public:
    explicit TTimer(TComponent* AOwner);

    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    TNotifyEvent OnTimer;

  private:
    void UpdateTimer();

    QTimer timer_;
    int interval_ = 1000;
    bool enabled_ = true;
};
