// Cost of painting a skin hot spot (frameless, transparent: should be next to
// nothing) beside a framed 40x40 button with a four-cell glyph and a caption.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>

#include "kit/Run.h"
#include "skin/TransBtn.h"
#include "toolkit/WinControl.h"

namespace {

TBitmap FourCellGlyph() {
    QImage strip(64, 16, QImage::Format_RGB32);
    strip.fill(Qt::magenta);
    QPainter p(&strip);
    for (int i = 0; i < 4; ++i)
        p.fillRect(i * 16 + 2, 2, 12, 12, QColor::fromHsv(i * 90, 255, 255));
    p.end();
    TBitmap glyph;
    glyph.SetImage(strip);
    return glyph;
}

void PaintRepeatedly(benchmark::State& state, TTransparentButton& button) {
    QImage target(button.Width(), button.Height(), QImage::Format_RGB32);
    for (auto _ : state) {
        button.render(&target, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(target.bits());
    }
}

void BM_PaintHotSpot(benchmark::State& state) {
    TCustomControl host(nullptr);
    TTransparentButton button(&host);
    button.SetFrameStyle(fsNone);
    PaintRepeatedly(state, button);
}
BENCHMARK(BM_PaintHotSpot)->Repetitions(benchkit::Runs(10))->ReportAggregatesOnly(true);

void BM_PaintFramedGlyphCaption(benchmark::State& state) {
    TCustomControl host(nullptr);
    TTransparentButton button(&host);
    button.SetGlyph(FourCellGlyph());
    button.SetCaption(QStringLiteral("Go"));
    button.SetTextAlign(ttaBottom);
    PaintRepeatedly(state, button);
}
BENCHMARK(BM_PaintFramedGlyphCaption)->Repetitions(benchkit::Runs(10))->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return benchkit::RunBenchmarks(argc, argv);
}
