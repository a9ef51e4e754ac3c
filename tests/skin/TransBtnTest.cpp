#include <gtest/gtest.h>

#include <QPainter>
#include <vector>

#include "skin/TransBtn.h"
#include "support/CaseName.h"
#include "support/Pictures.h"
#include "support/ShownMessages.h"
#include "support/WidgetTesting.h"

namespace {

constexpr QPoint kOrigin{20, 30};

struct ButtonOnHost : ::testing::Test {
    TestHost host;
    TTransparentButton* button = new TTransparentButton(&host);
    int clicks = 0;
    std::vector<std::uint8_t> downSeen;

    ButtonOnHost() {
        button->SetBounds(kOrigin.x(), kOrigin.y(), 40, 30);
        button->OnClick = [this](TObject*) { ++clicks; };
        button->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
            downSeen.push_back(button->Down());
        };
        ProcessEvents();
    }
    QPoint Inside() const { return kOrigin + QPoint(10, 10); }
    QPoint Outside() const { return kOrigin + QPoint(100, 10); }
};

TEST_F(ButtonOnHost, PressMoveOutMoveInReleaseGivesOneClick) {
    PressAt(&host, Inside());
    EXPECT_EQ(button->Down(), 1);
    EXPECT_TRUE(button->Tracking());
    MoveTo(&host, Outside());
    EXPECT_EQ(button->Down(), 0);
    MoveTo(&host, Inside());
    EXPECT_EQ(button->Down(), 1);
    ReleaseAt(&host, Inside());
    EXPECT_EQ(button->Down(), 0);
    EXPECT_FALSE(button->Tracking());
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonOnHost, ReleaseOutsideGivesNoClickAndKeepsDown) {
    PressAt(&host, Inside());
    ReleaseAt(&host, Outside());
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button->Tracking());
    // The move to the release point came first and already raised it.
    EXPECT_EQ(button->Down(), 0);
}

TEST_F(ButtonOnHost, RightButtonClickFiresOnClick) {
    ClickAt(&host, Inside(), Qt::RightButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonOnHost, RightButtonReleasedOverAnotherButtonClicksThatOne) {
    auto* other = new TTransparentButton(&host);
    other->SetBounds(kOrigin.x() + 60, kOrigin.y(), 40, 30);
    int otherClicks = 0;
    other->OnClick = [&](TObject*) { ++otherClicks; };
    PressAt(&host, Inside(), Qt::RightButton);
    ReleaseAt(&host, kOrigin + QPoint(70, 10), Qt::RightButton);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(otherClicks, 1);
    EXPECT_TRUE(button->Tracking());
}

TEST_F(ButtonOnHost, DoubleClickFiresOnClickTwice) {
    DoubleClickAt(&host, Inside());
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonOnHost, DisabledWhilePressedGetsReleaseButNoClick) {
    PressAt(&host, Inside());
    button->SetEnabled(false);
    ReleaseAt(&host, Inside());
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button->Tracking());
    EXPECT_EQ(button->Down(), 1);
}

TEST_F(ButtonOnHost, DisabledOrHiddenButtonLetsInputThroughToTheControlBeneath) {
    auto* beneath = new TTransparentButton(&host);
    beneath->SetBounds(kOrigin.x(), kOrigin.y(), 40, 30);
    button->BringToFront();
    int beneathClicks = 0;
    beneath->OnClick = [&](TObject*) { ++beneathClicks; };

    ClickAt(&host, Inside());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(beneathClicks, 0);

    button->SetEnabled(false);
    ClickAt(&host, Inside());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downSeen.size(), 1u);
    EXPECT_EQ(beneathClicks, 1);

    button->SetEnabled(true);
    button->Hide();
    ClickAt(&host, Inside());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(beneathClicks, 2);
}

TEST_F(ButtonOnHost, MoveWithoutPressOnlyFiresMouseMove) {
    int moves = 0;
    MoveTo(&host, Outside());
    button->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++moves; };
    MoveTo(&host, Inside());
    EXPECT_GE(moves, 1);
    EXPECT_EQ(button->Down(), 0);
    EXPECT_FALSE(button->Tracking());
}

TEST_F(ButtonOnHost, EnterAndLeaveFireTheirEvents) {
    std::vector<QString> events;
    button->OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
    button->OnMouseExit = [&](TObject*) { events.push_back("exit"); };
    MoveTo(&host, Outside());
    events.clear();
    MoveTo(&host, Inside());
    MoveTo(&host, Outside());
    EXPECT_EQ(events, (std::vector<QString>{"enter", "exit"}));
}

TEST_F(ButtonOnHost, ClickHandlerThatFailsLeavesNoPressBehind) {
    button->OnClick = [](TObject*) { throw std::runtime_error("boom"); };
    ShownMessages shown;
    ClickAt(&host, Inside());
    ProcessEvents();
    EXPECT_EQ(shown, QStringList{"boom"});
    EXPECT_FALSE(button->Tracking());
    MoveTo(&host, Inside() + QPoint(1, 1));
    EXPECT_EQ(button->Down(), 0);
}

TEST(TransparentButton, DefaultConstruction) {
    TTransparentButton button(nullptr);
    EXPECT_EQ(button.Width(), 40);
    EXPECT_EQ(button.Height(), 40);
    EXPECT_EQ(button.FrameStyle(), fsRegular);
    EXPECT_EQ(button.BorderWidth(), 1);
    EXPECT_EQ(button.NumGlyphs(), 1);
    EXPECT_EQ(button.Spacing(), 4);
    EXPECT_EQ(button.TextAlign(), ttaCenter);
    EXPECT_TRUE(button.Transparent());
    EXPECT_TRUE(button.ShowPressed());
    EXPECT_TRUE(button.Caption().isEmpty());
    EXPECT_TRUE(button.Glyph().Empty());
    EXPECT_EQ(static_cast<int>(fsNone), 2);
    EXPECT_EQ(static_cast<int>(ttaCenter), 8);
}

struct GlyphCut {
    int width;
    int height;
    int numGlyphs;
    int cellWidth;
};

class GlyphCutting : public ::testing::TestWithParam<GlyphCut> {};

TEST_P(GlyphCutting, CellCountFollowsTheStripShape) {
    const GlyphCut c = GetParam();
    TTransparentButton button(nullptr);
    button.SetNumGlyphs(2);
    button.SetGlyph(Solid(c.width, c.height, Qt::red));
    EXPECT_EQ(button.NumGlyphs(), c.numGlyphs);
    ASSERT_NE(button.GlyphList(), nullptr);
    EXPECT_EQ(button.GlyphList()->Width(), c.cellWidth);
    EXPECT_EQ(button.GlyphList()->Count(), c.numGlyphs);
}

INSTANTIATE_TEST_SUITE_P(Strips, GlyphCutting,
                         ::testing::Values(GlyphCut{64, 16, 4, 16}, GlyphCut{80, 16, 1, 80},
                                           GlyphCut{50, 16, 2, 25}, GlyphCut{16, 16, 1, 16},
                                           GlyphCut{32, 16, 2, 16}),
                         [](const testing::TestParamInfo<GlyphCut>& info) {
                             return "Strip" + std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

TEST(TransparentButton, EmptyGlyphKeepsNumGlyphs) {
    TTransparentButton button(nullptr);
    button.SetNumGlyphs(3);
    button.SetGlyph(TBitmap());
    EXPECT_EQ(button.NumGlyphs(), 3);
    EXPECT_TRUE(button.Glyph().Empty());
}

}  // namespace
