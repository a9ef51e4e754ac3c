#include "skin/Transit.h"

#include <QFile>
#include <QPaintEvent>
#include <QPainter>

#include "platform/sound/Sound.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

namespace {

constexpr auto kSurfaceFormat = QImage::Format_ARGB32_Premultiplied;

}  // namespace

TTransitionEffect::TTransitionEffect(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 100, 100);
    timer_ = new TTimer(this);
    timer_->SetEnabled(false);
    timer_->SetInterval(100);
    timer_->OnTimer = [this](TObject*) { DrawStep(); };
    Canvas().SetTarget(&surface_);
    FitSurface();
}

TTransitionEffect::~TTransitionEffect() {
    delete timer_;
    // Stops whatever sound is playing, also one another component started.
    platform::Sound().SndPlaySound(nullptr, platform::SND_ASYNC);
}

void TTransitionEffect::SetBGBitmap(const TBitmap& bitmap) {
    bgBitmap_.Assign(bitmap);
    RequestRepaint();
}

void TTransitionEffect::SetAutosize(TTEAutoSize autosize) {
    autosize_ = autosize;
    RequestRepaint();
}

void TTransitionEffect::SetBitmap(const TBitmap& bitmap) {
    bitmap_.Assign(bitmap);
    RequestRepaint();
}

void TTransitionEffect::SetInterval(int milliseconds) {
    // The running timer keeps its interval until the next Execute.
    if (milliseconds > 0)
        interval_ = milliseconds;
    else
        lastError_ = QStringLiteral("invalid Interval Value, must be 0 < Interval");
}

void TTransitionEffect::SetSteps(int steps) {
    // The step sizes are recomputed by the next Execute only.
    if (steps > 0 && steps < Height() && steps < Width())
        steps_ = steps;
    else
        lastError_ =
            QStringLiteral("invalid Steps Value, must be 0 < steps < Width and 0 < steps < Height");
}

void TTransitionEffect::SetSwap(bool swap) {
    if (swap == swap_) return;
    if (bitmap_.Empty() || bgBitmap_.Empty()) return;
    SwapBitmaps();
    swap_ = swap;
}

void TTransitionEffect::Execute() {
    // The setter never stores 0; the guard keeps the division safe whatever
    // the stored value.
    if (steps_ == 0) {
        StopTransition();
        steps_ = 10;
        Execute();
        lastError_ = QStringLiteral("Invallid steps value: 0, set to 10");
        return;
    }
    stepWidth_ = static_cast<float>(double(Width()) / steps_);
    stepHeight_ = static_cast<float>(double(Height()) / steps_);
    RequestRepaint();
    timer_->SetInterval(interval_);
    timer_->SetEnabled(true);
    if (SoundWanted()) StartSound();
}

void TTransitionEffect::StopTransition() {
    if (SoundWanted()) StopSound();
    timer_->SetEnabled(false);
    currentStep_ = 0;
}

void TTransitionEffect::StartSound() {
    StopSound();
    const QByteArray name = QFile::encodeName(soundFile_);
    platform::Sound().SndPlaySound(name.constData(), platform::SND_ASYNC | platform::SND_LOOP);
}

void TTransitionEffect::StopSound() {
    platform::Sound().SndPlaySound(nullptr, platform::SND_ASYNC);
}

void TTransitionEffect::DrawStep() {
    HoldSurface();
    ServePendingRepaint();
    if (OnBeforeStep) OnBeforeStep(this);
    if (bitmap_.Empty()) {
        StopTransition();
        lastError_ = QStringLiteral("Bitmap empty");
        return;
    }
    DrawFrame();
    ++currentStep_;
    if (OnAfterStep) OnAfterStep(this);
    if (currentStep_ > steps_) FinishCycle();
}

void TTransitionEffect::DrawFrame() {
    FitSurface();
    const TFrameRects frame =
        FrameRects(transition_, currentStep_, Width(), Height(), stepWidth_, stepHeight_);
    TCanvas& canvas = Canvas();
    canvas.StretchDraw(frame.Picture, bitmap_);
    QRect shown = frame.Picture.ToQRect();
    if (frame.Companion) {
        canvas.StretchDraw(*frame.Companion, bgBitmap_);
        shown |= frame.Companion->ToQRect();
    }
    update(shown & rect());
}

void TTransitionEffect::FinishCycle() {
    if (loop_) {
        currentStep_ = 1;
    } else {
        StopTransition();
        releaseSurface_ = true;
        if (OnNotify) OnNotify(this);
    }
    if (autoSwap_) SetSwap(!swap_);
}

