#pragma once

#include "toolkit/Bitmap.h"
#include "toolkit/GraphicControl.h"

// A windowless picture: shown unscaled from its top-left corner.
class TImage : public TGraphicControl {
    Q_OBJECT

  public:
    explicit TImage(TComponent* AOwner);

    const TBitmap& Picture() const { return picture_; }
    void SetPicture(const TBitmap& picture);

  protected:
    void Paint() override;

  private:
    TBitmap picture_;
};
