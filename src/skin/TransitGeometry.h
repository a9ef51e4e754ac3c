#pragma once

#include <cstdint>
#include <optional>

#include "toolkit/Types.h"

// The transition styles of the transition image, in stored order.
enum TTETransition : std::uint8_t {
    StretchFromLeft = 0,
    StretchFromRight = 1,
    StretchFromTop = 2,
    StretchFromBottom = 3,
    StretchFromTopLeft = 4,
    StretchFromBottomRight = 5,
    StretchFromXcenter = 6,
    StretchFromYcenter = 7,
    PushFromBottom = 8,
    PushFromLeft = 9,
    PushFromRight = 10,
    PushFromTop = 11,
    SlideFromLeft = 12,
    SlideFromRight = 13,
    SlideFromTop = 14,
    SlideFromBottom = 15,
    SlideFromTopLeft = 16,
    SlideFromBottomRight = 17,
    Zoom = 18,
};

// Where one frame goes: the whole picture is stretched into Picture; the push
// styles then stretch the whole background picture into Companion.
struct TFrameRects {
    TRect Picture;
    std::optional<TRect> Companion;
};

// The frame of 'transition' at frame number k for a control of w x h whose
// step sizes are stepWidth and stepHeight (single precision, as stored). Each
// coordinate is formed in double precision and truncated toward zero on its
// own, so that frames land on the same pixels whatever the step sizes; the
// rectangles may lie partly or wholly outside the control.
TFrameRects FrameRects(TTETransition transition, int k, int w, int h, float stepWidth,
                       float stepHeight);
