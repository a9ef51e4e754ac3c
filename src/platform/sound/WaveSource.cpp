#include "platform/sound/WaveSource.h"

#include <gst/app/gstappsrc.h>
#include <gst/audio/audio.h>

#include "platform/GstHandles.h"

namespace platform {

namespace {

// About 20 ms a buffer: small enough that a stop or a loop reacts at once,
// large enough that a click travels in one or two buffers.
constexpr int kBuffersPerSecond = 50;
constexpr int kQueuedBuffers = 4;

GstClockTime FramesToTime(std::int64_t frames, int rate) {
    return gst_util_uint64_scale_int(static_cast<guint64>(frames), GST_SECOND, rate);
}

}  // namespace

WaveSource::~WaveSource() = default;

GstCaps* WaveSource::CapsFor(const WaveDecoder& decoder) {
    // Mono and stereo get their usual positions; a wave file names none
    // beyond that, so more channels stay unpositioned.
    GstAudioInfo info;
    gst_audio_info_set_format(&info, GST_AUDIO_FORMAT_F32, decoder.SampleRate(), decoder.Channels(),
                              nullptr);
    return gst_audio_info_to_caps(&info);
}

void WaveSource::Attach(GstElement* appsrc) {
    appsrc_ = GST_APP_SRC(appsrc);
    g_object_set(appsrc, "format", GST_FORMAT_TIME, "stream-type", GST_APP_STREAM_TYPE_SEEKABLE,
                 nullptr);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = [](GstAppSrc* source, guint, gpointer self) {
        static_cast<WaveSource*>(self)->Feed(source);
    };
    callbacks.seek_data = [](GstAppSrc*, guint64 time, gpointer self) -> gboolean {
        return static_cast<WaveSource*>(self)->Seek(time);
    };
    gst_app_src_set_callbacks(appsrc_, &callbacks, this, nullptr);
}

void WaveSource::Replace(std::unique_ptr<WaveDecoder> decoder, bool loop) {
    if (decoder) {
        const GstCapsPtr caps(CapsFor(*decoder));
        const guint64 bufferBytes = sizeof(float) * static_cast<guint64>(decoder->Channels()) *
                                    (decoder->SampleRate() / kBuffersPerSecond + 1);
        gst_app_src_set_caps(appsrc_, caps.get());
        gst_app_src_set_max_bytes(appsrc_, bufferBytes * kQueuedBuffers);
        gst_app_src_set_duration(appsrc_, static_cast<GstClockTime>(decoder->Duration().count()));
    }
    const std::lock_guard lock(mutex_);
    decoder_ = std::move(decoder);
    loop_ = loop;
    framesSent_ = 0;
}

bool WaveSource::Seek(std::uint64_t time) noexcept {
    const std::lock_guard lock(mutex_);
    if (!decoder_) return true;
    const auto frame = static_cast<std::int64_t>(
        gst_util_uint64_scale(time, static_cast<guint64>(decoder_->SampleRate()), GST_SECOND));
    framesSent_ = std::min(frame, decoder_->Frames());
    return decoder_->SeekTo(framesSent_);
}

void WaveSource::Feed(GstAppSrc* source) noexcept {
    std::unique_lock lock(mutex_);
    if (!decoder_) {
        lock.unlock();
        gst_app_src_end_of_stream(source);
        return;
    }
    const int channels = decoder_->Channels();
    const int rate = decoder_->SampleRate();
    const std::int64_t wanted = rate / kBuffersPerSecond + 1;
    GstBuffer* buffer =
        gst_buffer_new_allocate(nullptr, sizeof(float) * channels * wanted, nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    auto* frames = reinterpret_cast<float*>(map.data);
    std::int64_t got = decoder_->Read(frames, wanted);
    if (got == 0 && loop_ && framesSent_ > 0 && decoder_->SeekTo(0))
        got = decoder_->Read(frames, wanted);
    gst_buffer_unmap(buffer, &map);
    if (got == 0) {
        lock.unlock();
        gst_buffer_unref(buffer);
        gst_app_src_end_of_stream(source);
        return;
    }
    gst_buffer_set_size(buffer, static_cast<gssize>(sizeof(float) * channels * got));
    const GstClockTime start = FramesToTime(framesSent_, rate);
    framesSent_ += got;
    GST_BUFFER_PTS(buffer) = start;
    GST_BUFFER_DURATION(buffer) = FramesToTime(framesSent_, rate) - start;
    lock.unlock();
    gst_app_src_push_buffer(source, buffer);
}

}  // namespace platform
