#include "skin/TransitGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// Truncation toward zero. Absurd inputs saturate at +-2^30, far beyond any
// screen, so that the sums of two terms below cannot overflow either.
int Truncate(double value) {
    constexpr double kLimit = 1 << 30;
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

// The truncated terms every style is built from.
struct Terms {
    int gx, gy;  // grown extent: k x step
    int rx, by;  // what is left: size - k x step
    int lx, ty;  // start of a picture entering from the left or top
    int ox, oy;  // far edge of a picture entering from the right or bottom
    int cx, cy;  // half of what is left, for the centred styles
};

Terms TermsFor(int k, int w, int h, float stepWidth, float stepHeight) {
    const double dx = double(k) * double(stepWidth);
    const double dy = double(k) * double(stepHeight);
    return {
        .gx = Truncate(dx),
        .gy = Truncate(dy),
        .rx = Truncate(w - dx),
        .by = Truncate(h - dy),
        .lx = Truncate(dx - w),
        .ty = Truncate(dy - h),
        .ox = Truncate(2.0 * w - dx),
        .oy = Truncate(2.0 * h - dy),
        .cx = Truncate((w - dx) * 0.5),
        .cy = Truncate((h - dy) * 0.5),
    };
}

}  // namespace

TFrameRects FrameRects(TTETransition transition, int k, int w, int h, float stepWidth,
                       float stepHeight) {
    const Terms t = TermsFor(k, w, h, stepWidth, stepHeight);
    switch (transition) {
        case StretchFromLeft:
            return {{0, 0, t.gx, h}, {}};
        case StretchFromRight:
            return {{t.rx, 0, w, h}, {}};
        case StretchFromTop:
            return {{0, 0, w, t.gy}, {}};
        case StretchFromBottom:
            return {{0, t.by, w, h}, {}};
        case StretchFromTopLeft:
            return {{0, 0, t.gx, t.gy}, {}};
        case StretchFromBottomRight:
            return {{t.rx, t.by, w, h}, {}};
        case StretchFromXcenter:
            return {{t.cx, 0, t.gx + t.cx, h}, {}};
        case StretchFromYcenter:
            return {{0, t.cy, w, t.gy + t.cy}, {}};
        case PushFromBottom:
            return {{0, t.by, w, t.oy}, TRect{0, t.by - h, w, t.by}};
        case PushFromLeft:
            return {{t.lx, 0, t.gx, h}, TRect{t.gx, 0, t.gx + w, h}};
        case PushFromRight:
            return {{t.rx, 0, t.ox, h}, TRect{t.rx - w, 0, t.rx, h}};
        case PushFromTop:
            return {{0, t.ty, w, t.gy}, TRect{0, t.gy, w, t.gy + h}};
        case SlideFromLeft:
            return {{t.lx, 0, t.gx, h}, {}};
        case SlideFromRight:
            return {{t.rx, 0, t.ox, h}, {}};
        case SlideFromTop:
            return {{0, t.ty, w, t.gy}, {}};
        case SlideFromBottom:
            return {{0, t.by, w, t.oy}, {}};
        case SlideFromTopLeft:
            return {{t.lx, t.ty, t.gx, t.gy}, {}};
        case SlideFromBottomRight:
            return {{t.rx, t.by, t.ox, t.oy}, {}};
        case Zoom:
            return {{t.cx, t.cy, t.gx + t.cx, t.gy + t.cy}, {}};
    }
    // An out-of-range style (a corrupt stored value) draws nothing.
    return {{0, 0, 0, 0}, {}};
}
