#include "platform/media/VideoDriver.h"

#include <gst/video/video.h>

namespace platform {

namespace {

// playbin's flags for subtitles, which this player never shows, and for its
// own volume element, which the output volume does not use (and which
// GStreamer 1.22's playsink leaks once per pipeline).
constexpr guint kPlayFlagText = 1u << 2;
constexpr guint kPlayFlagSoftVolume = 1u << 4;

QImage FrameImage(GstSample* sample) {
    GstVideoInfo info;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) return {};
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) return {};
    const QImage mapped(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                        GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                        GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGB32);
    QImage copy = mapped.copy();
    gst_video_frame_unmap(&frame);
    return copy;
}

}  // namespace

VideoDriver::~VideoDriver() {
    Shutdown();
    delete surface_.data();
}

GstElement* VideoDriver::Build(const QByteArray& path, const QString& shownName,
                               MciFailure& failure) {
    GError* error = nullptr;
    const GCharPtr uri(gst_filename_to_uri(path.constData(), &error));
    const GErrorPtr whyNot(error);
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    GstElement* sink = MakeVideoSink();
    if (!uri || !playbin || !sink) {
        if (playbin) gst_object_unref(playbin);
        if (sink) gst_object_unref(sink);
        failure = {
            MCIERR_CANNOT_LOAD_DRIVER,
            QStringLiteral("The video player is not installed completely: %1").arg(shownName)};
        return nullptr;
    }
    guint flags = 0;
    g_object_get(playbin, "flags", &flags, nullptr);
    g_object_set(playbin, "uri", uri.get(), "video-sink", sink, "flags",
                 flags & ~(kPlayFlagText | kPlayFlagSoftVolume), nullptr);
    return playbin;
}

void VideoDriver::PutAudioOutput(GstElement* sink) {
    g_object_set(Pipeline(), "audio-sink", sink, nullptr);
}

MciFailure VideoDriver::Inspect(const QString& shownName) {
    gint videoStreams = 0;
    gint audioStreams = 0;
    g_object_get(Pipeline(), "n-video", &videoStreams, "n-audio", &audioStreams, nullptr);
    hasAudio_ = audioStreams > 0;
    if (videoStreams > 0) natural_ = VideoPadSize();
    if ((!hasAudio_ && !natural_.isValid()) || LengthMs() == 0)
        return {MCIERR_INVALID_FILE,
                QStringLiteral("The file holds no playable sound or video: %1").arg(shownName)};
    destination_ = QRect(QPoint(0, 0), natural_);
    if (natural_.isValid()) Surface()->resize(natural_);
    return {};
}

QSize VideoDriver::VideoPadSize() const {
    GstPad* raw = nullptr;
    g_signal_emit_by_name(Pipeline(), "get-video-pad", 0, &raw);
    const GstObjectPtr<GstPad> pad(raw);
    if (!pad) return {};
    const GstCapsPtr caps(gst_pad_get_current_caps(pad.get()));
    GstVideoInfo info;
    if (!caps || !gst_video_info_from_caps(&info, caps.get())) return {};
    return {GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info)};
}

VideoSurface* VideoDriver::Surface() {
    if (!surface_) {
        surface_ = new VideoSurface(frames_, window_);
        surface_->setGeometry(window_ ? destination_ : QRect(QPoint(0, 0), natural_));
        if (window_) surface_->show();
    }
    return surface_;
}

void VideoDriver::Starting() {
    if (HasVideo() && !Surface()->parentWidget()) Surface()->show();
}

MCIERROR VideoDriver::SetWindow(HWND window) {
    if (!HasVideo()) return MCIERR_UNSUPPORTED_FUNCTION;
    if (window == window_ && surface_) return 0;
    if (surface_ && surface_->parentWidget()) {
        // The old window may be on its way out: leave it alone and let the
        // surface go with the next turn of the event loop (or with it).
        surface_->hide();
        surface_->deleteLater();
        surface_.clear();
    }
    window_ = window;
    if (surface_) {
        surface_->setParent(window_);
        surface_->setGeometry(destination_);
        surface_->show();
    } else {
        Surface();
    }
    return 0;
}

MCIERROR VideoDriver::Put(const QRect& destination) {
    if (!HasVideo()) return MCIERR_UNSUPPORTED_FUNCTION;
    destination_ = destination;
    if (window_) Surface()->setGeometry(destination_);
    return 0;
}

MCIERROR VideoDriver::Where(unsigned flags, QRect& rect) const {
    if (!HasVideo()) return MCIERR_UNSUPPORTED_FUNCTION;
    if (flags & MCI_DGV_WHERE_SOURCE)
        rect = QRect(QPoint(0, 0), natural_);
    else if (flags & MCI_DGV_WHERE_DESTINATION)
        rect = destination_;
    else
        return MCIERR_MISSING_PARAMETER;
    return 0;
}

GstElement* VideoDriver::MakeVideoSink() {
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!sink) return nullptr;
    const GstCapsPtr caps(gst_caps_from_string("video/x-raw,format=BGRx,pixel-aspect-ratio=1/1"));
    g_object_set(sink, "caps", caps.get(), "max-buffers", 1u, "drop", TRUE, "sync", TRUE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = [](GstAppSink* appsink, gpointer self) {
        return Deliver(appsink, self, &gst_app_sink_pull_preroll);
    };
    callbacks.new_sample = [](GstAppSink* appsink, gpointer self) {
        return Deliver(appsink, self, &gst_app_sink_pull_sample);
    };
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    return sink;
}

GstFlowReturn VideoDriver::Deliver(GstAppSink* sink, gpointer self,
                                   GstSample* (*pull)(GstAppSink*)) {
    // Runs in a streaming thread: nothing may unwind into GStreamer.
    try {
        const GstSamplePtr sample(pull(sink));
        if (sample) static_cast<VideoDriver*>(self)->TakeFrame(sample.get());
    } catch (...) {
        qCWarning(lcMci) << "dropped a video frame";
    }
    return GST_FLOW_OK;
}

void VideoDriver::TakeFrame(GstSample* sample) {
    QImage frame = FrameImage(sample);
    if (frame.isNull()) return;
    frames_->Store(std::move(frame));
    if (frames_->RequestRepaint())
        QMetaObject::invokeMethod(
            Relay(), [this] { Repaint(); }, Qt::QueuedConnection);
}

void VideoDriver::Repaint() {
    frames_->RepaintTaken();
    if (surface_) surface_->update();
}

}  // namespace platform
