#pragma once

// Shared by the player's benchmarks: a private X server and session bus that
// are already running when measuring starts, and programs started and timed
// from exec.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "kit/Stats.h"
#include "probes/ProbeReport.h"

extern char** environ;

namespace benchkit {

// A started program whose file descriptor 'fd' (standard output or another)
// is a pipe to us.
struct Child {
    pid_t pid = -1;
    int output = -1;
    std::int64_t startNs = 0;
};

// With 'quietErrors' its standard error goes to /dev/null.
inline Child Spawn(const std::vector<std::string>& arguments, int fd = STDOUT_FILENO,
                   bool quietErrors = false) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    // Well clear of the child's target descriptor, so that dup2 really
    // copies it (and drops close-on-exec on the copy only).
    const int writeEnd = fcntl(pipeFds[1], F_DUPFD_CLOEXEC, 10);
    close(pipeFds[1]);
    pipeFds[1] = writeEnd;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], fd);
    if (quietErrors)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    Child child;
    child.startNs = probe::MonotonicNs();
    const int failed = posix_spawnp(&child.pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (failed) {
        close(pipeFds[0]);
        throw std::runtime_error("cannot start " + arguments.front());
    }
    child.output = pipeFds[0];
    return child;
}

// Reads what the child writes until it closes its end or 'timeoutMs' passes
// without a byte; false on the timeout.
inline bool ReadAll(int fd, std::string& text, int timeoutMs) {
    char buffer[4096];
    for (;;) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, timeoutMs) <= 0) return false;
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) return true;
        text.append(buffer, static_cast<size_t>(got));
    }
}

// One run of a probe: its "name value" reports, the exec and exit times.
struct ProbeRun {
    std::map<std::string, std::int64_t> reports;
    std::int64_t startNs = 0;
    std::int64_t exitNs = 0;
    int exitCode = -1;

    double MsFromStart(const std::string& name) const { return (reports.at(name) - startNs) / 1e6; }
    double MsBetween(const std::string& from, const std::string& to) const {
        return (reports.at(to) - reports.at(from)) / 1e6;
    }
};

inline ProbeRun RunProbe(const std::string& program, int timeoutMs = 20000) {
    Child child = Spawn({program});
    std::string text;
    const bool ended = ReadAll(child.output, text, timeoutMs);
    close(child.output);
    if (!ended) kill(child.pid, SIGKILL);
    int status = 0;
    waitpid(child.pid, &status, 0);
    ProbeRun run;
    run.startNs = child.startNs;
    run.exitNs = probe::MonotonicNs();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (!ended) throw std::runtime_error(program + " hung");
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        const size_t blank = line.find(' ');
        if (blank != std::string::npos)
            run.reports[line.substr(0, blank)] = std::stoll(line.substr(blank + 1));
        at = end + 1;
    }
    return run;
}

// An Xvfb of our own on the first free display (it tells which when it is
// ready), running before anything is measured and stopped at the end;
// DISPLAY points at it meanwhile.
class PrivateXServer {
  public:
    explicit PrivateXServer(const char* screen = "1024x768x24") {
        child_ =
            Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp"}, 3, true);
        std::string number;
        char c = 0;
        while (read(child_.output, &c, 1) == 1 && c != '\n') number += c;
        if (number.empty()) throw std::runtime_error("Xvfb did not start");
        display_ = ":" + number;
        setenv("DISPLAY", display_.c_str(), 1);
    }
    ~PrivateXServer() {
        kill(child_.pid, SIGTERM);
        waitpid(child_.pid, nullptr, 0);
        close(child_.output);
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    const std::string& Display() const { return display_; }

  private:
    Child child_;
    std::string display_;
};

// A session bus of our own, as a desktop has one, so that the programs
// measured find a bus (the accessibility bridge and the media controls ask
// for it) and never start one; DBUS_SESSION_BUS_ADDRESS names it meanwhile.
class PrivateSessionBus {
  public:
    explicit PrivateSessionBus(const std::string& runtimeFolder) {
        child_ = Spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile",
                        "--address=unix:path=" + runtimeFolder + "/bus", "--print-address=3"},
                       3, true);
        std::string address;
        char c = 0;
        while (read(child_.output, &c, 1) == 1 && c != '\n') address += c;
        if (address.empty()) throw std::runtime_error("dbus-daemon did not start");
        setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    }
    ~PrivateSessionBus() {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        kill(child_.pid, SIGTERM);
        waitpid(child_.pid, nullptr, 0);
        close(child_.output);
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  private:
    Child child_;
};

// A series of probe runs and the figure each gives.
struct RunSeries {
    std::vector<ProbeRun> runs;

    std::vector<double> Series(double (*figure)(const ProbeRun&)) const {
        std::vector<double> values;
        for (const ProbeRun& run : runs) values.push_back(figure(run));
        return values;
    }
};

inline double ReportedResidentMiB(const ProbeRun& run) {
    return run.reports.at("rss_kib") / 1024.0;
}
inline double ReportedPeakMiB(const ProbeRun& run) {
    return run.reports.at("hwm_kib") / 1024.0;
}

// The player's world for a start-up run: a private runtime folder (the
// single-instance lock) and data folder (no saved playlist), an empty
// current folder for the file lists, X11 named outright. Removed with it.
class PrivateHome {
  public:
    PrivateHome() {
        const QString runtime = Runtime();
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

    QString Runtime() const { return home_.filePath(QStringLiteral("run")); }

  private:
    QTemporaryDir home_;
};

}  // namespace benchkit
