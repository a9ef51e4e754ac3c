#include "app/SkinArt.h"

#include <QEvent>
#include <QImageReader>
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

// Named as PNG outright: guessing the format would load and ask every image
// plug-in first, which doubles the cost of the load.
TBitmap Resource(const char* name, qreal ratio) {
    QImageReader reader(QString::fromLatin1(name), "png");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    image.setDevicePixelRatio(ratio);
    return FromImage(image);
}

// The skins tools/skinart commits: loading one costs a fraction of painting
// it, which matters at start-up.
struct CommittedSkin {
    qreal ratio;
    const char* resource;
};
constexpr CommittedSkin kCommittedSkins[] = {
    {1, ":/skin/skin.png"}, {2, ":/skin/skin@2x.png"}, {3, ":/skin/skin@3x.png"}};

}  // namespace

TBitmap SkinPicture(qreal ratio) {
    for (const CommittedSkin& skin : kCommittedSkins)
        if (skin.ratio == ratio) return Resource(skin.resource, ratio);
    return FromImage(PaintSkin(ratio));
}

TBitmap BlackPicture(qreal ratio) {
    return ratio == 1 ? Resource(":/skin/black.png", 1) : FromImage(PaintBlackPicture(ratio));
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
