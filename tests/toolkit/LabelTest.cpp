#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "toolkit/Label.h"
#include "toolkit/WinControl.h"

namespace {

constexpr QRgb kParent = 0xFF2060A0;

class LabelTest : public testing::Test {
  protected:
    void SetUp() override {
        form_ = std::make_unique<TCustomControl>(nullptr);
        form_->SetColor(QColorToColor(QColor::fromRgb(kParent)));
        form_->SetBounds(0, 0, 400, 200);
        label_ = new TLabel(form_.get());
        label_->SetBounds(100, 50, 65, 17);
        form_->show();
    }

    int TextWidth(const QString& text) {
        label_->Canvas().SetFont(label_->Font());
        return label_->Canvas().TextWidth(text);
    }

    QImage Render() {
        QCoreApplication::processEvents();
        return form_->grab().toImage().copy(label_->BoundsRect().ToQRect());
    }

    std::unique_ptr<TCustomControl> form_;
    TLabel* label_ = nullptr;  // owned by form_
};

TEST_F(LabelTest, AutoSizeFitsTheCaptionWithoutItsAcceleratorPrefix) {
    EXPECT_TRUE(label_->AutoSize());
    label_->SetCaption(QStringLiteral("File name"));
    const int plainWidth = label_->Width();
    const int lineHeight = label_->Height();
    EXPECT_NEAR(plainWidth, TextWidth(QStringLiteral("File name")), 1);
    EXPECT_GT(lineHeight, 5);
    label_->SetCaption(QStringLiteral("&File name"));
    EXPECT_EQ(label_->Width(), plainWidth);
    label_->SetShowAccelChar(false);
    EXPECT_GT(label_->Width(), plainWidth);
    label_->SetCaption(QString());
    EXPECT_EQ(label_->Height(), lineHeight) << "an empty caption keeps one line";
}

TEST_F(LabelTest, ARightAlignedLabelKeepsItsRightEdge) {
    label_->SetAlignment(taRightJustify);
    label_->SetCaption(QStringLiteral("Volume"));
    EXPECT_EQ(label_->Left() + label_->Width(), 165);
}

TEST_F(LabelTest, WithoutAutoSizeTheBoundsStay) {
    label_->SetAutoSize(false);
    label_->SetCaption(QStringLiteral("A much longer caption than fits"));
    EXPECT_EQ(label_->Width(), 65);
    EXPECT_EQ(label_->Height(), 17);
}

TEST_F(LabelTest, OpaqueFillsItsColourTransparentShowsTheParent) {
    label_->SetAutoSize(false);
    label_->SetColor(clWhite);
    EXPECT_EQ(Render().pixel(64, 16), 0xFFFFFFFFu);
    label_->SetTransparent(true);
    EXPECT_EQ(Render().pixel(64, 16), kParent);
}

TEST_F(LabelTest, DisabledTextIsEngraved) {
    label_->SetTransparent(true);
    label_->SetCaption(QStringLiteral("I"));
    label_->SetEnabled(false);
    const QImage drawn = Render();
    int shadow = 0, highlight = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) == 0xFF808080) {
                ++shadow;
                // The highlight copy shows one pixel below-right of the shadow's edge.
                if (x + 1 < drawn.width() && drawn.pixel(x + 1, y) == kParent) {
                    EXPECT_EQ(drawn.pixel(x + 1, y + 1), 0xFFFFFFFFu);
                    ++highlight;
                }
            }
        }
    EXPECT_GT(shadow, 3);
    EXPECT_GT(highlight, 0);
}

}  // namespace
