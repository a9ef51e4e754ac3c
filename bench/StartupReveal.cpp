// Start-up of the player to its skin fully revealed, beside a bare frameless
// 640x480 Qt window that quits after its first paint, both started as fresh
// processes, turn about, under an X server already running. Then the
// resident memory of each after a second of idling.
//
// Figures per process, from exec: "ready" is the player's reveal finished
// (the last frame drawn and its notice handled) or the bare window's first
// paint done; "shown" is that paint gone through to the window; "exit" is
// the process's end. The player gets the 60 ms of its reveal animation on top
// of the allowance.
//
//   StartupReveal [runs]   (default 30 runs of each, after 3 warm-up runs)

#include <cstdio>
#include <cstdlib>

#include "ProbeTurns.h"

namespace {

using appbench::ProbeRun;
using appbench::Summarise;
using probeturns::ActivateToReady;
using probeturns::ExecToReady;
using probeturns::MainToForm;
using probeturns::PeakMiB;
using probeturns::ProbeSeries;
using probeturns::ResidentMiB;

constexpr double kAllowedFactor = 1.5;
constexpr double kRevealAnimationMs = 60;
constexpr double kAllowedMemoryFactor = 2.0;
constexpr const char* kShown = "shown_ns";

double MainToReady(const ProbeRun& run) {
    return run.MsBetween("main_ns", "ready_ns");
}
double ExecToMain(const ProbeRun& run) {
    return run.MsFromStart("main_ns");
}
double FormToActivate(const ProbeRun& run) {
    return run.MsBetween("form_ns", "activate_ns");
}
double ExecToFirstPaint(const ProbeRun& run) {
    return run.MsFromStart("first_paint_ns");
}
double ExecToShown(const ProbeRun& run) {
    return run.MsFromStart("shown_ns");
}
double ExecToExit(const ProbeRun& run) {
    return (run.exitNs - run.startNs) / 1e6;
}

void PrintTimes(const ProbeSeries& probe) {
    appbench::PrintRow(std::string(probe.label) + ": exec to ready",
                       Summarise(probe.Series(ExecToReady)));
    appbench::PrintRow(std::string(probe.label) + ": main() to ready",
                       Summarise(probe.Series(MainToReady)));
    appbench::PrintRow(std::string(probe.label) + ": exec to shown",
                       Summarise(probe.Series(ExecToShown)));
    appbench::PrintRow(std::string(probe.label) + ": exec to exit",
                       Summarise(probe.Series(ExecToExit)));
}

// Where the player's start-up goes: loading, the main window made, shown and
// activated (its first paint happens on the way), the reveal; and when its
// first paint (grey and black, before the reveal) reached the window.
void PrintPlayerStages(const ProbeSeries& probe) {
    appbench::PrintRow("  stage: exec to main()", Summarise(probe.Series(ExecToMain)));
    appbench::PrintRow("  stage: main() to main window made", Summarise(probe.Series(MainToForm)));
    appbench::PrintRow("  stage: made to activated (first paint done)",
                       Summarise(probe.Series(FormToActivate)));
    appbench::PrintRow("  stage: activated to reveal done",
                       Summarise(probe.Series(ActivateToReady)));
    appbench::PrintRow("  exec to first paint on the window",
                       Summarise(probe.Series(ExecToFirstPaint)));
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    try {
        const probeturns::ProbeFolders folders;
        appbench::PrivateXServer x;
        ProbeSeries player{"player", BRELMO_REVEAL_PROBE, {}, {}};
        ProbeSeries bare{"bare window", BRELMO_MINIMAL_WINDOW, {}, {}};
        probeturns::RunAfterWarmUp(player, bare, runs, kShown);

        std::printf("Start-up under Xvfb %s, %d runs of each taking turns\n", x.Display().c_str(),
                    runs);
        appbench::PrintHeader("ms");
        PrintTimes(bare);
        PrintTimes(player);
        PrintPlayerStages(player);
        const double bareReady = Summarise(bare.Series(ExecToReady)).median;
        const double playerReady = Summarise(player.Series(ExecToReady)).median;
        const double allowed = kAllowedFactor * bareReady + kRevealAnimationMs;
        std::printf(
            "goal: player exec to ready %.1f ms <= %.1f x %.1f + %.0f = %.1f ms: %s (without "
            "the animation %.2fx the bare window)\n",
            playerReady, kAllowedFactor, bareReady, kRevealAnimationMs, allowed,
            appbench::Verdict(playerReady <= allowed),
            (playerReady - kRevealAnimationMs) / bareReady);

        probeturns::MeasureIdleMemory(bare, player, kShown);
        const double barePeak = Summarise(bare.Series(PeakMiB)).median;
        const double playerPeak = Summarise(player.Series(PeakMiB)).median;
        const double bareResident = Summarise(bare.Series(ResidentMiB)).median;
        const double playerResident = Summarise(player.Series(ResidentMiB)).median;
        std::printf("goal: player peak %.1f MiB <= %.1f x %.1f = %.1f MiB: %s (%.2fx)\n",
                    playerPeak, kAllowedMemoryFactor, barePeak, kAllowedMemoryFactor * barePeak,
                    appbench::Verdict(playerPeak <= kAllowedMemoryFactor * barePeak),
                    playerPeak / barePeak);
        std::printf("goal: player idle %.1f MiB <= %.1f x %.1f = %.1f MiB: %s (%.2fx)\n",
                    playerResident, kAllowedMemoryFactor, bareResident,
                    kAllowedMemoryFactor * bareResident,
                    appbench::Verdict(playerResident <= kAllowedMemoryFactor * bareResident),
                    playerResident / bareResident);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "StartupReveal: %s\n", error.what());
        return 1;
    }
    return 0;
}
