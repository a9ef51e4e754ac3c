#include "platform/media/VideoSurface.h"

#include <QPainter>

namespace platform {

void FrameSlot::Store(QImage frame) {
    const std::lock_guard lock(mutex_);
    frame_ = std::move(frame);
}

QImage FrameSlot::Latest() const {
    const std::lock_guard lock(mutex_);
    return frame_;
}

VideoSurface::VideoSurface(std::shared_ptr<FrameSlot> frames, QWidget* parent)
    : QWidget(parent), frames_(std::move(frames)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void VideoSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The panel has the clip's natural size in logical pixels; on a scaled
    // screen its frames are filtered up, not doubled.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, devicePixelRatioF() != 1);
    const QImage frame = frames_->Latest();
    if (frame.isNull())
        painter.fillRect(rect(), Qt::black);
    else if (frame.size() == size())
        painter.drawImage(0, 0, frame);
    else
        painter.drawImage(rect(), frame);
}

}  // namespace platform
