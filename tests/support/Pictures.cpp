#include "support/Pictures.h"

#include <gtest/gtest.h>

QImage Filled(int width, int height, QColor colour, QImage::Format format) {
    QImage image(width, height, format);
    image.fill(colour);
    return image;
}

TBitmap BitmapOf(const QImage& image) {
    TBitmap bitmap;
    bitmap.SetImage(image);
    return bitmap;
}

TBitmap Solid(int width, int height, QColor colour) {
    return BitmapOf(Filled(width, height, colour));
}

void ExpectPixels(const QImage& image, QPoint origin, std::initializer_list<Pixel> pixels) {
    for (const Pixel& pixel : pixels) {
        const QColor shown = image.pixelColor(origin + QPoint(pixel.x, pixel.y));
        EXPECT_EQ(shown.name().toStdString(), pixel.colour.name().toStdString())
            << "at " << pixel.x << "," << pixel.y;
    }
}
