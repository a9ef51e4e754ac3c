#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <functional>
#include <utility>

#include "ProbeReport.h"

namespace probe {

// The window system connected and the application object made.
inline void ReportPlatformUp() {
    Report("platform_ns", MonotonicNs());
}
Q_COREAPP_STARTUP_FUNCTION(ReportPlatformUp)

// Runs 'then' once, on the event loop's next turn after the watched widget's
// next paint: by then the paint has gone through the backing store to the
// window.
class AfterPaint : public QObject {
  public:
    AfterPaint(QObject* watched, std::function<void()> then)
        : QObject(watched), then_(std::move(then)) {
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) {
            QTimer::singleShot(0, watched, std::exchange(then_, nullptr));
            watched->removeEventFilter(this);
        }
        return false;
    }

  private:
    std::function<void()> then_;
};

// Reports the moment the watched widget's next paint is on the window, then
// stays idle for IdleMs (reporting the memory after it, if any) and quits.
inline void ReportShownThenQuit(QObject* watched, const std::function<void()>& quit) {
    new AfterPaint(watched, [quit] {
        Report("shown_ns", MonotonicNs());
        const int idle = IdleMs();
        if (idle <= 0) return quit();
        QTimer::singleShot(idle, [quit] {
            ReportMemory();
            quit();
        });
    });
}

}  // namespace probe
