// What the main window pays for its pictures at each device-pixel ratio: the
// committed skins loaded from the resources at 1 (the anchor), 2 and 3, the
// skin painted from the layout at the other ratios and, for comparison, at 2;
// and the black picture beside them. The first paint in a process also loads
// the art's fonts; the "first" figure is that single call, the others are
// steady state.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>

#include "app/SkinArt.h"
#include "art/SkinPainter.h"
#include "kit/Run.h"

namespace {

void BM_SkinPicture(benchmark::State& state, qreal ratio) {
    for (auto _ : state) benchmark::DoNotOptimize(SkinPicture(ratio));
}

void BM_PaintSkin(benchmark::State& state, qreal ratio) {
    for (auto _ : state) benchmark::DoNotOptimize(PaintSkin(ratio));
}

void BM_BlackPicture(benchmark::State& state, qreal ratio) {
    for (auto _ : state) benchmark::DoNotOptimize(BlackPicture(ratio));
}

void Register(const char* name, void (*fn)(benchmark::State&, qreal), qreal ratio) {
    benchmark::RegisterBenchmark(name, fn, ratio)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(benchkit::Runs(7))
        ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QElapsedTimer first;
    first.start();
    PaintSkin(2);
    std::printf("first PaintSkin(2) in the process, fonts included: %.1f ms\n",
                first.nsecsElapsed() / 1e6);
    Register("SkinPicture/1_resource", BM_SkinPicture, 1);
    Register("SkinPicture/1.25_painted", BM_SkinPicture, 1.25);
    Register("SkinPicture/1.5_painted", BM_SkinPicture, 1.5);
    Register("SkinPicture/2_resource", BM_SkinPicture, 2);
    Register("SkinPicture/3_resource", BM_SkinPicture, 3);
    Register("PaintSkin/2", BM_PaintSkin, 2);
    Register("BlackPicture/1_resource", BM_BlackPicture, 1);
    Register("BlackPicture/2_painted", BM_BlackPicture, 2);
    return benchkit::RunBenchmarks(argc, argv);
}
