#include "toolkit/Timer.h"

#include <QAbstractEventDispatcher>
#include <QThread>

#include "toolkit/Application.h"
#include "toolkit/Exceptions.h"

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

namespace {

// Qt starts a timer only on the thread it lives on and only where an event
// loop runs; elsewhere it prints a warning and does nothing.
bool CanStart(const QTimer& timer) {
    return timer.thread() == QThread::currentThread() &&
           QAbstractEventDispatcher::instance(timer.thread()) != nullptr;
}

}  // namespace

void TTimer::UpdateTimer() {
    const bool run = enabled_ && interval_ > 0;
    if (run && !CanStart(timer_))
        throw EOutOfResources(QStringLiteral("Not enough timers available"));
    timer_.stop();
    if (run) timer_.start(interval_);
}
