// The first Next of a fresh player process to its first sample on the
// private sound server's sink (the click), with GStreamer's plugin registry
// there (warm) and missing, as on a fresh install (cold). Each run is a new
// process of the player probe, idle a second after its reveal before the
// press. An earlier build's next_probe, if given, takes its turns too, so
// that before and after are measured side by side in one run.
//
//   sound-server.sh run FirstNext [runs] [earlier-next-probe]
//
// The probes run under an X server of the benchmark's own.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "kit/Media.h"
#include "kit/Processes.h"
#include "kit/SinkMonitor.h"
#include "kit/Stats.h"

namespace {

struct Probe {
    const char* label;
    std::string program;
    std::vector<double> cold, warm;
};

// Press to the first loud sample, in ms, for one run of 'program' with the
// registry at 'registry'.
double FirstNextMs(const std::string& program, const QString& registry) {
    // A recording of its own: over many runs one would lose samples and its time base.
    benchkit::MonitorRecorder recorder;
    qputenv("GST_REGISTRY", registry.toLocal8Bit());
    benchkit::Child child = benchkit::Spawn({program}, STDOUT_FILENO, true);
    fcntl(child.output, F_SETFL, O_NONBLOCK);
    // The recorder is read all along: a recorder left unread loses samples.
    std::string text;
    double pressed = 0;
    double ms = -1;
    int status = 0;
    while (waitpid(child.pid, &status, WNOHANG) == 0) {
        recorder.ReadUntil(benchkit::Now() + 0.005);
        char buffer[256];
        const ssize_t got = read(child.output, buffer, sizeof buffer);
        if (got > 0) text.append(buffer, static_cast<std::size_t>(got));
        const auto at = text.find("press_ns ");
        if (pressed == 0 && at != std::string::npos && text.find('\n', at) != std::string::npos) {
            pressed = std::atoll(text.c_str() + at + 9) / 1e9;
            ms = 1000 * recorder.FirstLoudAfter(pressed);
        }
    }
    close(child.output);
    return ms;
}

double Median(const std::vector<double>& values) {
    return benchkit::Summarise(values).median;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 8;
    const benchkit::PrivateXServer x;
    qputenv("BRELMO_PROBE_WAVE", benchkit::SmallWav().toLocal8Bit());
    std::vector<Probe> probes{{"this build", BRELMO_NEXT_PROBE, {}, {}}};
    if (argc > 2) probes.push_back({"earlier build", argv[2], {}, {}});
    QTemporaryDir registries;
    const QString warm = registries.filePath(QStringLiteral("warm.bin"));
    for (Probe& probe : probes) FirstNextMs(probe.program, warm);  // builds it
    int fresh = 0;
    for (int run = 0; run < runs; ++run) {
        for (Probe& probe : probes) {
            const QString cold = registries.filePath(QStringLiteral("cold-%1.bin").arg(++fresh));
            probe.cold.push_back(FirstNextMs(probe.program, cold));
            probe.warm.push_back(FirstNextMs(probe.program, warm));
        }
    }
    std::printf("first Next, press to first sample on the sink, median of %d runs (ms)\n", runs);
    for (const Probe& probe : probes)
        std::printf("  %-14s cold registry %7.1f   warm %7.1f   cold/warm %.2f\n", probe.label,
                    Median(probe.cold), Median(probe.warm),
                    Median(probe.cold) / Median(probe.warm));
    return 0;
}
