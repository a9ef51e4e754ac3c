#pragma once

// The private sound server's sink as a recorder of its monitor hears it,
// with the time each sample was taken, for benchmarks run under
// tests/sound/sound-server.sh. The sink stops while no stream plays, and
// its monitor then with it: a recording that spans such pauses loses its
// time base, so each measurement that follows one takes a recorder of its own.

#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <vector>

namespace benchkit {

constexpr int kRate = 48000;

// Seconds on the monotonic clock (that of probe::MonotonicNs too).
inline double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Press to the first loud sample on the server's sink, as a recorder of its
// monitor captures it. Sample k of the recording was taken at
// base + k / rate; the base is the earliest any chunk allows: a chunk that
// brings the recording to n samples, arriving at t, bounds it by t - n / rate.
class MonitorRecorder {
  public:
    MonitorRecorder() {
        parec_.start(
            QStringLiteral("parec"),
            {QStringLiteral("-d"), QString::fromUtf8(qgetenv("BRELMO_TEST_SINK") + ".monitor"),
             QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
             QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--raw"),
             QStringLiteral("--latency-msec=2")});
        parec_.waitForStarted();
        // Long enough for the first chunks, which set the base.
        ReadUntil(Now() + 0.5);
    }
    ~MonitorRecorder() {
        parec_.terminate();
        parec_.waitForFinished(2000);
    }

    // Reads what has come until 'until', the time base kept up to date.
    void ReadUntil(double until) {
        while (Now() < until) {
            parec_.waitForReadyRead(5);
            const QByteArray bytes = parec_.readAllStandardOutput();
            if (bytes.isEmpty()) continue;
            const double arrived = Now();
            const auto* samples = reinterpret_cast<const qint16*>(bytes.constData());
            samples_.insert(samples_.end(), samples, samples + bytes.size() / 2);
            base_ = std::min(base_, arrived - static_cast<double>(samples_.size()) / kRate);
        }
    }

    // Seconds from 'pressed' to the first loud sample taken after it, read
    // for at most a second; a second when none came.
    double FirstLoudAfter(double pressed, int loud = 100) {
        for (double until = Now() + 0.02; until < pressed + 1; until += 0.02) {
            ReadUntil(until);
            for (std::size_t k = SampleAt(pressed); k < samples_.size(); ++k)
                if (std::abs(samples_[k]) > loud)
                    return base_ + static_cast<double>(k) / kRate - pressed;
        }
        return 1;
    }

  private:
    std::size_t SampleAt(double time) const {
        return static_cast<std::size_t>(std::max(0.0, (time - base_) * kRate));
    }

    QProcess parec_;
    std::vector<qint16> samples_;
    double base_ = std::numeric_limits<double>::max();
};

}  // namespace benchkit
