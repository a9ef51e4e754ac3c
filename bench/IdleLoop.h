#pragma once

// Shared by the benchmarks that measure or wait out an idle event loop: a
// wait that sleeps in the loop (so that it costs no CPU of its own), the
// process's CPU time, and the "--name N" arguments they take.

#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace idleloop {

// Runs the event loop for 'milliseconds', asleep whenever nothing is due.
inline void RunLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

inline double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The number after "--name" on the command line, or 'fallback'.
inline int IntArg(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace idleloop
