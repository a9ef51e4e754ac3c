#pragma once

#include <QString>

#include "toolkit/GraphicControl.h"

// A windowless text label. Its caption is drawn with DrawText in the label's
// Font: '&' marks the next letter as an accelerator unless ShowAccelChar is
// off, tabs expand, and lines break at the label's width when WordWrap is on.
// A label that is not Transparent fills its area with Color first; a disabled
// one shows its text engraved. With AutoSize, every change of caption, font,
// word wrap or accelerator prefix resizes the label to the measured caption
// (a right-aligned label keeps its right edge).
class TLabel : public TGraphicControl {
    Q_OBJECT

  public:
    explicit TLabel(TComponent* AOwner);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);

  protected:
    void Paint() override;
    void FontChanged() override;
    // Fills the area unless Transparent and leaves the brush clear for text.
    void PaintBackground();
    // DT_LEFT, DT_RIGHT or DT_CENTER for the label's Alignment.
    unsigned AlignmentFlag() const;
    // Draws the caption into rect; with DT_CALCRECT it only measures it and
    // sets rect's Right and Bottom.
    void DoDrawText(TRect& rect, unsigned flags);
    void AdjustBounds();

  private:
    QString caption_;
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    bool wordWrap_ = false;
};
