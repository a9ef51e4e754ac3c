#pragma once

#include <QImage>
#include <QString>
#include <functional>

#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "toolkit/Types.h"

// A picture with its own canvas. Assignment copies the pixels (deep copy);
// every change of size, content or drawing raises the change notice.
// Indexed pictures are converted once, when they are stored, to 32-bit
// pixels for drawing; a monochrome one (the screen's black picture) stays at
// one bit until something draws on it, which saves 32 times its size.
// A picture drawn for a screen of device-pixel ratio r keeps that ratio: it
// holds r times as many pixels each way, and its Width and Height are in
// logical pixels, as every place and size of the controls is.
class TBitmap : public TObject {
  public:
    TBitmap();
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);

    void Assign(const TBitmap& other) { *this = other; }
    bool Empty() const { return image_.isNull() || image_.width() == 0 || image_.height() == 0; }
    int Width() const { return qRound(image_.deviceIndependentSize().width()); }
    int Height() const { return qRound(image_.deviceIndependentSize().height()); }
    void SetSize(int width, int height);
    bool Monochrome() const { return monochrome_; }

    // The colour drawn as transparent: the bottom-left pixel, or white for a
    // monochrome picture.
    TColor TransparentColor() const;

    const QImage& Image() const { return image_; }
    void SetImage(const QImage& image);
    // Loads a picture from a file or a compiled-in resource (":/name").
    bool LoadFromFile(const QString& path);

    // Drawing on the canvas takes the picture to 32-bit pixels first.
    TCanvas& Canvas();

    TNotifyEvent OnChange;

  private:
    void Changed();

    QImage image_;
    bool monochrome_ = false;
    TCanvas canvas_;
};
