#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <initializer_list>

#include "toolkit/Bitmap.h"

// A picture of one colour.
QImage Filled(int width, int height, QColor colour, QImage::Format format = QImage::Format_RGB32);
// 'image' as a bitmap, as the program holds its pictures.
TBitmap BitmapOf(const QImage& image);
// A bitmap of one colour.
TBitmap Solid(int width, int height, QColor colour);

// One row of a pixel table: where, and the colour expected there.
struct Pixel {
    int x, y;
    QColor colour;
};

// Expects every pixel of the table, counted from 'origin' in 'image', to have
// its colour (alpha aside); a failure names the pixel and both colours.
void ExpectPixels(const QImage& image, QPoint origin, std::initializer_list<Pixel> pixels);
inline void ExpectPixels(const QImage& image, std::initializer_list<Pixel> pixels) {
    ExpectPixels(image, {}, pixels);
}
