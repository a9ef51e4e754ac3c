// The yardstick for the player's start-up: a bare frameless 640x480 Qt
// window, centred, that quits after its first paint. Reports like the
// player's probe does; with BRELMO_PROBE_IDLE_MS it stays idle that long and
// reports its memory before quitting.
#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include "AfterPaint.h"
#include "ProbeReport.h"

namespace {

class Window : public QWidget {
  public:
    Window() {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        resize(640, 480);
        move(screen()->availableGeometry().center() - rect().center());
        probe::ReportShownThenQuit(this, [] { QCoreApplication::quit(); });
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), Qt::gray);
        if (std::exchange(painted_, true)) return;
        probe::Report("ready_ns", probe::MonotonicNs());
    }

  private:
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const std::int64_t mainNs = probe::MonotonicNs();
    probe::Report("main_ns", mainNs);
    QApplication application(argc, argv);
    Window window;
    window.show();
    return application.exec();
}
