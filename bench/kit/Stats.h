#pragma once

// Median and spread: how every figure of the benchmarks is summed up, in
// their own tables and in Google Benchmark's.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>
#include <vector>

namespace benchkit {

struct Summary {
    double median = 0, low = 0, high = 0, p90 = 0, min = 0, max = 0;
    std::size_t count = 0;
};

// Median, quartiles, 90th percentile and extremes; all zero for no samples.
Summary Summarise(std::vector<double> samples);

// A table of summaries: the header names the unit, each row one series.
void PrintHeader(const char* unit);
void PrintRow(const std::string& label, const Summary& summary);
// A goal's verdict as the tables print it.
const char* Verdict(bool met);

// One sample per repetition, timed by the benchmark itself, reported as
// median, mean, spread, min, p90 and max: the figures of single events
// (a click, an open), not of averaged batches.
void SingleSamples(benchmark::internal::Benchmark* benchmark, int samples);

}  // namespace benchkit
