#include "toolkit/ImageList.h"

#include <QPainter>

TImageList::TImageList(int cellWidth, int cellHeight) : width_(cellWidth), height_(cellHeight) {}

int TImageList::AddMasked(const TBitmap& bitmap, TColor maskColor) {
    if (bitmap.Empty() || width_ <= 0 || height_ <= 0 || bitmap.Height() < height_) return -1;
    const int count = bitmap.Width() / width_;
    if (count == 0) return -1;
    const int first = Count();
    const QRgb mask = ColorToQColor(maskColor).rgb();
    for (int i = 0; i < count; ++i) {
        QImage cell = bitmap.Image()
                          .copy(i * width_, 0, width_, height_)
                          .convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < cell.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(cell.scanLine(y));
            for (int x = 0; x < cell.width(); ++x)
                if ((line[x] & 0xFFFFFF) == (mask & 0xFFFFFF)) line[x] = 0;
        }
        cells_.push_back(cell.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    return first;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, unsigned style,
                      TColor background) const {
    if (index < 0 || index >= Count()) return;
    const bool fillMask =
        !(style & ILD_TRANSPARENT) && background != clNone && background != CLR_DEFAULT;
    if (!fillMask) {
        canvas.Draw(x, y, cells_[index]);
        return;
    }
    QImage composed(width_, height_, QImage::Format_ARGB32_Premultiplied);
    composed.fill(ColorToQColor(background));
    QPainter(&composed).drawImage(0, 0, cells_[index]);
    canvas.Draw(x, y, composed);
}
