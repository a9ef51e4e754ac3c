#pragma once

#include <QRect>
#include <functional>

// Root of every toolkit object; senders of events are passed as TObject*.
class TObject {
  public:
    virtual ~TObject() = default;
};

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// A rectangle with exclusive Right and Bottom edges, as the platform's drawing
// calls take it. The media device also uses it as origin plus extent.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect FromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}

// True when the point lies inside: Left <= X < Right and Top <= Y < Bottom.
bool PtInRect(const TRect& r, TPoint p);
// Grows the rectangle by dx on the left and right and dy on the top and bottom.
void InflateRect(TRect& r, int dx, int dy);
void OffsetRect(TRect& r, int dx, int dy);

enum TMouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

// Shift state bits of a mouse or key event.
enum TShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = unsigned;

enum TOperation { opInsert = 0, opRemove = 1 };

enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// Event slots: an empty function means "not assigned".
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
