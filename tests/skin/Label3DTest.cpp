#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <memory>
#include <ostream>

#include "skin/Label3D.h"
#include "support/CaseName.h"
#include "support/Pictures.h"
#include "toolkit/WinControl.h"

namespace {

constexpr QRgb kParent = 0xFF2060A0;
constexpr QRgb kText = 0xFF000000;
constexpr QRgb kLight = 0xFFFFFFFF;  // button highlight
constexpr QRgb kDark = 0xFF808080;   // button shadow
constexpr QRgb kGrey = 0xFF808080;   // grey text

constexpr QRgb kNone = 0;  // no copy there

struct CopyCase {
    TCaptionStyle style;
    QRgb belowRight;  // copy at (+1, +1), drawn first
    QRgb aboveLeft;   // copy at (-1, -1), drawn second
};

void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << "style " << int(c.style);
}

class Label3DTest : public testing::Test {
  protected:
    void SetUp() override {
        form_ = std::make_unique<TCustomControl>(nullptr);
        form_->SetColor(QColorToColor(QColor::fromRgb(kParent)));
        form_->SetBounds(0, 0, 640, 480);
        label_ = new TLabel3D(form_.get());
        label_->SetAutoSize(false);
        label_->SetBounds(20, 30, 120, 60);
        label_->SetTransparent(true);
        TFont font = label_->Font();
        font.Color = clBlack;
        font.Height = -16;
        label_->SetFont(font);
        label_->SetCaption(QStringLiteral("Hello brave new world"));
        form_->show();
    }

    QImage Render() {
        QCoreApplication::processEvents();
        return form_->grab().toImage().copy(label_->BoundsRect().ToQRect());
    }

    // The caption's own pixels: the plain text drawn in black.
    QImage TextMask() {
        label_->SetCaptionStyle(csNone);
        const bool enabled = label_->Enabled();
        label_->SetEnabled(true);
        const QImage plain = Render();
        label_->SetEnabled(enabled);
        return plain;
    }

    std::unique_ptr<TCustomControl> form_;
    TLabel3D* label_ = nullptr;  // owned by form_
};

bool InText(const QImage& mask, int x, int y) {
    return mask.rect().contains(x, y) && mask.pixel(x, y) == kText;
}

class Label3DCopies : public Label3DTest,
                      public testing::WithParamInterface<std::tuple<CopyCase, bool>> {};

// Every pixel of the label: the text over the (-1, -1) copy over the (+1, +1)
// copy over the background, each copy the text shifted by one pixel.
TEST_P(Label3DCopies, DrawTheTextOverItsShiftedCopiesPixelByPixel) {
    const auto [c, enabled] = GetParam();
    const QImage mask = TextMask();
    label_->SetEnabled(enabled);
    label_->SetCaptionStyle(c.style);
    const QImage drawn = Render();
    int textPixels = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            QRgb expected = kParent;
            if (InText(mask, x, y)) {
                expected = enabled ? kText : kGrey;
                ++textPixels;
            } else if (c.aboveLeft != kNone && InText(mask, x + 1, y + 1)) {
                expected = c.aboveLeft;
            } else if (c.belowRight != kNone && InText(mask, x - 1, y - 1)) {
                expected = c.belowRight;
            }
            ASSERT_EQ(drawn.pixel(x, y), expected) << "at " << x << "," << y;
        }
    }
    EXPECT_GT(textPixels, 50);
}

std::string StyleName(const testing::TestParamInfo<std::tuple<CopyCase, bool>>& info) {
    static const char* const kStyle[] = {"None", "Raised", "HeavyRaised", "Recessed",
                                         "HeavyRecessed"};
    return std::string(kStyle[std::get<0>(info.param).style]) +
           (std::get<1>(info.param) ? "Enabled" : "Disabled");
}

INSTANTIATE_TEST_SUITE_P(FiveStyles, Label3DCopies,
                         testing::Combine(testing::Values(CopyCase{csNone, kNone, kNone},
                                                          CopyCase{csRaised, kNone, kLight},
                                                          CopyCase{csHeavyRaised, kDark, kLight},
                                                          CopyCase{csRecessed, kLight, kNone},
                                                          CopyCase{csHeavyRecessed, kLight, kDark}),
                                          testing::Bool()),
                         StyleName);

TEST_F(Label3DTest, ConstructsRecessedAt62By16) {
    TLabel3D label(nullptr);
    EXPECT_EQ(label.CaptionStyle(), csRecessed);
    EXPECT_EQ(label.Width(), 62);
    EXPECT_EQ(label.Height(), 16);
    EXPECT_TRUE(label.AutoSize());
    EXPECT_TRUE(label.ShowAccelChar());
    EXPECT_FALSE(label.WordWrap());
}

TEST_F(Label3DTest, AnOpaqueLabelFillsItsColourUnderTheCopies) {
    label_->SetTransparent(false);
    label_->SetColor(clBtnFace);
    label_->SetCaptionStyle(csNone);
    const QImage drawn = Render();
    ExpectPixels(drawn, {{119, 59, 0xFFC0C0C0u}, {0, 59, 0xFFC0C0C0u}});
}

TEST_F(Label3DTest, BreaksWordsWhateverWordWrapSays) {
    label_->SetCaptionStyle(csNone);
    label_->SetWordWrap(false);
    const QImage drawn = Render();
    int lowestTextRow = -1;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) == kText) lowestTextRow = y;
    EXPECT_GT(lowestTextRow, 20) << "the caption goes on below the first line";
}

TEST_F(Label3DTest, DrawsAtMost255Characters) {
    label_->SetBounds(0, 0, 640, 480);
    label_->SetCaptionStyle(csNone);
    QString caption;
    while (caption.size() < 300) caption += QStringLiteral("wide ");
    caption[254] = u'M';
    label_->SetCaption(caption.left(254));
    const QImage shorter = Render();
    label_->SetCaption(caption.left(255));
    const QImage cut = Render();
    label_->SetCaption(caption);
    const QImage whole = Render();
    EXPECT_NE(shorter, cut) << "the 255th character is drawn";
    EXPECT_EQ(whole, cut) << "nothing after it is";
}

TEST_F(Label3DTest, AmpersandShowsItselfWithoutAccelerators) {
    label_->SetCaptionStyle(csRecessed);
    label_->SetCaption(QStringLiteral("&&Play"));
    const QImage escaped = Render();
    label_->SetCaption(QStringLiteral("&Play"));
    const QImage underlined = Render();
    label_->SetShowAccelChar(false);
    const QImage literal = Render();
    EXPECT_EQ(literal, escaped);
    EXPECT_NE(literal, underlined);
}

class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(Label3DTest, RepaintsOnlyWhenTheCaptionStyleChanges) {
    Render();
    PaintCounter counter;
    label_->installEventFilter(&counter);
    label_->SetCaptionStyle(csRecessed);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    label_->SetCaptionStyle(csRaised);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
}

}  // namespace
