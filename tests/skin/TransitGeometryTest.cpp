#include <gtest/gtest.h>

#include <ostream>

#include "skin/TransitGeometry.h"

void PrintTo(const TRect& r, std::ostream* os) {
    *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}

namespace {

constexpr int kW = 640;
constexpr int kH = 480;

float StepOf(int size, int steps) {
    return static_cast<float>(double(size) / steps);
}

bool IsPush(TTETransition t) {
    return t >= PushFromBottom && t <= PushFromTop;
}

bool OutsideControl(const TRect& r, int w, int h) {
    return r.Width() <= 0 || r.Height() <= 0 || r.Right <= 0 || r.Bottom <= 0 || r.Left >= w ||
           r.Top >= h;
}

struct FrameCase {
    const char* name;
    TTETransition transition;
    int k;
    int steps;
    TRect picture;
    std::optional<TRect> companion;
};

class FrameTable : public testing::TestWithParam<FrameCase> {};

TEST_P(FrameTable, GivesTheExpectedRectangles) {
    const FrameCase& c = GetParam();
    const TFrameRects f =
        FrameRects(c.transition, c.k, kW, kH, StepOf(kW, c.steps), StepOf(kH, c.steps));
    EXPECT_EQ(f.Picture, c.picture);
    EXPECT_EQ(f.Companion, c.companion);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, FrameTable,
    testing::Values(
        FrameCase{"BottomRightFrame1", StretchFromBottomRight, 1, 5, {512, 384, 640, 480}, {}},
        FrameCase{"XcenterFrame1", StretchFromXcenter, 1, 5, {256, 0, 384, 480}, {}},
        FrameCase{"YcenterFrame1", StretchFromYcenter, 1, 5, {0, 192, 640, 288}, {}},
        FrameCase{"ZoomFrame1", Zoom, 1, 5, {256, 192, 384, 288}, {}},
        FrameCase{"SlideFromBottomFrame1", SlideFromBottom, 1, 5, {0, 384, 640, 864}, {}},
        FrameCase{
            "PushFromLeftFrame1", PushFromLeft, 1, 5, {-512, 0, 128, 480}, TRect{128, 0, 768, 480}},
        FrameCase{
            "PushFromTopFrame1", PushFromTop, 1, 5, {0, -384, 640, 96}, TRect{0, 96, 640, 576}},
        FrameCase{"PushFromRightFrame1",
                  PushFromRight,
                  1,
                  5,
                  {512, 0, 1152, 480},
                  TRect{-128, 0, 512, 480}},
        FrameCase{"PushFromBottomFrame1",
                  PushFromBottom,
                  1,
                  5,
                  {0, 384, 640, 864},
                  TRect{0, -96, 640, 384}},
        FrameCase{"BottomRightFrame0", StretchFromBottomRight, 0, 5, {640, 480, 640, 480}, {}},
        FrameCase{"PushFromBottomFrame0",
                  PushFromBottom,
                  0,
                  5,
                  {0, 480, 640, 960},
                  TRect{0, 0, 640, 480}},
        // 640 / 3 as a float lies just below the quotient: the last column stays.
        FrameCase{"StretchFromLeftThirds", StretchFromLeft, 3, 3, {0, 0, 639, 480}, {}},
        FrameCase{"SlideFromLeftThirds", SlideFromLeft, 3, 3, {0, 0, 639, 480}, {}},
        // 640 / 7 as a float lies just above it: ox falls short, rx truncates to 0.
        FrameCase{"SlideFromRightSevenths", SlideFromRight, 7, 7, {0, 0, 639, 480}, {}},
        FrameCase{"StretchFromLeftSevenths", StretchFromLeft, 7, 7, {0, 0, 640, 480}, {}},
        // Negative terms truncate toward zero: -548.57 gives -548.
        FrameCase{"SlideFromLeftSeventhsFrame1", SlideFromLeft, 1, 7, {-548, 0, 91, 480}, {}},
        // Each centred term is truncated on its own before the sum.
        FrameCase{"XcenterSeventhsFrame1", StretchFromXcenter, 1, 7, {274, 0, 365, 480}, {}},
        FrameCase{"ZoomSeventhsFrame3", Zoom, 3, 7, {182, 137, 456, 342}, {}}),
    [](const testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

class EveryStyle : public testing::TestWithParam<int> {
  protected:
    TTETransition Style() const { return static_cast<TTETransition>(GetParam()); }
};

TEST_P(EveryStyle, LastFrameCoversTheControlAndPushesTheCompanionOut) {
    const TFrameRects f = FrameRects(Style(), 5, kW, kH, 128.0f, 96.0f);
    EXPECT_EQ(f.Picture, (TRect{0, 0, kW, kH}));
    EXPECT_EQ(f.Companion.has_value(), IsPush(Style()));
    if (f.Companion) {
        EXPECT_TRUE(OutsideControl(*f.Companion, kW, kH));
        EXPECT_EQ(f.Companion->Width(), kW);
        EXPECT_EQ(f.Companion->Height(), kH);
    }
}

TEST_P(EveryStyle, FrameZeroShowsNoPictureButPushesRedrawTheBackground) {
    const TFrameRects f = FrameRects(Style(), 0, kW, kH, 128.0f, 96.0f);
    EXPECT_TRUE(OutsideControl(f.Picture, kW, kH));
    if (f.Companion) {
        EXPECT_EQ(*f.Companion, (TRect{0, 0, kW, kH}));
    }
}

class PushStyle : public EveryStyle {};

TEST_P(PushStyle, CompanionAbutsThePictureOnEveryFrame) {
    for (int k = 0; k <= 7; ++k) {
        const TFrameRects f = FrameRects(Style(), k, kW, kH, StepOf(kW, 7), StepOf(kH, 7));
        const TRect& p = f.Picture;
        const TRect& c = *f.Companion;
        const bool abuts =
            c.Right == p.Left || c.Left == p.Right || c.Bottom == p.Top || c.Top == p.Bottom;
        EXPECT_TRUE(abuts) << "frame " << k;
    }
}

TEST_P(EveryStyle, ZeroSizeGivesEmptyRectangles) {
    for (int k = 0; k <= 5; ++k) {
        const TFrameRects wide = FrameRects(Style(), k, 0, kH, 0.0f, 96.0f);
        EXPECT_EQ(wide.Picture.Width(), 0) << "frame " << k;
        if (wide.Companion) {
            EXPECT_EQ(wide.Companion->Width(), 0);
        }
        const TFrameRects high = FrameRects(Style(), k, kW, 0, 128.0f, 0.0f);
        EXPECT_EQ(high.Picture.Height(), 0) << "frame " << k;
        if (high.Companion) {
            EXPECT_EQ(high.Companion->Height(), 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllNineteen, EveryStyle, testing::Range(0, 19));
INSTANTIATE_TEST_SUITE_P(AllFour, PushStyle,
                         testing::Range(int(PushFromBottom), int(PushFromTop) + 1));

TEST(FrameRectsInput, AbsurdStepSizesNeitherOverflowNorFail) {
    const TFrameRects f = FrameRects(Zoom, 1 << 20, kW, kH, 1e30f, -1e30f);
    EXPECT_LE(f.Picture.Left, f.Picture.Right);
    const TFrameRects none = FrameRects(static_cast<TTETransition>(19), 1, kW, kH, 1, 1);
    EXPECT_EQ(none.Picture.Width(), 0);
}

}  // namespace
