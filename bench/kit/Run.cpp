#include "kit/Run.h"

#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace benchkit {

bool Smoke() {
    const char* smoke = std::getenv("BRELMO_BENCH_SMOKE");
    return smoke && std::strcmp(smoke, "1") == 0;
}

int Runs(int wanted) {
    return Smoke() ? 1 : wanted;
}

int IntArg(int argc, char** argv, const char* name, int fallback) {
    const char* text = StringArg(argc, argv, name);
    return text ? std::atoi(text) : fallback;
}

const char* StringArg(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
    return nullptr;
}

void RunLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

int RunBenchmarks(int argc, char** argv) {
    std::vector<char*> arguments(argv, argv + argc);
    char briefly[] = "--benchmark_min_time=0.001";
    if (Smoke()) arguments.push_back(briefly);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace benchkit
