#pragma once

#include <QObject>

#include "toolkit/Bitmap.h"

class QWidget;
class TTransitionEffect;
class TImage;

// The main window's pictures for a screen of a device-pixel ratio: the
// committed 256-colour skins at 1, 2 and 3 (and the black picture at 1); at
// any other ratio the same art painted from the layout at that resolution.
// Either way edges and lettering are drawn at the ratio, not enlarged. Sizes
// stay 640x480 and 400x300 in logical pixels.
TBitmap SkinPicture(qreal ratio);
TBitmap BlackPicture(qreal ratio);

// Keeps the skin (both pictures of the transition image) and the black
// picture at the ratio of the window they are on: when the window shows on,
// or moves to, a screen of another ratio, or its screen's scale changes,
// they are painted again for it.
class TSkinResolution : public QObject {
  public:
    // 'ratio' is the one the pictures were made for.
    TSkinResolution(QWidget* window, TTransitionEffect* skin, TImage* black, qreal ratio);

    qreal Ratio() const { return ratio_; }
    // Paints the pictures for 'ratio' unless they are drawn for it already.
    void Follow(qreal ratio);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void WatchScreen();

    QWidget* window_;
    TTransitionEffect* skin_;
    TImage* black_;
    qreal ratio_;
    QMetaObject::Connection screenScale_;
};
