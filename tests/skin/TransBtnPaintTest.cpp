#include <gtest/gtest.h>

#include <QPainter>

#include "skin/TransBtn.h"
#include "support/CaseName.h"
#include "support/Pictures.h"
#include "support/WidgetTesting.h"

namespace {

constexpr QPoint kOrigin{20, 30};
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kShadow = 0x808080;
constexpr QRgb kFace = 0xC0C0C0;
constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kGreen = 0x00FF00;
constexpr QRgb kBlue = 0x0000FF;

struct Painted : ::testing::Test {
    TestHost host;
    TTransparentButton* button = new TTransparentButton(&host);

    Painted() { button->SetBounds(kOrigin.x(), kOrigin.y(), 40, 30); }

    // Colour of pixel (x, y) of the button, read from the window.
    QRgb At(const QImage& shot, int x, int y) const {
        return shot.pixel(kOrigin.x() + x, kOrigin.y() + y) & 0xFFFFFF;
    }
    QRgb Host(int x, int y) {
        button->Hide();
        const QRgb rgb = host.Snapshot().pixel(kOrigin.x() + x, kOrigin.y() + y) & 0xFFFFFF;
        button->Show();
        return rgb;
    }
    QImage Pressed() {
        PressAt(&host, kOrigin + QPoint(20, 15));
        return host.Snapshot();
    }
};

TEST_F(Painted, RaisedRegularFrameOfOneLine) {
    const QImage shot = host.Snapshot();
    ExpectPixels(shot, kOrigin,
                 {{1, 1, kWhite},
                  {1, 27, kWhite},
                  {1, 28, kShadow},
                  {37, 1, kWhite},
                  {38, 5, kShadow},
                  {20, 28, kShadow},
                  {1, 29, kBlack},
                  {39, 1, kBlack},
                  {20, 29, kBlack}});
    EXPECT_EQ(At(shot, 0, 0), Host(0, 0));
    EXPECT_EQ(At(shot, 20, 15), Host(20, 15));
}

TEST_F(Painted, PressedRegularFrameOfOneLine) {
    const QImage shot = Pressed();
    ExpectPixels(shot, kOrigin,
                 {{0, 0, kBlack},
                  {0, 28, kBlack},
                  {0, 29, kWhite},
                  {39, 15, kWhite},
                  {20, 29, kWhite},
                  {1, 10, kShadow},
                  {38, 10, kFace},
                  {20, 28, kFace}});
}

TEST_F(Painted, RaisedRegularFrameOfTwoLines) {
    button->SetBorderWidth(2);
    const QImage shot = host.Snapshot();
    ExpectPixels(shot, kOrigin,
                 {{1, 10, kWhite},
                  {2, 10, kWhite},
                  {37, 10, kShadow},
                  {38, 10, kShadow},
                  {39, 10, kBlack},
                  {20, 29, kBlack},
                  {20, 28, kShadow},
                  {20, 27, kShadow}});
}

TEST_F(Painted, PressedRegularFrameOfTwoLines) {
    button->SetBorderWidth(2);
    const QImage shot = Pressed();
    ExpectPixels(shot, kOrigin,
                 {{0, 10, kBlack},
                  {1, 10, kBlack},
                  {2, 10, kShadow},
                  {3, 10, kShadow},
                  {39, 10, kWhite},
                  {38, 10, kWhite},
                  {37, 10, kFace},
                  {36, 10, kFace},
                  {20, 27, kFace}});
}

TEST_F(Painted, IndentFrame) {
    button->SetFrameStyle(fsIndent);
    const QImage shot = host.Snapshot();
    ExpectPixels(shot, kOrigin,
                 {{0, 10, kShadow},
                  {1, 10, kWhite},
                  {38, 10, kShadow},
                  {39, 10, kWhite},
                  {20, 29, kWhite},
                  {20, 28, kShadow}});
}

TEST_F(Painted, OpaqueRegularButtonFillsItsFace) {
    button->SetTransparent(false);
    const QImage shot = host.Snapshot();
    ExpectPixels(shot, kOrigin, {{20, 15, kFace}, {39, 10, kBlack}, {1, 1, kWhite}});
    EXPECT_EQ(At(shot, 0, 0), Host(0, 0));
}

TEST_F(Painted, OpaqueNoneButtonIsAFaceColouredBlock) {
    button->SetFrameStyle(fsNone);
    button->SetTransparent(false);
    const QImage shot = host.Snapshot();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(At(shot, x, y), kFace) << x << "," << y;
}

TEST_F(Painted, TransparentNoneButtonLeavesEveryParentPixelInEveryState) {
    button->SetFrameStyle(fsNone);
    button->Hide();
    const QImage without = host.Snapshot();
    button->Show();
    EXPECT_EQ(host.Snapshot(), without);
    EXPECT_EQ(Pressed(), without);
    button->SetEnabled(false);
    EXPECT_EQ(host.Snapshot(), without);
}

// A strip of four 16x16 cells, each a square of its own colour inside a
// magenta border; the bottom-left pixel makes magenta the transparent colour.
TBitmap FourCellStrip() {
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    QImage strip(64, 16, QImage::Format_RGB32);
    strip.fill(Qt::magenta);
    QPainter p(&strip);
    for (int i = 0; i < 4; ++i) p.fillRect(i * 16 + 1, 1, 14, 14, colours[i]);
    p.end();
    return BitmapOf(strip);
}

TEST_F(Painted, GlyphCellFollowsTheState) {
    button->SetFrameStyle(fsNone);
    button->SetGlyph(FourCellStrip());
    ASSERT_EQ(button->NumGlyphs(), 4);
    // 40x30 button, 16x16 cell: placed at (12, 7); its border is see-through.
    const QImage up = host.Snapshot();
    EXPECT_EQ(At(up, 20, 15), kRed);
    EXPECT_EQ(At(up, 12, 7), Host(12, 7));
    const QImage down = Pressed();
    EXPECT_EQ(At(down, 21, 16), kBlue);
    EXPECT_EQ(At(down, 12, 7), Host(12, 7));
    ReleaseAt(&host, kOrigin + QPoint(20, 15));
    button->SetEnabled(false);
    EXPECT_EQ(At(host.Snapshot(), 20, 15), kGreen);
}

TEST_F(Painted, OpaqueGlyphShowsItsMaskInFaceColour) {
    button->SetFrameStyle(fsNone);
    button->SetTransparent(false);
    button->SetGlyph(FourCellStrip());
    const QImage shot = host.Snapshot();
    EXPECT_EQ(At(shot, 12, 7), kFace);
    EXPECT_EQ(At(shot, 20, 15), kRed);
}

// The bounding box of the caption's black pixels on an opaque face.
QRect CaptionBox(TestHost& host, TTransparentButton* button) {
    const QImage shot = host.Snapshot();
    QRect box;
    for (int y = 0; y < button->Height(); ++y)
        for (int x = 0; x < button->Width(); ++x)
            if ((shot.pixel(button->Left() + x, button->Top() + y) & 0xFFFFFF) == 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

struct CaptionCase {
    TTextAlign align;
    int horizontal;  // -1 left, 0 centre, 1 right
    int vertical;    // -1 top, 0 centre, 1 bottom
};

class CaptionPlacement : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionPlacement, FollowsTheAlignment) {
    const CaptionCase c = GetParam();
    TestHost host(200, 150, false);
    auto* button = new TTransparentButton(&host);
    button->SetBounds(10, 10, 120, 80);
    button->SetFrameStyle(fsNone);
    button->SetTransparent(false);
    button->SetCaption(QStringLiteral("Wg"));
    button->SetTextAlign(c.align);
    const QRect box = CaptionBox(host, button);
    ASSERT_FALSE(box.isEmpty());
    // The caption area is the button inset by 8 on every side.
    const int left = box.left() - 8, right = 112 - 1 - box.right();
    const int top = box.top() - 8, bottom = 72 - 1 - box.bottom();
    auto side = [](int before, int after) {
        return before < after - 4 ? -1 : after < before - 4 ? 1 : 0;
    };
    EXPECT_EQ(side(left, right), c.horizontal) << left << " " << right;
    EXPECT_EQ(side(top, bottom), c.vertical) << top << " " << bottom;
}

std::string AlignmentName(const testing::TestParamInfo<CaptionCase>& info) {
    static const char* const kAlign[] = {"TopLeft",    "Top",         "TopRight",
                                         "Right",      "BottomRight", "Bottom",
                                         "BottomLeft", "Left",        "Center"};
    return kAlign[info.param.align];
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, CaptionPlacement,
    ::testing::Values(CaptionCase{ttaTopLeft, -1, -1}, CaptionCase{ttaTop, 0, -1},
                      CaptionCase{ttaTopRight, 1, -1}, CaptionCase{ttaRight, 1, 0},
                      CaptionCase{ttaBottomRight, 1, 1}, CaptionCase{ttaBottom, 0, 1},
                      CaptionCase{ttaBottomLeft, -1, 1}, CaptionCase{ttaLeft, -1, 0},
                      CaptionCase{ttaCenter, 0, 0}),
    AlignmentName);

}  // namespace
