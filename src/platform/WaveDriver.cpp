#include "platform/WaveDriver.h"

#include <vector>

#include "platform/AudioOutput.h"
#include "platform/WaveDecoder.h"

namespace platform {

namespace {

constexpr sf_count_t kFramesPerBuffer = 4096;

GstClockTime FramesToTime(sf_count_t frames, int rate) {
    return gst_util_uint64_scale(static_cast<guint64>(frames), GST_SECOND,
                                 static_cast<guint64>(rate));
}

}  // namespace

WaveDriver::~WaveDriver() {
    Shutdown();
}

GstElement* WaveDriver::Build(const QByteArray& path, const QString& shownName,
                              MciFailure& failure) {
    file_.reset(sf_open(path.constData(), SFM_READ, &info_));
    if (!file_) {
        failure = {MCIERR_INVALID_FILE,
                   QStringLiteral("Not a playable wave file (%1): %2")
                       .arg(QString::fromUtf8(sf_strerror(nullptr)), shownName)};
        return nullptr;
    }
    if (info_.frames <= 0 || info_.samplerate <= 0 || info_.channels <= 0) {
        failure = {MCIERR_INVALID_FILE,
                   QStringLiteral("The wave file holds no sound: %1").arg(shownName)};
        return nullptr;
    }
    if (info_.channels > WaveDecoder::kMaxChannels) {
        failure = {MCIERR_INVALID_FILE,
                   QStringLiteral("The wave file has %1 channels, more than the sound output "
                                  "takes: %2")
                       .arg(info_.channels)
                       .arg(shownName)};
        return nullptr;
    }
    GstElement* pipeline = MakePipeline();
    if (!pipeline)
        failure = {
            MCIERR_CANNOT_LOAD_DRIVER,
            QStringLiteral("The sound output is not installed completely: %1").arg(shownName)};
    return pipeline;
}

GstElement* WaveDriver::MakePipeline() {
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(
        "appsrc name=source format=time stream-type=seekable ! audioconvert ! audioresample "
        "name=last",
        &error);
    GstElement* output = MakeAudioOutput();
    if (error || !output) {
        qCWarning(lcMci) << "cannot build the wave pipeline:"
                         << (error ? error->message : "no sink");
        if (error) g_error_free(error);
        if (pipeline) gst_object_unref(pipeline);
        if (output) gst_object_unref(output);
        return nullptr;
    }
    GstElement* last = gst_bin_get_by_name(GST_BIN(pipeline), "last");
    gst_bin_add(GST_BIN(pipeline), output);
    gst_element_link(last, output);
    gst_object_unref(last);
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "source");
    GstCaps* caps = gst_caps_new_simple(
        "audio/x-raw", "format", G_TYPE_STRING, "F32LE", "layout", G_TYPE_STRING, "interleaved",
        "rate", G_TYPE_INT, info_.samplerate, "channels", G_TYPE_INT, info_.channels, nullptr);
    // Beyond stereo the wave file names no speaker positions: leave them unpositioned.
    if (info_.channels > 2)
        gst_caps_set_simple(caps, "channel-mask", GST_TYPE_BITMASK, guint64{0}, nullptr);
    gst_app_src_set_caps(GST_APP_SRC(source), caps);
    gst_caps_unref(caps);
    gst_app_src_set_duration(GST_APP_SRC(source), FramesToTime(info_.frames, info_.samplerate));
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = &WaveDriver::OnNeedData;
    callbacks.seek_data = &WaveDriver::OnSeekData;
    gst_app_src_set_callbacks(GST_APP_SRC(source), &callbacks, this, nullptr);
    gst_object_unref(source);
    return pipeline;
}

gint64 WaveDriver::QueryDuration() {
    return static_cast<gint64>(FramesToTime(info_.frames, info_.samplerate));
}

void WaveDriver::OnNeedData(GstAppSrc* source, guint, gpointer self) {
    try {
        static_cast<WaveDriver*>(self)->Feed(source);
    } catch (...) {
        qCWarning(lcMci) << "wave decoding failed";
        gst_app_src_end_of_stream(source);
    }
}

gboolean WaveDriver::OnSeekData(GstAppSrc*, guint64 offset, gpointer self) {
    try {
        static_cast<WaveDriver*>(self)->SeekTo(offset);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

void WaveDriver::Feed(GstAppSrc* source) {
    std::vector<float> samples(static_cast<std::size_t>(kFramesPerBuffer * info_.channels));
    sf_count_t first = 0;
    sf_count_t frames = 0;
    {
        const std::lock_guard lock(fileMutex_);
        first = nextFrame_;
        frames = sf_readf_float(file_.get(), samples.data(), kFramesPerBuffer);
        if (frames > 0) nextFrame_ += frames;
    }
    if (frames <= 0) {
        gst_app_src_end_of_stream(source);
        return;
    }
    const gsize bytes = static_cast<gsize>(frames * info_.channels) * sizeof(float);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_fill(buffer, 0, samples.data(), bytes);
    GST_BUFFER_PTS(buffer) = FramesToTime(first, info_.samplerate);
    GST_BUFFER_DURATION(buffer) =
        FramesToTime(first + frames, info_.samplerate) - FramesToTime(first, info_.samplerate);
    gst_app_src_push_buffer(source, buffer);
}

void WaveDriver::SeekTo(guint64 time) {
    const auto frame = static_cast<sf_count_t>(
        gst_util_uint64_scale(time, static_cast<guint64>(info_.samplerate), GST_SECOND));
    const std::lock_guard lock(fileMutex_);
    nextFrame_ = sf_seek(file_.get(), std::min(frame, info_.frames), SEEK_SET);
    if (nextFrame_ < 0) nextFrame_ = 0;
}

}  // namespace platform
