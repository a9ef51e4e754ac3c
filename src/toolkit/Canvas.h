#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

#include "toolkit/Colors.h"
#include "toolkit/Font.h"
#include "toolkit/Types.h"

class QPainter;
class QPaintDevice;
class TBitmap;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Text format flags of DrawText.
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;

// Background modes for text output.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// A drawing surface with the classic pen, brush and font state. Coordinates
// are integers; Right and Bottom of rectangles are exclusive, and thin lines
// leave out their last pixel, so frames drawn from rectangles meet exactly.
//
// A canvas draws either through the painter of a paint routine that is
// running (BeginPaint/EndPaint) or straight onto its target image.
class TCanvas {
  public:
    TCanvas() = default;
    explicit TCanvas(QImage* target) : target_(target) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    void SetTarget(QImage* target) { target_ = target; }
    void BeginPaint(QPainter* painter) { painter_ = painter; }
    void EndPaint() { painter_ = nullptr; }
    bool CanDraw() const { return painter_ || (target_ && !target_->isNull()); }

    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }
    TFont& Font() { return font_; }
    void SetFont(const TFont& font) { font_ = font; }

    void MoveTo(int x, int y) { penPos_ = {x, y}; }
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    // Outline with the pen, inside filled with the brush.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // The whole rectangle in the brush colour, whatever the brush style.
    void FillRect(const TRect& r);
    // Scales the whole bitmap into dest with a plain copy; a picture of the
    // target's device-pixel ratio and dest's size lands pixel for pixel.
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);
    void CopyRect(const TRect& dest, const QImage& source, const TRect& sourceRect);
    void Draw(int x, int y, const QImage& image);

    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    void TextOut(int x, int y, const QString& text);
    // Draws text into rect with the DT_* flags; returns the text height. With
    // DT_CALCRECT nothing is drawn and rect's Right and Bottom are set to fit.
    int DrawText(const QString& text, TRect& rect, unsigned flags);

    int SetBkMode(int mode);
    int BkMode() const { return bkMode_; }

    // Run after each drawing operation (a bitmap passes it on as its change notice).
    std::function<void()> OnChange;

  private:
    void WithPainter(const std::function<void(QPainter&)>& draw);
    void DrawThinLine(QPainter& p, TPoint from, TPoint to);
    void DrawWideLine(QPainter& p, TPoint from, TPoint to);
    void FillBand(QPainter& p, const TRect& r, int width);

    QImage* target_ = nullptr;
    QPainter* painter_ = nullptr;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    TPoint penPos_;
    int bkMode_ = OPAQUE;
};
