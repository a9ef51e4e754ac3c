#include "platform/sound/SoundOutput.h"

#include <gst/audio/gstaudiobasesink.h>

#include <QLoggingCategory>
#include <thread>

#include "platform/GstHandles.h"

namespace platform {

Q_LOGGING_CATEGORY(lcSoundOutput, "brelmo.platform.soundoutput", QtInfoMsg)

namespace {

// How long a state change of the kept pipeline may take before it counts as
// broken.
constexpr GstClockTime kSettleTimeout = 2 * GST_SECOND;

// A kept stream on a sound server fails when the server goes away, or when
// it is first used after the server came back: the audio output policy logs
// the server's going, once, at the next use.
void LogError(GstMessage* message, AudioRoute route) {
    GError* raw = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &raw, &debug);
    const GErrorPtr error(raw);
    const GCharPtr details(debug);
    if (route == AudioRoute::Server)
        qCDebug(lcSoundOutput) << "sound output failed:" << error->message;
    else
        qCWarning(lcSoundOutput) << "sound output failed:" << error->message;
    qCDebug(lcSoundOutput) << debug;
}

// A device sink synced to the clock places each sound by its time and
// drops the part the device has already run past: on a busy machine, where
// the first buffer comes some milliseconds late, it cut the head off the
// click (on a quiet one too, at times, while a clip played beside it).
// Unsynced, it writes each sound whole from its first sample on, as fast as
// the device takes it; its end of stream then only says that all is written,
// and WaitForEnd waits for the rest of the sound's length. Returns how far
// ahead of what is heard the device is written: its buffer.
std::chrono::nanoseconds PlayAsWritten(GstElement* sink) {
    if (!GST_IS_AUDIO_BASE_SINK(sink)) return {};
    g_object_set(sink, "sync", FALSE, nullptr);
    gint64 bufferUs = 0;
    g_object_get(sink, "buffer-time", &bufferUs, nullptr);
    return std::chrono::microseconds(bufferUs);
}

GstElement* AddElement(GstElement* pipeline, const char* factory) {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (!element) {
        qCWarning(lcSoundOutput) << "missing GStreamer element" << factory;
        return nullptr;
    }
    gst_bin_add(GST_BIN(pipeline), element);
    return element;
}

}  // namespace

void SoundOutput::PipelineDeleter::operator()(GstElement* pipeline) const {
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_bus_set_sync_handler(GstObjectPtr<GstBus>(gst_element_get_bus(pipeline)).get(), nullptr,
                             nullptr, nullptr);
    gst_object_unref(pipeline);
}

SoundOutput::SoundOutput(SoundSink sink) : sink_(sink) {}

SoundOutput::~SoundOutput() {
    pipeline_.reset();
}

bool SoundOutput::Start(std::unique_ptr<WaveDecoder> decoder, bool loop) {
    const AudioRoute route = sink_ == SoundSink::Null ? AudioRoute::Silent : CurrentAudioRoute();
    // A kept stream may have died with a server that is back now: stopping
    // it tells, and it is built anew.
    if (pipeline_ && Fits(route, *decoder)) Stop();
    if (pipeline_ && !Fits(route, *decoder)) pipeline_.reset();
    const bool fresh = !pipeline_;
    if (fresh && !Build(route, *decoder)) {
        pipeline_.reset();
        return false;
    }
    onDevice_ = sink_ == SoundSink::Null || route != AudioRoute::Silent;
    length_ = decoder->Duration();
    source_.Replace(std::move(decoder), loop);
    if (!fresh && !Restart()) return false;
    {
        // An end noted from here on is this sound's: the flush took the last one's.
        const std::lock_guard lock(mutex_);
        ended_ = false;
        failed_ = false;
        firstBufferAt_.reset();
    }
    if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        broken_ = true;
        return false;
    }
    return true;
}

bool SoundOutput::Fits(AudioRoute route, const WaveDecoder& decoder) const {
    const std::lock_guard lock(mutex_);
    return !broken_ && route == route_ && decoder.SampleRate() == rate_ &&
           decoder.Channels() == channels_;
}

