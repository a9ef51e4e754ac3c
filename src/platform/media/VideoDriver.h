#pragma once

#include <gst/app/gstappsink.h>

#include <QPointer>
#include <QSize>

#include "platform/media/MediaPipeline.h"
#include "platform/media/VideoSurface.h"

namespace platform {

// The video device: any file GStreamer's playbin can play. Frames arrive as
// BGRx through an appsink and are drawn by a VideoSurface placed at the
// destination rectangle inside the device's window: the window given by
// MCI_WINDOW, or else its own top-level default window, shown when a play
// begins. Audio goes to the default output.
class VideoDriver : public MediaPipeline {
  public:
    VideoDriver() = default;
    ~VideoDriver() override;

    unsigned DeviceType() const override { return MCI_DEVTYPE_DIGITAL_VIDEO; }
    bool HasAudio() const override { return hasAudio_; }
    bool HasVideo() const override { return natural_.isValid(); }
    MCIERROR SetWindow(HWND window) override;
    MCIERROR Put(const QRect& destination) override;
    MCIERROR Where(unsigned flags, QRect& rect) const override;

  protected:
    GstElement* Build(const QByteArray& path, const QString& shownName,
                      MciFailure& failure) override;
    MciFailure Inspect(const QString& shownName) override;
    void Starting() override;
    void PutAudioOutput(GstElement* sink) override;

  private:
    GstElement* MakeVideoSink();
    static GstFlowReturn Deliver(GstAppSink* sink, gpointer self, GstSample* (*pull)(GstAppSink*));
    void TakeFrame(GstSample* sample);
    void Repaint();
    QSize VideoPadSize() const;
    VideoSurface* Surface();

    std::shared_ptr<FrameSlot> frames_ = std::make_shared<FrameSlot>();
    QPointer<VideoSurface> surface_;
    QPointer<QWidget> window_;
    QSize natural_;
    QRect destination_;
    bool hasAudio_ = false;
};

}  // namespace platform
