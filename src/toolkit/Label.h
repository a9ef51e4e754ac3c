#pragma once

#include <QString>

#include "toolkit/GraphicControl.h"

// A windowless text label. With AutoSize (the default) it sizes itself to its
// caption whenever the caption or the font changes.
class TLabel : public TGraphicControl {
    Q_OBJECT

  public:
    explicit TLabel(TComponent* AOwner);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);

  protected:
    void Paint() override;
    void FontChanged() override;

  private:
    void AdjustBounds();

    QString caption_;
    bool autoSize_ = true;
    bool transparent_ = false;
    TAlignment alignment_ = taLeftJustify;
};
