// How long a copy that finds the program running takes to forward it and end:
// one at a time beside a serving copy, and 50 started at once. Each figure is
// the time from starting a copy to its exit.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <vector>

#include "kit/Run.h"

namespace {

QStringList CopyArguments(const QTemporaryDir& folder) {
    return {QStringLiteral("copy"), folder.path(), QStringLiteral("bench"),
            QStringLiteral("brelmo")};
}

std::unique_ptr<QProcess> StartCopy(const QTemporaryDir& folder) {
    auto copy = std::make_unique<QProcess>();
    copy->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    copy->start(QStringLiteral(BRELMO_INSTANCE_HELPER), CopyArguments(folder));
    return copy;
}

// A serving copy for the others to find; ends when the folder's user does.
struct ServingCopy {
    explicit ServingCopy(const QTemporaryDir& folder) : process(StartCopy(folder)) {
        while (!process->canReadLine() && process->waitForReadyRead(10000)) {
        }
    }
    ~ServingCopy() {
        process->closeWriteChannel();
        process->waitForFinished(5000);
    }
    std::unique_ptr<QProcess> process;
};

void BM_SecondCopyEnds(benchmark::State& state) {
    QTemporaryDir folder;
    ServingCopy first(folder);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto second = StartCopy(folder);
        second->closeWriteChannel();
        second->waitForFinished(10000);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(BM_SecondCopyEnds)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_FiftyAtOnceSlowestEnds(benchmark::State& state) {
    constexpr int kCopies = 50;
    for (auto _ : state) {
        QTemporaryDir folder;
        ServingCopy first(folder);
        QElapsedTimer clock;
        clock.start();
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int i = 0; i < kCopies; ++i) copies.push_back(StartCopy(folder));
        for (auto& copy : copies) {
            copy->closeWriteChannel();
            copy->waitForFinished(20000);
        }
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(BM_FiftyAtOnceSlowestEnds)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(benchkit::Runs(5))
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    return benchkit::RunBenchmarks(argc, argv);
}
