#include "kit/Usage.h"

#include <sys/resource.h>

#include <ctime>

#include "probes/ProbeReport.h"

namespace benchkit {

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ResidentMiB() {
    return probe::ReadMemory().residentKiB / 1024.0;
}

}  // namespace benchkit
