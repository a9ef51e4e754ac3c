#pragma once

#include <cstdint>

#include "toolkit/Label.h"

enum TCaptionStyle : std::uint8_t {
    csNone = 0,
    csRaised = 1,
    csHeavyRaised = 2,
    csRecessed = 3,
    csHeavyRecessed = 4,
};

// A text label whose caption can have one-pixel light and dark copies behind
// it, so that the lettering looks raised from the surface or pressed into it.
// The caption always breaks at the label's width, and at most its first 255
// characters are drawn. AutoSize measures the plain caption, so copies may be
// cut off at the edges. A disabled label draws its text grey; the copies keep
// their colours.
class TLabel3D : public TLabel {
    Q_OBJECT

  public:
    explicit TLabel3D(TComponent* AOwner);

    TCaptionStyle CaptionStyle() const { return captionStyle_; }
    void SetCaptionStyle(TCaptionStyle style);

  protected:
    void Paint() override;
    void DrawText3D(TRect r, unsigned flags);

  private:
    void DrawCopy(const QString& text, TRect r, int offset, unsigned flags, TColor color);

    TCaptionStyle captionStyle_ = csRecessed;
};
