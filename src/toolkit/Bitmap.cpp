#include "toolkit/Bitmap.h"

namespace {

constexpr QImage::Format kDrawFormat = QImage::Format_RGB32;

}  // namespace

TBitmap::TBitmap() : canvas_(&image_) {
    canvas_.OnChange = [this] { Changed(); };
}

// The pixels are shared until either side draws (QImage copies on write), so
// assignment behaves as a deep copy without paying for one up front.
TBitmap::TBitmap(const TBitmap& other) : TBitmap() {
    image_ = other.image_;
    monochrome_ = other.monochrome_;
}

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) {
        image_ = other.image_;
        monochrome_ = other.monochrome_;
        Changed();
    }
    return *this;
}

void TBitmap::SetSize(int width, int height) {
    if (width == Width() && height == Height()) return;
    if (width <= 0 || height <= 0) {
        image_ = QImage();
    } else {
        QImage sized(width, height, kDrawFormat);
        sized.fill(Qt::white);
        image_ = std::move(sized);
    }
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (monochrome_ || Empty()) return clWhite;
    return QColorToColor(image_.pixelColor(0, image_.height() - 1));
}

void TBitmap::SetImage(const QImage& image) {
    monochrome_ = image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    image_ = image.isNull() || monochrome_ ? image : image.convertToFormat(kDrawFormat);
    Changed();
}

TCanvas& TBitmap::Canvas() {
    if (!image_.isNull() && image_.format() != kDrawFormat)
        image_ = image_.convertToFormat(kDrawFormat);
    return canvas_;
}

bool TBitmap::LoadFromFile(const QString& path) {
    QImage loaded;
    if (!loaded.load(path)) return false;
    SetImage(loaded);
    return true;
}

void TBitmap::Changed() {
    if (OnChange) OnChange(this);
}
