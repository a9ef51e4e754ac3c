#pragma once

#include <QSlider>

#include "toolkit/WinControl.h"

enum TTrackBarOrientation { trHorizontal = 0, trVertical = 1 };
enum TTickStyle { tsNone = 0, tsAuto = 1, tsManual = 2 };
enum TTickMark { tmBottomRight = 0, tmTopLeft = 1, tmBoth = 2 };

// A slider: a thumb moving over Min..Max. On a vertical slider Min is at the
// top, and Up, Page Up and the wheel turned away from the user move the thumb
// up. OnChange fires each time the user moves the thumb (mouse, keyboard,
// wheel), after Position has taken the new value; setting Min, Max or
// Position from code never fires it.
//
// Ticks: tsAuto draws one every Frequency steps from Min, tsManual only at Min
// and Max (the slider has no ticks at arbitrary places), tsNone none.
// Changing Orientation keeps the bounds as they are.
class TTrackBar : public TWinControl {
    Q_OBJECT

  public:
    explicit TTrackBar(TComponent* AOwner);

    int Min() const { return slider_.minimum(); }
    // Min above Max raises Max with it; Position is clamped into the range.
    void SetMin(int value);
    int Max() const { return slider_.maximum(); }
    // Max below Min lowers Min with it; Position is clamped into the range.
    void SetMax(int value);
    int Position() const { return slider_.value(); }
    // Clamped to Min..Max.
    void SetPosition(int value);

    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation orientation);
    int LineSize() const { return slider_.singleStep(); }
    void SetLineSize(int size) { slider_.setSingleStep(size); }
    int PageSize() const { return slider_.pageStep(); }
    void SetPageSize(int size) { slider_.setPageStep(size); }

    // Steps between two ticks with tsAuto; values below 1 count as 1.
    int Frequency() const { return frequency_; }
    void SetFrequency(int frequency);
    TTickStyle TickStyle() const { return tickStyle_; }
    void SetTickStyle(TTickStyle style);
    TTickMark TickMarks() const { return tickMarks_; }
    void SetTickMarks(TTickMark marks);

    TNotifyEvent OnChange;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void UserMoved();
    void UpdateTicks();

    QSlider slider_;
    TTrackBarOrientation orientation_ = trHorizontal;
    int frequency_ = 1;
    TTickStyle tickStyle_ = tsAuto;
    TTickMark tickMarks_ = tmBottomRight;
};
