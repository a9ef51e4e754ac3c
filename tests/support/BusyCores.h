#pragma once

// Both cores kept busy, as a build does, by two loops started here and
// stopped by their PIDs when this ends (the sound tests, and the click
// benchmark's busy figures).

#include <QProcess>
#include <array>

class BusyCores {
  public:
    explicit BusyCores(bool busy = true) {
        for (QProcess& loop : loops_) {
            if (!busy) break;
            loop.setStandardOutputFile(QProcess::nullDevice());
            loop.start(QStringLiteral("yes"), {});
            loop.waitForStarted();
        }
    }
    ~BusyCores() {
        for (QProcess& loop : loops_) {
            loop.kill();
            loop.waitForFinished(2000);
        }
    }
    BusyCores(const BusyCores&) = delete;
    BusyCores& operator=(const BusyCores&) = delete;

  private:
    std::array<QProcess, 2> loops_;
};
