#include <gtest/gtest.h>

#include "support/CaseName.h"
#include "support/Pictures.h"
#include "toolkit/Bitmap.h"
#include "toolkit/ImageList.h"
#include "toolkit/Types.h"

namespace {

struct PointCase {
    TPoint p;
    bool inside;
};

class PtInRectRule : public ::testing::TestWithParam<PointCase> {};

TEST_P(PtInRectRule, RightAndBottomAreExclusive) {
    EXPECT_EQ(PtInRect({0, 0, 40, 30}, GetParam().p), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(Edges, PtInRectRule,
                         ::testing::Values(PointCase{{0, 0}, true}, PointCase{{39, 29}, true},
                                           PointCase{{40, 10}, false}, PointCase{{10, 30}, false},
                                           PointCase{{-1, 0}, false}, PointCase{{0, -1}, false}),
                         [](const testing::TestParamInfo<PointCase>& info) {
                             const TPoint p = info.param.p;
                             return CaseName("x" + std::to_string(p.X) + "y" + std::to_string(p.Y));
                         });

TEST(Geometry, InflateAndOffset) {
    TRect r{1, 1, 39, 29};
    InflateRect(r, 1, 1);
    EXPECT_EQ(r, (TRect{0, 0, 40, 30}));
    InflateRect(r, -7, -7);
    OffsetRect(r, 1, 1);
    EXPECT_EQ(r, (TRect{8, 8, 34, 24}));
}

TEST(Bitmap, AssignmentCopiesPixelsAndRaisesTheChangeNotice) {
    TBitmap source;
    source.SetImage(Filled(4, 3, Qt::red));
    TBitmap copy;
    int changes = 0;
    copy.OnChange = [&](TObject*) { ++changes; };
    copy = source;
    EXPECT_EQ(changes, 1);
    source.Canvas().Brush().Color = clBlue;
    source.Canvas().FillRect({0, 0, 4, 3});
    EXPECT_EQ(copy.Image().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(source.Image().pixelColor(0, 0), QColor(Qt::blue));
}

TEST(Bitmap, DrawingOnItsCanvasRaisesTheChangeNotice) {
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    int changes = 0;
    bitmap.OnChange = [&](TObject*) { ++changes; };
    bitmap.Canvas().FillRect({0, 0, 2, 2});
    EXPECT_EQ(changes, 1);
}

TEST(Bitmap, TransparentColourIsTheBottomLeftPixelOrWhiteWhenMonochrome) {
    QImage image = Filled(3, 3, Qt::blue);
    image.setPixelColor(0, 2, Qt::green);
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetImage(image);
    EXPECT_FALSE(bitmap.Empty());
    EXPECT_EQ(bitmap.TransparentColor(), clLime);

    QImage mono(8, 8, QImage::Format_Mono);
    mono.fill(0);
    bitmap.SetImage(mono);
    EXPECT_TRUE(bitmap.Monochrome());
    EXPECT_EQ(bitmap.TransparentColor(), clWhite);
}

// One bit a pixel while it is only shown; drawing on it takes it to 32 bits.
TEST(Bitmap, AMonochromePictureStaysAtOneBitUntilDrawnOn) {
    QImage mono(8, 8, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    TBitmap bitmap;
    bitmap.SetImage(mono);
    EXPECT_EQ(bitmap.Image().depth(), 1);
    bitmap.Canvas().Brush().Color = clRed;
    bitmap.Canvas().FillRect({0, 0, 4, 4});
    EXPECT_EQ(bitmap.Image().depth(), 32);
    ExpectPixels(bitmap.Image(), {{1, 1, Qt::red}, {6, 6, Qt::black}});
}

TEST(ImageList, MaskedCellsDrawTransparentOrOnTheBackground) {
    QImage strip = Filled(4, 2, Qt::magenta);
    strip.setPixelColor(1, 0, Qt::red);
    strip.setPixelColor(3, 0, Qt::blue);
    TBitmap bitmap;
    bitmap.SetImage(strip);
    TImageList list(2, 2);
    EXPECT_EQ(list.AddMasked(bitmap, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);

    TBitmap target;
    target.SetImage(Filled(2, 2, Qt::yellow));
    list.Draw(target.Canvas(), 0, 0, 1, ILD_TRANSPARENT, clNone);
    ExpectPixels(target.Image(), {{1, 0, Qt::blue}, {0, 0, Qt::yellow}});

    list.Draw(target.Canvas(), 0, 0, 0, ILD_NORMAL, clSilver);
    ExpectPixels(target.Image(), {{1, 0, Qt::red}, {0, 0, QColor(192, 192, 192)}});
}

TEST(Canvas, ThinLinesLeaveOutTheirLastPixel) {
    TBitmap bitmap;
    bitmap.SetImage(Filled(5, 5, Qt::white));
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen().Color = clBlack;
    canvas.Polyline({{0, 0}, {4, 0}, {4, 4}});
    const QImage& image = bitmap.Image();
    ExpectPixels(image,
                 {{3, 0, Qt::black}, {4, 0, Qt::black}, {4, 3, Qt::black}, {4, 4, Qt::white}});
}

TEST(Canvas, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    TBitmap bitmap;
    bitmap.SetImage(Filled(6, 6, Qt::white));
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen().Color = clBlack;
    canvas.Brush().Color = clRed;
    canvas.Rectangle(1, 1, 5, 5);
    const QImage& image = bitmap.Image();
    ExpectPixels(image, {{1, 1, Qt::black}, {4, 4, Qt::black}, {2, 2, Qt::red}, {3, 3, Qt::red}});
    ExpectPixels(image, {{5, 5, Qt::white}, {0, 0, Qt::white}});
}

TEST(Canvas, DrawTextMeasuresWithCalcRectAndHonoursThePrefixFlag) {
    TBitmap bitmap;
    bitmap.SetSize(200, 40);
    TCanvas& canvas = bitmap.Canvas();
    TRect withPrefix{0, 0, 200, 40}, withoutPrefix{0, 0, 200, 40};
    canvas.DrawText("A&&B", withPrefix, DT_CALCRECT | DT_SINGLELINE);
    canvas.DrawText("A&&B", withoutPrefix, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_LT(withPrefix.Width(), withoutPrefix.Width());
    EXPECT_EQ(withPrefix.Height(), canvas.TextHeight("A"));
}

}  // namespace

namespace {

TEST(Canvas, WordBreakingBreaksAtBlanksOnlyAndKeepsLongWordsWhole) {
    TBitmap bitmap;
    bitmap.SetSize(100, 100);
    TCanvas& canvas = bitmap.Canvas();
    const int line = canvas.TextHeight("A");
    TRect path{0, 0, 40, 100};
    canvas.DrawText("C:\\work\\clips\\folder", path, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(path.Height(), line);
    TRect words{0, 0, canvas.TextWidth("word") + 2, 100};
    canvas.DrawText("word word word", words, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(words.Height(), 3 * line);
    TRect lines{0, 0, 100, 100};
    canvas.DrawText("one\ntwo", lines, DT_CALCRECT);
    EXPECT_EQ(lines.Height(), 2 * line);
}

}  // namespace
