#pragma once

#include <QImage>
#include <vector>

#include "toolkit/Bitmap.h"

// Draw styles of an image list.
constexpr unsigned ILD_NORMAL = 0x0;
constexpr unsigned ILD_TRANSPARENT = 0x1;
constexpr TColor CLR_DEFAULT = static_cast<TColor>(0xFF000000u);

// A list of equal-sized masked cells.
class TImageList {
  public:
    TImageList(int cellWidth, int cellHeight);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(cells_.size()); }

    // Cuts the bitmap into cells of the list's size, left to right; pixels of
    // maskColor become the cells' transparent part. Returns the first index,
    // or -1 when the bitmap holds no whole cell.
    int AddMasked(const TBitmap& bitmap, TColor maskColor);

    // ILD_TRANSPARENT: the mask lets the canvas show through. ILD_NORMAL: the
    // masked part is painted in background (clNone also leaves it see-through).
    void Draw(TCanvas& canvas, int x, int y, int index, unsigned style, TColor background) const;

    const QImage& Cell(int index) const { return cells_.at(index); }

  private:
    int width_;
    int height_;
    std::vector<QImage> cells_;
};
