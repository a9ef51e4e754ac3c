#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <memory>
#include <vector>

#include "toolkit/TrackBar.h"

namespace {

// A shown slider of 0..10 at 5 that records Position at every OnChange. It
// sits in a host window so that its bounds apply at once.
class TrackBarTest : public testing::Test {
  protected:
    void SetUp() override {
        seen_.clear();
        bar_.reset();
        host_.resize(400, 400);
        host_.show();
        bar_ = std::make_unique<TTrackBar>(nullptr);
        bar_->SetParent(&host_);
        bar_->SetMax(10);
        bar_->SetPosition(5);
        bar_->OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, static_cast<TObject*>(bar_.get()));
            seen_.push_back(bar_->Position());
        };
    }

    void MakeVertical() {
        bar_->SetOrientation(trVertical);
        bar_->SetBounds(0, 0, 45, 200);
    }

    QSlider* Slider() { return bar_->findChild<QSlider*>(); }

    void Wheel(int angle) {
        const QPointF at(Slider()->width() / 2.0, Slider()->height() / 2.0);
        QWheelEvent event(at, Slider()->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Slider(), &event);
    }

    QWidget host_;
    std::unique_ptr<TTrackBar> bar_;
    std::vector<int> seen_;
};

TEST_F(TrackBarTest, PositionIsClampedToTheRange) {
    struct Case {
        int set;
        int expected;
    };
    for (const Case& c : {Case{-5, 0}, Case{15, 10}, Case{7, 7}, Case{0, 0}, Case{10, 10}}) {
        bar_->SetPosition(c.set);
        EXPECT_EQ(bar_->Position(), c.expected) << "set " << c.set;
    }
}

TEST_F(TrackBarTest, RangeChangesKeepMinNotAboveMaxAndClampPosition) {
    bar_->SetMin(8);
    EXPECT_EQ(bar_->Position(), 8);
    bar_->SetMin(20);
    EXPECT_EQ(bar_->Max(), 20);
    EXPECT_EQ(bar_->Position(), 20);
    bar_->SetMax(3);
    EXPECT_EQ(bar_->Min(), 3);
    EXPECT_EQ(bar_->Position(), 3);
}

TEST_F(TrackBarTest, CodeNeverFiresOnChange) {
    bar_->SetPosition(9);
    bar_->SetMax(4);  // clamps Position
    bar_->SetMin(-3);
    bar_->SetPosition(-3);
    bar_->SetOrientation(trVertical);
    EXPECT_TRUE(seen_.empty());
}

// Each user move fires OnChange once, with Position already at the new value.
TEST_F(TrackBarTest, UserMovesFireOnChangeAfterPositionMoved) {
    struct Case {
        const char* name;
        TTrackBarOrientation orientation;
        Qt::Key key;  // Qt::Key_unknown: a wheel turn away from the user instead
        int expected;
    };
    const Case cases[] = {
        {"right", trHorizontal, Qt::Key_Right, 6},
        {"left", trHorizontal, Qt::Key_Left, 4},
        {"end", trHorizontal, Qt::Key_End, 10},
        {"home", trHorizontal, Qt::Key_Home, 0},
        {"up moves the thumb up, to Min", trVertical, Qt::Key_Up, 4},
        {"down", trVertical, Qt::Key_Down, 6},
        {"page up", trVertical, Qt::Key_PageUp, 3},
        {"page down", trVertical, Qt::Key_PageDown, 7},
        {"wheel away moves the thumb up", trVertical, Qt::Key_unknown, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.orientation == trVertical) MakeVertical();
        if (c.key == Qt::Key_unknown)
            Wheel(120);
        else
            QTest::keyClick(Slider(), c.key);
        EXPECT_EQ(bar_->Position(), c.expected);
        EXPECT_EQ(seen_, std::vector<int>{c.expected});
    }
}

// A click on the groove pages the thumb towards the click.
TEST_F(TrackBarTest, VerticalSliderHasMinAtTheTop) {
    MakeVertical();
    bar_->SetTickStyle(tsNone);  // the groove in the middle
    const QPoint top(Slider()->width() / 2, 3);
    const QPoint bottom(Slider()->width() / 2, Slider()->height() - 3);
    bar_->SetPosition(10);
    QTest::mouseClick(Slider(), Qt::LeftButton, {}, top);
    EXPECT_EQ(bar_->Position(), 8);
    bar_->SetPosition(0);
    QTest::mouseClick(Slider(), Qt::LeftButton, {}, bottom);
    EXPECT_EQ(bar_->Position(), 2);
    EXPECT_EQ(seen_, (std::vector<int>{8, 2}));
}

TEST_F(TrackBarTest, DraggingTheThumbReportsEveryStep) {
    bar_->SetBounds(0, 0, 200, 45);
    bar_->SetPosition(0);
    QSlider* slider = Slider();
    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(8, y));
    for (int x = 8; x <= 196; x += 4) QTest::mouseMove(slider, QPoint(x, y));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(196, y));
    EXPECT_EQ(bar_->Position(), 10);
    ASSERT_FALSE(seen_.empty());
    EXPECT_EQ(seen_.back(), 10);
    EXPECT_TRUE(std::is_sorted(seen_.begin(), seen_.end()));
}

TEST_F(TrackBarTest, TickStylesMapToTheSlidersTicks) {
    struct Case {
        TTickStyle style;
        TTickMark marks;
        QSlider::TickPosition position;
        int interval;
    };
    bar_->SetMin(2);
    bar_->SetFrequency(3);
    const Case cases[] = {
        {tsNone, tmBoth, QSlider::NoTicks, -1},
        {tsAuto, tmBottomRight, QSlider::TicksBelow, 3},
        {tsAuto, tmTopLeft, QSlider::TicksAbove, 3},
        {tsManual, tmBoth, QSlider::TicksBothSides, 8},  // only at Min and Max
    };
    for (const Case& c : cases) {
        bar_->SetTickStyle(c.style);
        bar_->SetTickMarks(c.marks);
        EXPECT_EQ(Slider()->tickPosition(), c.position) << c.style << "/" << c.marks;
        if (c.interval > 0) {
            EXPECT_EQ(Slider()->tickInterval(), c.interval) << c.style;
        }
    }
    bar_->SetMax(20);
    EXPECT_EQ(Slider()->tickInterval(), 18);
}

}  // namespace
