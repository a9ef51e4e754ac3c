#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/Bitmap.h"
#include "toolkit/GraphicControl.h"
#include "toolkit/ImageList.h"

enum TFrameStyle : std::uint8_t { fsRegular = 0, fsIndent = 1, fsNone = 2 };

enum TTextAlign : std::uint8_t {
    ttaTopLeft = 0,
    ttaTop = 1,
    ttaTopRight = 2,
    ttaRight = 3,
    ttaBottomRight = 4,
    ttaBottom = 5,
    ttaBottomLeft = 6,
    ttaLeft = 7,
    ttaCenter = 8,
};

using TNumGlyphs = std::uint8_t;   // 1..4
using TBorderSize = std::uint8_t;  // 1..6; other values are kept as given

// A windowless push button. With the defaults of the skin (no frame,
// transparent, no glyph, no caption) it paints nothing at all and is a pure
// hot spot: a press and release inside fire OnClick, its hint shows on hover.
// Otherwise it draws a 3-D frame, a glyph cell chosen by its state and a
// one-line caption.
//
// Left to us and chosen here: a glyph cell larger than the button is placed
// by the same halving (truncated toward zero) and then the clamps, the bottom
// clamp winning, so it may start above the top edge; a glyph of zero width
// keeps the previous NumGlyphs (and draws nothing); BorderWidth 0 draws no
// frame lines and values above 6 draw that many lines.
class TTransparentButton : public TGraphicControl {
    Q_OBJECT

  public:
    explicit TTransparentButton(TComponent* AOwner);

    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle style);
    TBorderSize BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(TBorderSize width);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    const TBitmap& Glyph() const { return glyph_; }
    void SetGlyph(const TBitmap& glyph);
    TNumGlyphs NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(TNumGlyphs count);
    bool ShowPressed() const { return showPressed_; }
    void SetShowPressed(bool show) { showPressed_ = show; }
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    TTextAlign TextAlign() const { return textAlign_; }
    void SetTextAlign(TTextAlign align);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);

    bool HitTest(int X, int Y) const;
    bool Tracking() const { return tracking_; }
    std::uint8_t Down() const { return down_; }
    // The cells cut from Glyph; none while the glyph is empty.
    const TImageList* GlyphList() const { return glyphList_.get(); }

    // The button's own click event; the toolkit's click path is never used.
    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;

  protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

  private:
    void DrawBevel(TRect& r, TColor topColor, TColor bottomColor, int lines);
    void DrawOuterFrame();
    void DrawStateFrame();
    void DrawContents();
    void DrawGlyph(int left, int top);
    void DrawCaption(TRect r);
    int GlyphCellIndex() const;
    bool ShownPressed() const { return down_ == 1 && showPressed_; }
    void SetDown(std::uint8_t down);
    void GlyphUpdated();
    void BuildGlyphList();

    TTextAlign textAlign_ = ttaCenter;
    QString caption_;
    bool transparent_ = true;
    bool tracking_ = false;
    bool showPressed_ = true;
    int spacing_ = 4;
    TBitmap glyph_;
    std::uint8_t down_ = 0;
    TBorderSize borderWidth_ = 1;
    TNumGlyphs numGlyphs_ = 1;
    std::unique_ptr<TImageList> glyphList_;
    TFrameStyle frameStyle_ = fsRegular;
};
