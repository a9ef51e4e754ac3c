// Start-up of the player to its skin fully revealed on a screen of
// device-pixel ratio 2, beside the same on one of ratio 1 (the anchor), both
// fresh processes taking turns under one X server already running; then the
// resident memory of each after a second of idling.
//
//   StartupScale [runs]   (default 30 runs of each, after 3 warm-up runs)

#include <cstdio>
#include <cstdlib>

#include "ProbeTurns.h"

namespace {

using appbench::Summarise;
using probeturns::ProbeSeries;

constexpr double kAllowedFactor = 1.2;
constexpr const char* kReady = "ready_ns";

void PrintTimes(const ProbeSeries& scale) {
    appbench::PrintRow(scale.label + ": exec to reveal done",
                       Summarise(scale.Series(probeturns::ExecToReady)));
    appbench::PrintRow(scale.label + ":   main() to window made",
                       Summarise(scale.Series(probeturns::MainToForm)));
    appbench::PrintRow(scale.label + ":   activated to reveal done",
                       Summarise(scale.Series(probeturns::ActivateToReady)));
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    try {
        const probeturns::ProbeFolders folders;
        // Room for the 1280x960 window of ratio 2.
        appbench::PrivateXServer x("1920x1200x24");
        ProbeSeries one{"ratio 1", BRELMO_REVEAL_PROBE, {{"QT_SCALE_FACTOR", "1"}}, {}};
        ProbeSeries two{"ratio 2", BRELMO_REVEAL_PROBE, {{"QT_SCALE_FACTOR", "2"}}, {}};
        probeturns::RunAfterWarmUp(one, two, runs, kReady);

        std::printf("Start-up under Xvfb %s, %d runs of each taking turns\n", x.Display().c_str(),
                    runs);
        appbench::PrintHeader("ms");
        PrintTimes(one);
        PrintTimes(two);
        const double oneReady = Summarise(one.Series(probeturns::ExecToReady)).median;
        const double twoReady = Summarise(two.Series(probeturns::ExecToReady)).median;
        std::printf("goal: ratio 2 exec to reveal done %.1f ms <= %.1f x %.1f = %.1f ms: %s (%.2fx)\n",
                    twoReady, kAllowedFactor, oneReady, kAllowedFactor * oneReady,
                    appbench::Verdict(twoReady <= kAllowedFactor * oneReady), twoReady / oneReady);

        probeturns::MeasureIdleMemory(one, two, kReady);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "StartupScale: %s\n", error.what());
        return 1;
    }
    return 0;
}
