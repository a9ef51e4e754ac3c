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

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "AppBench.h"

namespace {

using appbench::ProbeRun;
using appbench::Summarise;
using appbench::Summary;

constexpr double kAllowedFactor = 1.5;
constexpr double kRevealAnimationMs = 60;
constexpr double kAllowedMemoryFactor = 2.0;
constexpr int kWarmUpRuns = 3;
constexpr int kMemoryRuns = 5;
constexpr const char* kIdleMs = "1000";

struct Probe {
    const char* label;
    std::string program;
    std::vector<ProbeRun> runs;

    std::vector<double> Series(double (*figure)(const ProbeRun&)) const {
        std::vector<double> values;
        for (const ProbeRun& run : runs) values.push_back(figure(run));
        return values;
    }
};

ProbeRun RunChecked(const Probe& probe) {
    ProbeRun run = appbench::RunProbe(probe.program);
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
double MainToForm(const ProbeRun& run) {
    return run.MsBetween("main_ns", "form_ns");
}
double FormToActivate(const ProbeRun& run) {
    return run.MsBetween("form_ns", "activate_ns");
}
double ExecToFirstPaint(const ProbeRun& run) {
    return run.MsFromStart("first_paint_ns");
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
double ResidentMiB(const ProbeRun& run) {
    return run.reports.at("rss_kib") / 1024.0;
}
double PeakMiB(const ProbeRun& run) {
    return run.reports.at("hwm_kib") / 1024.0;
}

void PrintTimes(const Probe& probe) {
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
void PrintPlayerStages(const Probe& probe) {
    appbench::PrintRow("  stage: exec to main()", Summarise(probe.Series(ExecToMain)));
    appbench::PrintRow("  stage: main() to main window made", Summarise(probe.Series(MainToForm)));
    appbench::PrintRow("  stage: made to activated (first paint done)",
                       Summarise(probe.Series(FormToActivate)));
    appbench::PrintRow("  stage: activated to reveal done",
                       Summarise(probe.Series(ActivateToReady)));
    appbench::PrintRow("  exec to first paint on the window",
                       Summarise(probe.Series(ExecToFirstPaint)));
}

void PrintMemory(const Probe& probe) {
    appbench::PrintRow(std::string(probe.label) + ": VmRSS idle",
                       Summarise(probe.Series(ResidentMiB)));
    appbench::PrintRow(std::string(probe.label) + ": VmHWM", Summarise(probe.Series(PeakMiB)));
}

// Runs both probes 'count' times, taking turns and alternating who goes first.
void RunInTurns(Probe& player, Probe& bare, int count) {
    for (int i = 0; i < count; ++i) {
        Probe& first = i % 2 ? bare : player;
        Probe& second = i % 2 ? player : bare;
        first.runs.push_back(RunChecked(first));
        second.runs.push_back(RunChecked(second));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    try {
        // A private runtime folder (the single-instance lock) and data folder
        // (no saved playlist); an empty current folder for the file lists.
        QTemporaryDir home;
        const QString runtime = home.filePath(QStringLiteral("run"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir().mkpath(home.filePath(QStringLiteral("data")));
        QDir().mkpath(home.filePath(QStringLiteral("cwd")));
        setenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit().constData(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        unsetenv("BRELMO_PROBE_IDLE_MS");
        if (!QDir::setCurrent(home.filePath(QStringLiteral("cwd"))))
            throw std::runtime_error("no work folder");

        appbench::PrivateXServer x;
        Probe player{"player", BRELMO_REVEAL_PROBE, {}};
        Probe bare{"bare window", BRELMO_MINIMAL_WINDOW, {}};

        RunInTurns(player, bare, kWarmUpRuns);
        player.runs.clear();
        bare.runs.clear();
        RunInTurns(player, bare, runs);

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

        setenv("BRELMO_PROBE_IDLE_MS", kIdleMs, 1);
        player.runs.clear();
        bare.runs.clear();
        RunInTurns(player, bare, kMemoryRuns);
        std::printf("\nResident memory after %s ms idle, %d runs of each\n", kIdleMs, kMemoryRuns);
        appbench::PrintHeader("MiB");
        PrintMemory(bare);
        PrintMemory(player);
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
