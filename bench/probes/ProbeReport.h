#pragma once

// What the start-up probes tell the benchmark that runs them: monotonic time
// stamps (comparable with the runner's own clock) and resident memory, one
// "name value" line each on standard output.

#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace probe {

inline std::int64_t MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

struct Memory {
    long residentKiB = 0;  // VmRSS
    long peakKiB = 0;      // VmHWM
};

inline Memory ReadMemory() {
    Memory memory;
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return memory;
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) memory.residentKiB = std::atol(line + 6);
        if (std::strncmp(line, "VmHWM:", 6) == 0) memory.peakKiB = std::atol(line + 6);
    }
    std::fclose(status);
    return memory;
}

inline void Report(const char* name, long long value) {
    std::printf("%s %lld\n", name, value);
    std::fflush(stdout);
}

inline void ReportMemory() {
    const Memory memory = ReadMemory();
    Report("rss_kib", memory.residentKiB);
    Report("hwm_kib", memory.peakKiB);
}

// How long a probe stays idle after start before it reports its memory and
// quits; 0 (or unset) quits at once.
inline int IdleMs() {
    const char* text = std::getenv("BRELMO_PROBE_IDLE_MS");
    return text ? std::atoi(text) : 0;
}

}  // namespace probe
