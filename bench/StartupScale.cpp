// Start-up of the player to its skin fully revealed on a screen of
// device-pixel ratio 2, beside the same on one of ratio 1 (the anchor), both
// fresh processes taking turns under one X server already running; then the
// resident memory of each after a second of idling.
//
//   StartupScale [runs]   (default 30 runs of each, after 3 warm-up runs)

#include <cstdio>
#include <cstdlib>

#include "kit/Processes.h"
#include "kit/Run.h"

namespace {

using benchkit::ProbeRun;
using benchkit::ReportedPeakMiB;
using benchkit::ReportedResidentMiB;
using benchkit::Summarise;

constexpr double kAllowedFactor = 1.2;
constexpr int kWarmUpRuns = 3;
constexpr int kMemoryRuns = 5;

struct Scale : benchkit::RunSeries {
    const char* label;
    const char* factor;
};

ProbeRun RunAt(const Scale& scale) {
    setenv("QT_SCALE_FACTOR", scale.factor, 1);
    ProbeRun run = benchkit::RunProbe(BRELMO_REVEAL_PROBE);
    if (run.exitCode != 0 || !run.reports.count("ready_ns"))
        throw std::runtime_error(std::string(scale.label) + " did not report its reveal");
    return run;
}

void RunInTurns(Scale& one, Scale& two, int count) {
    for (int i = 0; i < count; ++i) {
        Scale& first = i % 2 ? two : one;
        Scale& second = i % 2 ? one : two;
        first.runs.push_back(RunAt(first));
        second.runs.push_back(RunAt(second));
    }
}

double ExecToReady(const ProbeRun& run) {
    return run.MsFromStart("ready_ns");
}
double MainToForm(const ProbeRun& run) {
    return run.MsBetween("main_ns", "form_ns");
}
double ActivateToReady(const ProbeRun& run) {
    return run.MsBetween("activate_ns", "ready_ns");
}

void PrintTimes(const Scale& scale) {
    const std::string label(scale.label);
    benchkit::PrintRow(label + ": exec to reveal done", Summarise(scale.Series(ExecToReady)));
    benchkit::PrintRow(label + ":   main() to window made", Summarise(scale.Series(MainToForm)));
    benchkit::PrintRow(label + ":   activated to reveal done",
                       Summarise(scale.Series(ActivateToReady)));
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    try {
        const benchkit::PrivateHome home;

        // Room for the 1280x960 window of ratio 2.
        benchkit::PrivateXServer x("1920x1200x24");
        benchkit::PrivateSessionBus bus(home.Runtime().toStdString());
        Scale one{{}, "ratio 1", "1"};
        Scale two{{}, "ratio 2", "2"};
        RunInTurns(one, two, kWarmUpRuns);
        one.runs.clear();
        two.runs.clear();
        RunInTurns(one, two, runs);

        std::printf("Start-up under Xvfb %s, %d runs of each taking turns\n", x.Display().c_str(),
                    runs);
        benchkit::PrintHeader("ms");
        PrintTimes(one);
        PrintTimes(two);
        const double oneReady = Summarise(one.Series(ExecToReady)).median;
        const double twoReady = Summarise(two.Series(ExecToReady)).median;
        std::printf(
            "goal: ratio 2 exec to reveal done %.1f ms <= %.1f x %.1f = %.1f ms: %s (%.2fx)\n",
            twoReady, kAllowedFactor, oneReady, kAllowedFactor * oneReady,
            benchkit::Verdict(twoReady <= kAllowedFactor * oneReady), twoReady / oneReady);

        setenv("BRELMO_PROBE_IDLE_MS", "1000", 1);
        one.runs.clear();
        two.runs.clear();
        RunInTurns(one, two, benchkit::Runs(kMemoryRuns));
        std::printf("\nResident memory after 1000 ms idle, %d runs of each\n",
                    benchkit::Runs(kMemoryRuns));
        benchkit::PrintHeader("MiB");
        for (const Scale* scale : {&one, &two}) {
            benchkit::PrintRow(std::string(scale->label) + ": VmRSS idle",
                               Summarise(scale->Series(ReportedResidentMiB)));
            benchkit::PrintRow(std::string(scale->label) + ": VmHWM",
                               Summarise(scale->Series(ReportedPeakMiB)));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "StartupScale: %s\n", error.what());
        return 1;
    }
    return 0;
}