bool SoundOutput::Build(AudioRoute route, const WaveDecoder& decoder) {
    pipeline_.reset(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("sound"))));
    GstElement* pipeline = pipeline_.get();
    GstElement* source = AddElement(pipeline, "appsrc");
    GstElement* convert = AddElement(pipeline, "audioconvert");
    GstElement* resample = AddElement(pipeline, "audioresample");
    GstElement* sink = MakeAudioOutput(route, AudioLatency::Click);
    if (!source || !convert || !resample || !sink) {
        if (sink) gst_object_unref(gst_object_ref_sink(sink));
        return false;
    }
    ahead_ = PlayAsWritten(sink);
    NoteFirstBuffers(sink);
    gst_bin_add(GST_BIN(pipeline), sink);
    if (!gst_element_link_many(source, convert, resample, sink, nullptr)) return false;
    source_.Attach(source);
    route_ = route;
    rate_ = decoder.SampleRate();
    channels_ = decoder.Channels();
    {
        const std::lock_guard lock(mutex_);
        broken_ = false;
    }
    const GstObjectPtr<GstBus> bus(gst_element_get_bus(pipeline));
    gst_bus_set_sync_handler(
        bus.get(),
        [](GstBus*, GstMessage* message, gpointer self) {
            static_cast<SoundOutput*>(self)->Note(message);
            gst_message_unref(message);
            return GST_BUS_DROP;
        },
        this, nullptr);
    return true;
}

// Back to the start of the stream for the sound just put in: the flush drops
// whatever the last sound left queued, and the stream stays open.
bool SoundOutput::Restart() {
    if (gst_element_seek_simple(pipeline_.get(), GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0))
        return true;
    qCDebug(lcSoundOutput) << "the kept sound pipeline did not restart; building it anew";
    const std::lock_guard lock(mutex_);
    broken_ = true;
    return false;
}

void SoundOutput::Note(GstMessage* message) {
    const GstMessageType type = GST_MESSAGE_TYPE(message);
    if (type != GST_MESSAGE_EOS && type != GST_MESSAGE_ERROR) return;
    if (type == GST_MESSAGE_ERROR) LogError(message, route_);
    {
        const std::lock_guard lock(mutex_);
        if (type == GST_MESSAGE_ERROR) broken_ = failed_ = true;
        ended_ = true;
    }
    changed_.notify_all();
}

bool SoundOutput::WaitForEnd(std::chrono::nanoseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_until(lock, deadline, [this] { return ended_; })) {
            qCWarning(lcSoundOutput) << "sound did not end in time";
            broken_ = true;
            return false;
        }
        if (failed_) return false;
    }
    WaitUntilHeard(deadline);
    return onDevice_;
}

// The device takes the sound's first buffer at once, is heard its buffer
// later and plays the sound out in real time from there: returning earlier
// let the next thing done (a clip's stop) break into the click's tail.
void SoundOutput::WaitUntilHeard(std::chrono::steady_clock::time_point deadline) {
    std::optional<std::chrono::steady_clock::time_point> from;
    {
        const std::lock_guard lock(mutex_);
        from = firstBufferAt_;
    }
    if (from) std::this_thread::sleep_until(std::min(*from + ahead_ + length_, deadline));
}

// Notes when the first buffer of each sound reaches the sink.
void SoundOutput::NoteFirstBuffers(GstElement* sink) {
    const GstObjectPtr<GstPad> pad(gst_element_get_static_pad(sink, "sink"));
    gst_pad_add_probe(
        pad.get(), GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo*, gpointer self) {
            auto* output = static_cast<SoundOutput*>(self);
            const std::lock_guard lock(output->mutex_);
            if (!output->firstBufferAt_) output->firstBufferAt_ = std::chrono::steady_clock::now();
            return GST_PAD_PROBE_OK;
        },
        this, nullptr);
}

void SoundOutput::Stop() {
    if (!pipeline_) return;
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
        firstBufferAt_.reset();
    }
    gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
    if (gst_element_get_state(pipeline_.get(), nullptr, nullptr, kSettleTimeout) ==
        GST_STATE_CHANGE_FAILURE) {
        const std::lock_guard lock(mutex_);
        broken_ = true;
    }
}

bool SoundOutput::Playing() const {
    const std::lock_guard lock(mutex_);
    return !ended_ ||
           (firstBufferAt_ && std::chrono::steady_clock::now() < *firstBufferAt_ + length_);
}

}  // namespace platform
