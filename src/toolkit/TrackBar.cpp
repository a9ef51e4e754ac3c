#include "toolkit/TrackBar.h"

#include <QSignalBlocker>
#include <algorithm>

#include "toolkit/Application.h"

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner), slider_(Qt::Horizontal, this) {
    slider_.setRange(0, 10);
    slider_.setSingleStep(1);
    slider_.setPageStep(2);
    // Only the user's moves reach valueChanged: code changes the value with
    // the slider's signals blocked.
    connect(&slider_, &QSlider::valueChanged, this, [this] { Guarded([this] { UserMoved(); }); });
    UpdateTicks();
    SetBounds(0, 0, 150, 45);
}

void TTrackBar::UserMoved() {
    if (OnChange) OnChange(this);
}

void TTrackBar::SetMin(int value) {
    if (value == Min()) return;
    const QSignalBlocker quiet(slider_);
    slider_.setMinimum(value);
    UpdateTicks();
}

void TTrackBar::SetMax(int value) {
    if (value == Max()) return;
    const QSignalBlocker quiet(slider_);
    slider_.setMaximum(value);
    UpdateTicks();
}

void TTrackBar::SetPosition(int value) {
    value = std::clamp(value, Min(), Max());
    if (value == Position()) return;
    const QSignalBlocker quiet(slider_);
    slider_.setValue(value);
}

void TTrackBar::SetOrientation(TTrackBarOrientation orientation) {
    if (orientation == orientation_) return;
    orientation_ = orientation;
    const bool vertical = orientation == trVertical;
    slider_.setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    // A vertical slider grows downwards, and its keys and wheel follow the thumb.
    slider_.setInvertedAppearance(vertical);
    slider_.setInvertedControls(vertical);
}

void TTrackBar::SetFrequency(int frequency) {
    if (frequency == frequency_) return;
    frequency_ = frequency;
    UpdateTicks();
}

void TTrackBar::SetTickStyle(TTickStyle style) {
    if (style == tickStyle_) return;
    tickStyle_ = style;
    UpdateTicks();
}

void TTrackBar::SetTickMarks(TTickMark marks) {
    if (marks == tickMarks_) return;
    tickMarks_ = marks;
    UpdateTicks();
}

void TTrackBar::UpdateTicks() {
    if (tickStyle_ == tsNone) {
        slider_.setTickPosition(QSlider::NoTicks);
        return;
    }
    static constexpr QSlider::TickPosition kSides[] = {QSlider::TicksBelow, QSlider::TicksAbove,
                                                       QSlider::TicksBothSides};
    slider_.setTickPosition(kSides[tickMarks_]);
    const int interval = tickStyle_ == tsManual ? Max() - Min() : frequency_;
    slider_.setTickInterval(std::max(1, interval));
}

void TTrackBar::resizeEvent(QResizeEvent* event) {
    TWinControl::resizeEvent(event);
    slider_.setGeometry(rect());
}
