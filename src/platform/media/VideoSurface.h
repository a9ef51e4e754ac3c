#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <memory>
#include <mutex>

namespace platform {

// The latest video frame, handed from a streaming thread to the GUI thread.
// At most one repaint request is on its way at any time.
class FrameSlot {
  public:
    void Store(QImage frame);
    QImage Latest() const;
    // True when no repaint request is pending; the caller then sends one.
    bool RequestRepaint() { return !repaintPending_.exchange(true); }
    void RepaintTaken() { repaintPending_ = false; }

  private:
    mutable std::mutex mutex_;
    QImage frame_;
    std::atomic<bool> repaintPending_{false};
};

// Draws the latest frame over its whole area (the destination rectangle
// inside the display window), also while the video is paused or stopped.
// Mouse input passes through to the display beneath.
class VideoSurface : public QWidget {
  public:
    VideoSurface(std::shared_ptr<FrameSlot> frames, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::shared_ptr<FrameSlot> frames_;
};

}  // namespace platform
