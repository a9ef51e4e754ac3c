#include "kit/Stats.h"

#include <algorithm>
#include <cstdio>

#include "kit/Run.h"

namespace benchkit {

namespace {

double Quantile(const std::vector<double>& sorted, double q) {
    const double at = q * double(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - double(below));
}

double Minimum(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}
double Maximum(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}
double Percentile90(const std::vector<double>& v) {
    return Summarise(v).p90;
}

}  // namespace

Summary Summarise(std::vector<double> samples) {
    Summary summary;
    if (samples.empty()) return summary;
    std::sort(samples.begin(), samples.end());
    summary.count = samples.size();
    summary.median = Quantile(samples, 0.5);
    summary.low = Quantile(samples, 0.25);
    summary.high = Quantile(samples, 0.75);
    summary.p90 = Quantile(samples, 0.9);
    summary.min = samples.front();
    summary.max = samples.back();
    return summary;
}

void PrintHeader(const char* unit) {
    std::printf("%-44s %8s %8s %8s %8s %8s  (%s, n)\n", "", "median", "p25", "p75", "min", "max",
                unit);
}

void PrintRow(const std::string& label, const Summary& s) {
    std::printf("%-44s %8.1f %8.1f %8.1f %8.1f %8.1f  %zu\n", label.c_str(), s.median, s.low,
                s.high, s.min, s.max, s.count);
}

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

void SingleSamples(benchmark::internal::Benchmark* benchmark, int samples) {
    benchmark->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(Runs(samples))
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", Minimum)
        ->ComputeStatistics("p90", Percentile90)
        ->ComputeStatistics("max", Maximum);
}

}  // namespace benchkit
