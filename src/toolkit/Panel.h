#pragma once

#include <QString>

#include "toolkit/WinControl.h"

enum TPanelBevel { bvNone = 0, bvLowered = 1, bvRaised = 2 };

// A windowed panel: its Color, a one-pixel raised bevel by default, and its
// caption centred. Other windows (such as video) can be placed inside it.
class TPanel : public TCustomControl {
    Q_OBJECT

  public:
    explicit TPanel(TComponent* AOwner);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);

  protected:
    void Paint() override;

  private:
    QString caption_;
    TPanelBevel bevelOuter_ = bvRaised;
};