void TTransitionEffect::SwapBitmaps() {
    const TBitmap picture(bitmap_);
    bitmap_.Assign(bgBitmap_);
    bgBitmap_.Assign(picture);
    if (bgType_ == btBitmap) RequestRepaint();
}

void TTransitionEffect::Paint() {
    FitSizeToBackground();
    PaintBackground();
    FinishFirstPaint();
}

void TTransitionEffect::FitSizeToBackground() {
    // A picture of width 0 counts as empty, so the ratio is never 0 below.
    if (bgBitmap_.Empty() || bgBitmap_.Height() == 0) {
        lastError_ = QStringLiteral("BGBitmap Empty or BGBitmap.height=0");
        return;
    }
    const float ratio = static_cast<float>(double(bgBitmap_.Width()) / bgBitmap_.Height());
    switch (autosize_) {
        case asFitWidth:
            SetHeight(static_cast<int>(Width() / double(ratio)));
            break;
        case asFitHeight:
            SetWidth(static_cast<int>(Height() * double(ratio)));
            break;
        case asFitBoth:
            break;
    }
}

void TTransitionEffect::PaintBackground() {
    // Where nothing is painted the parent beneath shows through.
    if (SurfaceHeld()) {
        FitSurface();
        surface_.fill(Qt::transparent);
    }
    TCanvas& canvas = Canvas();
    switch (bgType_) {
        case btColor:
            // The outline lies outside the control; only the fill shows.
            canvas.Brush().Color = bgColor_;
            canvas.Rectangle(-2, -2, Width() + 2, Height() + 2);
            break;
        case btBitmap:
            canvas.StretchDraw(ClientRect(), bgBitmap_);
            break;
        case btTransparant:
            break;
    }
}

void TTransitionEffect::FinishFirstPaint() {
    if (!firstPaint_) return;
    // A plain exchange: Swap keeps its value.
    if (swap_) SwapBitmaps();
    if (OnLoad) OnLoad(this);
    firstPaint_ = false;
}

void TTransitionEffect::RequestRepaint() {
    repaintPending_ = true;
    update();
}

void TTransitionEffect::ServePendingRepaint() {
    if (!repaintPending_ || !isVisible()) return;
    repaintPending_ = false;
    Paint();
}

void TTransitionEffect::HoldSurface() {
    if (SurfaceHeld()) return;
    releaseSurface_ = false;
    FitSurface();
    PaintBackground();
}

bool TTransitionEffect::FitSurface() {
    const qreal ratio = devicePixelRatioF();
    const QSize size = (QSizeF(Width(), Height()) * ratio).toSize();
    if (surface_.size() == size && surface_.devicePixelRatio() == ratio) return false;
    QImage resized(size, kSurfaceFormat);
    resized.setDevicePixelRatio(ratio);
    resized.fill(Qt::transparent);
    if (!surface_.isNull()) {
        QPainter painter(&resized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, surface_);
    }
    surface_ = std::move(resized);
    return true;
}

void TTransitionEffect::paintEvent(QPaintEvent* event) {
    if (!SurfaceHeld()) {
        // Only the background is on screen: it is painted where asked.
        repaintPending_ = false;
        TGraphicControl::paintEvent(event);
        return;
    }
    // A move to a screen of another scale changes the ratio under the
    // surface; the background is then painted afresh at the new one.
    bool painted = false;
    Guarded([this, &painted] {
        if (FitSurface()) repaintPending_ = true;
        painted = repaintPending_ && isVisible();
        ServePendingRepaint();
    });
    QPainter painter(this);
    const QRectF area(event->rect());
    const qreal ratio = surface_.devicePixelRatio();
    painter.drawImage(area, surface_, QRectF(area.topLeft() * ratio, area.size() * ratio));
    // All of the control that can be seen was painted from the background.
    const bool wholeShown = (visibleRegion() - event->region()).isEmpty();
    if (painted && releaseSurface_ && !timer_->Enabled() && wholeShown) {
        releaseSurface_ = false;
        surface_ = QImage();
    }
}

void TTransitionEffect::resizeEvent(QResizeEvent* event) {
    TGraphicControl::resizeEvent(event);
    if (SurfaceHeld()) FitSurface();
    RequestRepaint();
}

void TTransitionEffect::showEvent(QShowEvent* event) {
    TGraphicControl::showEvent(event);
    RequestRepaint();
}
