// Start-up of the player to its skin fully revealed, beside a bare frameless
// 640x480 Qt window that quits after its first paint, both started as fresh
// processes, turn about, under an X server and a session bus already
// running. Then the resident memory of each after a second of idling.
//
// Figures per process, from exec: "first frame" is the player's first reveal
// frame with some of the skin in it, on the window; "ready" is the player's
// reveal finished (the last frame drawn and its notice handled) or the bare
// window's first paint done; "shown" is that paint gone through to the
// window; "exit" is the process's end. The player gets the 60 ms of its
// reveal animation on top of the allowance for its fully revealed skin.
//
//   StartupReveal [runs] [earlier-player-probe]
//
// (default 30 runs of each, after 3 warm-up runs). An earlier build's
// reveal_probe, if given, takes its turns too, so that before and after are
// measured side by side in one run.

#include <cstdio>
#include <cstdlib>

#include "kit/Processes.h"
#include "kit/Run.h"

namespace {

using benchkit::ProbeRun;
using benchkit::ReportedPeakMiB;
using benchkit::ReportedResidentMiB;
using benchkit::Summarise;
using benchkit::Summary;

constexpr double kAllowedFactor = 1.3;
constexpr double kRevealAnimationMs = 60;
constexpr double kAllowedMemoryFactor = 1.3;
constexpr int kWarmUpRuns = 3;
constexpr int kMemoryRuns = 5;
constexpr const char* kIdleMs = "1000";

struct Probe : benchkit::RunSeries {
    const char* label;
    std::string program;
};

ProbeRun RunChecked(const Probe& probe) {
    ProbeRun run = benchkit::RunProbe(probe.program);
    if (run.exitCode != 0 || !run.reports.count("shown_ns"))
        throw std::runtime_error(std::string(probe.label) + " did not report a start");
    return run;
}

double ExecToReady(const ProbeRun& run) {
    return run.MsFromStart("ready_ns");
}
double MainToReady(const ProbeRun& run) {
    return run.MsBetween("main_ns", "ready_ns");
}
double ExecToMain(const ProbeRun& run) {
    return run.MsFromStart("main_ns");
}
double PlatformInit(const ProbeRun& run) {
    return run.MsBetween("main_ns", "platform_ns");
}
double WindowBuild(const ProbeRun& run) {
    return run.MsBetween("platform_ns", "form_ns");
}
double ShowToFirstPaint(const ProbeRun& run) {
    return run.MsBetween("form_ns", "first_paint_ns");
}
double BarePaint(const ProbeRun& run) {
    return run.MsBetween("platform_ns", "shown_ns");
}
double FirstPaintToFirstFrame(const ProbeRun& run) {
    return run.MsBetween("first_paint_ns", "first_frame_ns");
}
double ExecToFirstFrame(const ProbeRun& run) {
    return run.MsFromStart("first_frame_ns");
}
double ActivateToReady(const ProbeRun& run) {
    return run.MsBetween("activate_ns", "ready_ns");
}
double ExecToShown(const ProbeRun& run) {
    return run.MsFromStart("shown_ns");
}
double ExecToExit(const ProbeRun& run) {
    return (run.exitNs - run.startNs) / 1e6;
}

void PrintTimes(const Probe& probe) {
    if (probe.runs.front().reports.count("first_frame_ns"))
        benchkit::PrintRow(std::string(probe.label) + ": exec to first reveal frame",
                           Summarise(probe.Series(ExecToFirstFrame)));
    benchkit::PrintRow(std::string(probe.label) + ": exec to ready",
                       Summarise(probe.Series(ExecToReady)));
    benchkit::PrintRow(std::string(probe.label) + ": main() to ready",
                       Summarise(probe.Series(MainToReady)));
    benchkit::PrintRow(std::string(probe.label) + ": exec to shown",
                       Summarise(probe.Series(ExecToShown)));
    benchkit::PrintRow(std::string(probe.label) + ": exec to exit",
                       Summarise(probe.Series(ExecToExit)));
}

// Where start-up goes: loading, the window system, the main window made,
// shown and first painted (grey and black, before the reveal), the reveal's
// first frame, the animation (activated to the reveal done).
void PrintPlayerStages(const Probe& probe) {
    const std::string label = std::string("  ") + probe.label + ": ";
    benchkit::PrintRow(label + "exec to main()", Summarise(probe.Series(ExecToMain)));
    benchkit::PrintRow(label + "platform init", Summarise(probe.Series(PlatformInit)));
    benchkit::PrintRow(label + "window build", Summarise(probe.Series(WindowBuild)));
    benchkit::PrintRow(label + "show to first paint", Summarise(probe.Series(ShowToFirstPaint)));
    benchkit::PrintRow(label + "first paint to first frame",
                       Summarise(probe.Series(FirstPaintToFirstFrame)));
    benchkit::PrintRow(label + "animation", Summarise(probe.Series(ActivateToReady)));
}

void PrintBareStages(const Probe& probe) {
    const std::string label = std::string("  ") + probe.label + ": ";
    benchkit::PrintRow(label + "exec to main()", Summarise(probe.Series(ExecToMain)));
    benchkit::PrintRow(label + "platform init", Summarise(probe.Series(PlatformInit)));
    benchkit::PrintRow(label + "window to first paint shown", Summarise(probe.Series(BarePaint)));
}

void PrintMemory(const Probe& probe) {
    benchkit::PrintRow(std::string(probe.label) + ": VmRSS idle",
                       Summarise(probe.Series(ReportedResidentMiB)));
    benchkit::PrintRow(std::string(probe.label) + ": VmHWM",
                       Summarise(probe.Series(ReportedPeakMiB)));
}

// Runs every probe 'count' times, taking turns, each round starting with
// another one.
void RunInTurns(const std::vector<Probe*>& probes, int count) {
    for (int i = 0; i < count; ++i)
        for (size_t k = 0; k < probes.size(); ++k) {
            Probe& probe = *probes[(i + k) % probes.size()];
            probe.runs.push_back(RunChecked(probe));
        }
}

void ClearRuns(const std::vector<Probe*>& probes) {
    for (Probe* probe : probes) probe->runs.clear();
}

// The three goals for one build of the player, against the bare window.
void PrintTimeGoals(const Probe& player, const Probe& bare) {
    const double bareShown = Summarise(bare.Series(ExecToShown)).median;
    const double firstFrame = Summarise(player.Series(ExecToFirstFrame)).median;
    const double revealed = Summarise(player.Series(ExecToShown)).median;
    const double allowedFirst = kAllowedFactor * bareShown;
    std::printf(
        "goal: %s exec to first reveal frame %.1f ms <= %.1f x %.1f = %.1f ms: %s (%.2fx)\n",
        player.label, firstFrame, kAllowedFactor, bareShown, allowedFirst,
        benchkit::Verdict(firstFrame <= allowedFirst), firstFrame / bareShown);
    std::printf("goal: %s exec to skin revealed %.1f ms <= %.1f + %.0f = %.1f ms: %s\n",
                player.label, revealed, allowedFirst, kRevealAnimationMs,
                allowedFirst + kRevealAnimationMs,
                benchkit::Verdict(revealed <= allowedFirst + kRevealAnimationMs));
}

void PrintMemoryGoal(const Probe& player, const Probe& bare) {
    const double bareResident = Summarise(bare.Series(ReportedResidentMiB)).median;
    const double playerResident = Summarise(player.Series(ReportedResidentMiB)).median;
    std::printf("goal: %s idle %.1f MiB <= %.1f x %.1f = %.1f MiB: %s (%.2fx)\n", player.label,
                playerResident, kAllowedMemoryFactor, bareResident,
                kAllowedMemoryFactor * bareResident,
                benchkit::Verdict(playerResident <= kAllowedMemoryFactor * bareResident),
                playerResident / bareResident);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    try {
        const benchkit::PrivateHome home;

        benchkit::PrivateXServer x;
        benchkit::PrivateSessionBus bus(home.Runtime().toStdString());
        Probe bare{{}, "bare window", BRELMO_MINIMAL_WINDOW};
        Probe player{{}, "player", BRELMO_REVEAL_PROBE};
        Probe earlier{{}, "earlier player", argc > 2 ? argv[2] : ""};
        std::vector<Probe*> probes = {&bare, &player};
        if (argc > 2) probes.push_back(&earlier);
        const std::vector<Probe*> players(probes.begin() + 1, probes.end());

        RunInTurns(probes, kWarmUpRuns);
        ClearRuns(probes);
        RunInTurns(probes, runs);

        std::printf("Start-up under Xvfb %s, %d runs of each taking turns\n", x.Display().c_str(),
                    runs);
        benchkit::PrintHeader("ms");
        for (const Probe* probe : probes) PrintTimes(*probe);
        PrintBareStages(bare);
        for (const Probe* probe : players) PrintPlayerStages(*probe);
        for (const Probe* probe : players) PrintTimeGoals(*probe, bare);

        setenv("BRELMO_PROBE_IDLE_MS", kIdleMs, 1);
        ClearRuns(probes);
        RunInTurns(probes, benchkit::Runs(kMemoryRuns));
        std::printf("\nResident memory after %s ms idle, %d runs of each\n", kIdleMs,
                    benchkit::Runs(kMemoryRuns));
        benchkit::PrintHeader("MiB");
        for (const Probe* probe : probes) PrintMemory(*probe);
        for (const Probe* probe : players) PrintMemoryGoal(*probe, bare);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "StartupReveal: %s\n", error.what());
        return 1;
    }
    return 0;
}
