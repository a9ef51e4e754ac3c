#include "toolkit/Image.h"

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(Left(), Top(), 105, 105);
    picture_.OnChange = [this](TObject*) { Invalidate(); };
}

void TImage::SetPicture(const TBitmap& picture) {
    picture_ = picture;
}

void TImage::Paint() {
    Canvas().Draw(0, 0, picture_.Image());
}
