#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>

#include "app/Layout.h"

// The committed art must agree with the layout the window is built from: a
// change of either without regenerating the art (tools/skinart) shows here.
namespace {

struct Skin : ::testing::Test {
    QImage skin{QStringLiteral(":/skin/skin.png")};

    // Grey level of the skin at a point in window coordinates; the skin is
    // shown where image1 sits, one row below the window's top edge.
    int Grey(int x, int y) const {
        return qGray(skin.pixel(x - layout::kImage1.Left, y - layout::kImage1.Top));
    }
};

TEST_F(Skin, IsA640By480PictureOf256Colours) {
    ASSERT_FALSE(skin.isNull());
    EXPECT_EQ(skin.size(), QSize(layout::kWindowWidth, layout::kWindowHeight));
    EXPECT_EQ(skin.format(), QImage::Format_Indexed8);
    EXPECT_LE(skin.colorCount(), 256);
}

// A raised face fills the hot spot exactly: its lit top and left edges lie on
// the rectangle's first row and column, with the dark groove just outside,
// and its bottom right corner is in shadow.
TEST_F(Skin, PaintedButtonFacesFillTheHotSpots) {
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

TEST_F(Skin, ExitButtonIsRedAtItsCentre) {
    const QRgb centre =
        skin.pixel(layout::kBexit.Left + layout::kBexit.Width() / 2,
                   layout::kBexit.Top + layout::kBexit.Height() / 2 - layout::kImage1.Top);
    EXPECT_GT(qRed(centre), 2 * qGreen(centre));
}

// Image2 blanks exactly the screen's dark picture area: dark inside, the
// lighter frame right around it.
TEST_F(Skin, ScreenPictureAreaIsExactlyImage2) {
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
TEST_F(Skin, CaptionAreasArePlain) {
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

TEST(BlackPicture, IsASolidBlackTwoColourPictureOf400By300) {
    const QImage black(QStringLiteral(":/skin/black.png"));
    ASSERT_FALSE(black.isNull());
    EXPECT_EQ(black.size(), QSize(400, 300));
    EXPECT_EQ(black.depth(), 1);
    const QImage rgb = black.convertToFormat(QImage::Format_RGB32);
    int notBlack = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) notBlack += (rgb.pixel(x, y) & 0xFFFFFF) != 0;
    EXPECT_EQ(notBlack, 0);
}

}  // namespace
