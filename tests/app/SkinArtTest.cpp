#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>

#include "app/SkinArt.h"
#include "art/Layout.h"
#include "skin/Transit.h"
#include "toolkit/Image.h"
#include "toolkit/WinControl.h"

// The art the window shows must agree with the layout it is built from, at
// every device-pixel ratio: the committed skins (1, 2) and the one painted at
// run time (1.5). A change of the layout without regenerating the art
// (tools/skinart), or art painted off the scaled rectangles, shows here.
namespace {

struct Scale {
    const char* name;
    qreal ratio;
};

// Keeps the ctest names free of the parameter's bytes.
void PrintTo(const Scale& scale, std::ostream* os) {
    *os << scale.name;
}

const Scale kScales[] = {{"Ratio1", 1}, {"Ratio1_5", 1.5}, {"Ratio2", 2}};

std::string ScaleName(const testing::TestParamInfo<Scale>& info) {
    return info.param.name;
}

class Skin : public testing::TestWithParam<Scale> {
  protected:
    qreal ratio = GetParam().ratio;
    QImage skin = SkinPicture(ratio).Image();

    // Grey level at the centre of a logical pixel in window coordinates; the
    // skin is shown where image1 sits, one row below the window's top edge.
    int Grey(int x, int y) const {
        return qGray(skin.pixel(Device(x - layout::kImage1.Left), Device(y - layout::kImage1.Top)));
    }
    int Device(int logical) const { return static_cast<int>(std::floor((logical + 0.5) * ratio)); }
};

TEST_P(Skin, IsA640By480PictureDrawnAtTheRatio) {
    ASSERT_FALSE(skin.isNull());
    EXPECT_EQ(skin.devicePixelRatio(), ratio);
    EXPECT_EQ(skin.size(),
              QSize(qRound(layout::kWindowWidth * ratio), qRound(layout::kWindowHeight * ratio)));
    EXPECT_EQ(SkinPicture(ratio).Width(), layout::kWindowWidth);
    EXPECT_EQ(SkinPicture(ratio).Height(), layout::kWindowHeight);
}

// A raised face fills the hot spot exactly: its lit top and left edges lie on
// the rectangle's first row and column, with the dark groove just outside,
// and its bottom right corner is in shadow.
TEST_P(Skin, PaintedButtonFacesFillTheHotSpots) {
    for (const TRect& r :
         {layout::kBstop, layout::kBnext, layout::kBprev, layout::kBreplay, layout::kBsave,
          layout::kBload, layout::kBhelp, layout::kBsetup, layout::kBlankLeft, layout::kBlankRight,
          layout::kRemove, layout::kCancel, layout::kOk}) {
        SCOPED_TRACE(testing::Message() << "button at " << r.Left << "," << r.Top);
        const int midX = r.Left + r.Width() / 2;
        const int midY = r.Top + r.Height() / 2;
        EXPECT_GT(Grey(midX, r.Top), Grey(midX, r.Top - 1) + 60);
        EXPECT_GT(Grey(r.Left, midY), Grey(r.Left - 1, midY) + 60);
        EXPECT_GT(Grey(r.Left, r.Top), Grey(r.Right - 1, r.Bottom - 1) + 100);
    }
}

TEST_P(Skin, ExitButtonIsRedAtItsCentre) {
    const TRect& r = layout::kBexit;
    const QRgb centre = skin.pixel(Device(r.Left + r.Width() / 2),
                                   Device(r.Top + r.Height() / 2 - layout::kImage1.Top));
    EXPECT_GT(qRed(centre), 2 * qGreen(centre));
}

// Image2 blanks exactly the screen's dark picture area: dark inside, the
// lighter frame right around it.
TEST_P(Skin, ScreenPictureAreaIsExactlyImage2) {
    const TRect& r = layout::kImage2;
    int lightInside = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) lightInside += Grey(x, y) >= 60;
    EXPECT_EQ(lightInside, 0);
    int darkAround = 0;
    for (int x = r.Left - 1; x <= r.Right; ++x)
        darkAround += (Grey(x, r.Top - 1) < 60) + (Grey(x, r.Bottom) < 60);
    for (int y = r.Top; y < r.Bottom; ++y)
        darkAround += (Grey(r.Left - 1, y) < 60) + (Grey(r.Right, y) < 60);
    EXPECT_EQ(darkAround, 0);
}

// Captions drawn by the program over the skin need a plain background: no
// edge runs along them. Each column of a caption's rectangle is one shade.
TEST_P(Skin, CaptionAreasArePlain) {
    const TRect strip{layout::kLd1.Left, layout::kLd1.Top, layout::kLb3.Right, layout::kLb3.Bottom};
    for (const TRect& r : {strip, layout::kLsave, layout::kLload}) {
        SCOPED_TRACE(testing::Message() << "caption area at " << r.Left << "," << r.Top);
        int unevenColumns = 0;
        for (int x = r.Left; x < r.Right; ++x) {
            int lowest = 255;
            int highest = 0;
            for (int y = r.Top; y < r.Bottom; ++y) {
                lowest = std::min(lowest, Grey(x, y));
                highest = std::max(highest, Grey(x, y));
            }
            unevenColumns += highest - lowest > 6;
        }
        EXPECT_EQ(unevenColumns, 0);
    }
}

TEST_P(Skin, BlackPictureIsSolidBlackTwoColour400By300) {
    const TBitmap black = BlackPicture(ratio);
    EXPECT_EQ(QSize(black.Width(), black.Height()), QSize(400, 300));
    EXPECT_TRUE(black.Monochrome());
    const QImage& pixels = black.Image();
    EXPECT_EQ(pixels.size(), QSize(qRound(400 * ratio), qRound(300 * ratio)));
    int notBlack = 0;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x) notBlack += (pixels.pixel(x, y) & 0xFFFFFF) != 0;
    EXPECT_EQ(notBlack, 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, Skin, testing::ValuesIn(kScales), ScaleName);

// A window that comes to a screen of another ratio gets its pictures painted
// for that ratio, and for a ratio it has already, nothing is painted again.
TEST(SkinResolution, PaintsThePicturesAgainForAnotherRatio) {
    TCustomControl window(nullptr);
    auto* skin = new TTransitionEffect(&window);
    auto* black = new TImage(&window);
    skin->SetBitmap(SkinPicture(1));
    TSkinResolution resolution(&window, skin, black, 1);

    resolution.Follow(2);
    for (const TBitmap* picture : {&skin->Bitmap(), &skin->BGBitmap(), &black->Picture()})
        EXPECT_EQ(picture->Image().devicePixelRatio(), 2);
    EXPECT_EQ(skin->Bitmap().Image().size(), QSize(1280, 960));

    const qint64 drawn = skin->Bitmap().Image().cacheKey();
    resolution.Follow(2);
    EXPECT_EQ(skin->Bitmap().Image().cacheKey(), drawn);
}

// The committed pictures keep the 256 colours of the classic skin.
TEST(CommittedSkin, HasAtMost256Colours) {
    for (qreal ratio : {1.0, 2.0, 3.0}) {
        const QImage skin(ratio == 1 ? QStringLiteral(":/skin/skin.png")
                                     : QStringLiteral(":/skin/skin@%1x.png").arg(ratio));
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        EXPECT_EQ(skin.format(), QImage::Format_Indexed8);
        EXPECT_LE(skin.colorCount(), 256);
    }
}

}  // namespace
