#pragma once

// Shared by the start-up benchmarks: two kinds of fresh process started turn
// about under private runtime, data and work folders, the figures read from
// their reports, and the resident memory of each after a second of idling.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "AppBench.h"

namespace probeturns {

using appbench::ProbeRun;
using appbench::Summarise;

// One kind of process and its runs. 'environment' is set before each run.
struct ProbeSeries {
    std::string label;
    std::string program;
    std::vector<std::pair<std::string, std::string>> environment;
    std::vector<ProbeRun> runs;

    std::vector<double> Series(double (*figure)(const ProbeRun&)) const {
        std::vector<double> values;
        for (const ProbeRun& run : runs) values.push_back(figure(run));
        return values;
    }
};

// One run that must end well and make the report 'required'.
inline ProbeRun RunChecked(const ProbeSeries& probe, const char* required) {
    for (const auto& [name, value] : probe.environment) setenv(name.c_str(), value.c_str(), 1);
    ProbeRun run = appbench::RunProbe(probe.program);
    if (run.exitCode != 0 || !run.reports.count(required))
        throw std::runtime_error(probe.label + " did not report " + required);
    return run;
}

// Runs both 'count' times, taking turns and alternating who goes first.
inline void RunInTurns(ProbeSeries& one, ProbeSeries& two, int count, const char* required) {
    for (int i = 0; i < count; ++i) {
        ProbeSeries& first = i % 2 ? two : one;
        ProbeSeries& second = i % 2 ? one : two;
        first.runs.push_back(RunChecked(first, required));
        second.runs.push_back(RunChecked(second, required));
    }
}

constexpr int kWarmUpRuns = 3;

// Warm-up turns first, forgotten, then 'count' turns.
inline void RunAfterWarmUp(ProbeSeries& one, ProbeSeries& two, int count, const char* required) {
    RunInTurns(one, two, kWarmUpRuns, required);
    one.runs.clear();
    two.runs.clear();
    RunInTurns(one, two, count, required);
}

inline double ExecToReady(const ProbeRun& run) {
    return run.MsFromStart("ready_ns");
}
inline double MainToForm(const ProbeRun& run) {
    return run.MsBetween("main_ns", "form_ns");
}
inline double ActivateToReady(const ProbeRun& run) {
    return run.MsBetween("activate_ns", "ready_ns");
}
inline double ResidentMiB(const ProbeRun& run) {
    return run.reports.at("rss_kib") / 1024.0;
}
inline double PeakMiB(const ProbeRun& run) {
    return run.reports.at("hwm_kib") / 1024.0;
}

// A private runtime folder (the single-instance lock) and data folder (no
// saved playlist), and an empty current folder for the file lists, for as
// long as this lives; the probes run on X.
class ProbeFolders {
  public:
    ProbeFolders() {
        const QString runtime = home_.filePath(QStringLiteral("run"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir().mkpath(home_.filePath(QStringLiteral("data")));
        QDir().mkpath(home_.filePath(QStringLiteral("cwd")));
        setenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_HOME", home_.filePath(QStringLiteral("data")).toLocal8Bit().constData(),
               1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        unsetenv("BRELMO_PROBE_IDLE_MS");
        if (!QDir::setCurrent(home_.filePath(QStringLiteral("cwd"))))
            throw std::runtime_error("no work folder");
    }

  private:
    QTemporaryDir home_;
};

constexpr int kMemoryRuns = 5;
constexpr const char* kIdleMs = "1000";

// Runs both again, each told to idle a second before it reports its memory,
// and prints the resident and peak memory of each.
inline void MeasureIdleMemory(ProbeSeries& one, ProbeSeries& two, const char* required) {
    setenv("BRELMO_PROBE_IDLE_MS", kIdleMs, 1);
    one.runs.clear();
    two.runs.clear();
    RunInTurns(one, two, kMemoryRuns, required);
    std::printf("\nResident memory after %s ms idle, %d runs of each\n", kIdleMs, kMemoryRuns);
    appbench::PrintHeader("MiB");
    for (const ProbeSeries* probe : {&one, &two}) {
        appbench::PrintRow(probe->label + ": VmRSS idle", Summarise(probe->Series(ResidentMiB)));
        appbench::PrintRow(probe->label + ": VmHWM", Summarise(probe->Series(PeakMiB)));
    }
}

}  // namespace probeturns
