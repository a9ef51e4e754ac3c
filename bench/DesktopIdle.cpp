// CPU of the whole idle player (its volume poll running) with and without
// the desktop's media controls on a session bus, run interleaved, each run a
// fresh process, beside each other.
//
// Usage: DesktopIdle [--seconds N] [--runs R]   (defaults: 10 s, 5 runs)
// A run with "--mode off" or "--mode on" is one process measuring itself.

#include <signal.h>
#include <sys/prctl.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "desktop/MprisService.h"
#include "kit/Player.h"
#include "kit/Run.h"
#include "kit/Usage.h"

namespace {

constexpr int kSettleMs = 1500;

// One process: the player revealed and settled, then idle for 'seconds'.
int MeasureSelf(int argc, char** argv, int seconds) {
    int messages = 0;
    double percent = -1;
    bool onBus = false;
    benchkit::RunPlayer(
        argc, argv,
        [&](TForm1& form) {
            benchkit::RunLoopFor(kSettleMs);
            auto* mpris = form.findChild<TMprisService*>();
            onBus = mpris && mpris->Started();
            QElapsedTimer wall;
            const double cpuStart = benchkit::ProcessCpuSeconds();
            wall.start();
            benchkit::RunLoopFor(seconds * 1000);
            percent =
                100.0 * (benchkit::ProcessCpuSeconds() - cpuStart) / (wall.nsecsElapsed() * 1e-9);
        },
        &messages);
    std::printf("%.4f %d\n", percent, onBus ? 1 : 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = benchkit::IntArg(argc, argv, "--seconds", 10);
    if (benchkit::StringArg(argc, argv, "--mode")) return MeasureSelf(argc, argv, seconds);

    const int runs = benchkit::IntArg(argc, argv, "--runs", 5);
    QCoreApplication app(argc, argv);
    QTemporaryDir runtime;
    QProcess bus;
    bus.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    bus.start(
        QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
         QStringLiteral("--address=unix:path=") + runtime.filePath(QStringLiteral("bus")),
         QStringLiteral("--print-address=1")});
    if (!bus.waitForReadyRead(5000)) {
        std::fprintf(stderr, "no dbus-daemon\n");
        return 1;
    }
    const QString address = QString::fromUtf8(bus.readLine().trimmed());
    std::printf("%d runs of %d s idle per mode, each a fresh player process\n", runs, seconds);
    std::vector<double> samples[2];
    const char* const names[2] = {"off the bus", "on the bus"};
    for (int run = 0; run < runs; ++run) {
        for (int mode : {0, 1}) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       mode ? address : QStringLiteral("unix:path=/nonexistent/brelmo-bench"));
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--mode"), QString::number(mode),
                         QStringLiteral("--seconds"), QString::number(seconds)});
            child.waitForFinished(seconds * 1000 + 60000);
            const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
            const double percent = fields.value(0).toDouble();
            samples[mode].push_back(percent);
            std::printf("run %d %-12s %.3f %% of a core (media controls %s)\n", run + 1,
                        names[mode], percent, fields.value(1) == "1" ? "on the bus" : "off");
            std::fflush(stdout);
        }
    }
    for (int mode : {0, 1}) {
        const benchkit::Summary s = benchkit::Summarise(samples[mode]);
        std::printf("%-12s median %.3f %% (min %.3f, max %.3f)\n", names[mode], s.median, s.min,
                    s.max);
    }
    const double on = benchkit::Summarise(samples[1]).median;
    std::printf("goal: idle with the media controls <= 1 %% of a core: %s (%.3f %%)\n",
                on <= 1.0 ? "met" : "NOT met", on);
    ::kill(static_cast<pid_t>(bus.processId()), SIGTERM);
    bus.waitForFinished(3000);
    return 0;
}
