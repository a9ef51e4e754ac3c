// The cost of one transition frame at the skin's size, beside what the
// machine needs to copy the same picture once with QPainter and with memcpy.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <cstring>
#include <memory>
#include <vector>

#include "kit/Run.h"
#include "skin/Transit.h"
#include "toolkit/WinControl.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

QImage Picture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) line[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    }
    return image;
}

// A shown control whose every tick draws frame 1 of a one-step loop: the
// whole picture 1:1 over the whole control.
struct FullFrameRun {
    FullFrameRun() : form(nullptr) {
        form.SetBounds(0, 0, kWidth, kHeight);
        effect = new TTransitionEffect(&form);
        effect->SetBounds(0, 0, kWidth, kHeight);
        effect->SetAutosize(asFitBoth);
        effect->SetBGType(btColor);
        TBitmap picture;
        picture.SetImage(Picture());
        effect->SetBitmap(picture);
        effect->SetSteps(1);
        effect->SetLoop(true);
        effect->SetInterval(1 << 30);  // ticks come from the benchmark only
        form.show();
        QApplication::processEvents();
        effect->Execute();
        effect->DrawStep();  // frame 0
        QApplication::processEvents();
    }
    TCustomControl form;
    TTransitionEffect* effect;  // owned by form
};

void BM_DrawStep(benchmark::State& state) {
    FullFrameRun run;
    for (auto _ : state) run.effect->DrawStep();
    QApplication::processEvents();
}

// The frame and the paint that shows it on the widget.
void BM_DrawStepShown(benchmark::State& state) {
    FullFrameRun run;
    for (auto _ : state) {
        run.effect->DrawStep();
        run.effect->repaint();
    }
}

void DrawImageInto(benchmark::State& state, QImage::Format format) {
    const QImage picture = Picture();
    QImage target(kWidth, kHeight, format);
    target.fill(Qt::black);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.drawImage(0, 0, picture);
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_DrawImage(benchmark::State& state) {
    DrawImageInto(state, QImage::Format_RGB32);
}

void BM_DrawImageOnArgbSurface(benchmark::State& state) {
    DrawImageInto(state, QImage::Format_ARGB32_Premultiplied);
}

void BM_Memcpy(benchmark::State& state) {
    const std::vector<char> from(std::size_t(kWidth) * kHeight * 4, 7);
    std::vector<char> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

double Min(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}
double Max(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

void Register(const char* name, void (*fn)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name, fn)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(benchkit::Runs(15))
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", Min)
        ->ComputeStatistics("max", Max);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Register("DrawStep_640x480", BM_DrawStep);
    Register("DrawStep_640x480_and_paint", BM_DrawStepShown);
    Register("QPainter_drawImage_640x480_RGB32", BM_DrawImage);
    Register("QPainter_drawImage_640x480_on_ARGB32PM", BM_DrawImageOnArgbSurface);
    Register("memcpy_1.2MB", BM_Memcpy);
    return benchkit::RunBenchmarks(argc, argv);
}
