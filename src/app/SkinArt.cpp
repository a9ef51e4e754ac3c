#include "app/SkinArt.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

#include "art/SkinPainter.h"
#include "skin/Transit.h"
#include "toolkit/Image.h"

namespace {

TBitmap FromImage(const QImage& image) {
    TBitmap bitmap;
    bitmap.SetImage(image);
    return bitmap;
}

TBitmap Resource(const char* name) {
    TBitmap bitmap;
    bitmap.LoadFromFile(QString::fromLatin1(name));
    return bitmap;
}

}  // namespace

// At 1 the committed pictures load faster than they paint.
TBitmap SkinPicture(qreal ratio) {
    return ratio == 1 ? Resource(":/skin/skin.png") : FromImage(PaintSkin(ratio));
}

TBitmap BlackPicture(qreal ratio) {
    return ratio == 1 ? Resource(":/skin/black.png") : FromImage(PaintBlackPicture(ratio));
}

TSkinResolution::TSkinResolution(QWidget* window, TTransitionEffect* skin, TImage* black,
                                 qreal ratio)
    : QObject(window), window_(window), skin_(skin), black_(black), ratio_(ratio) {
    window->installEventFilter(this);
}

void TSkinResolution::Follow(qreal ratio) {
    if (ratio == ratio_) return;
    ratio_ = ratio;
    // Both pictures of the transition image are the skin, so which one
    // is which after an exchange does not matter.
    const TBitmap skin = SkinPicture(ratio);
    skin_->SetBitmap(skin);
    skin_->SetBGBitmap(skin);
    black_->SetPicture(BlackPicture(ratio));
}

// A scale change on the same screen is told only through the screen.
void TSkinResolution::WatchScreen() {
    QObject::disconnect(screenScale_);
    if (QScreen* screen = window_->screen())
        screenScale_ = connect(screen, &QScreen::physicalDotsPerInchChanged, this,
                               [this] { Follow(window_->devicePixelRatioF()); });
}

bool TSkinResolution::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ &&
        (event->type() == QEvent::Show || event->type() == QEvent::ScreenChangeInternal)) {
        WatchScreen();
        Follow(window_->devicePixelRatioF());
    }
    return QObject::eventFilter(watched, event);
}
