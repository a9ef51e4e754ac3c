#include "toolkit/Timer.h"

#include "toolkit/Application.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        Guarded([this] {
            if (OnTimer) OnTimer(this);
        });
    });
    UpdateTimer();
}

void TTimer::SetInterval(int milliseconds) {
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    timer_.stop();
    if (enabled_ && interval_ > 0) timer_.start(interval_);
}
