#include "platform/sound/SoundOutput.h"

#include <QLoggingCategory>

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

// The pipeline runs on the system clock, which a device sink would slave
// its own clock to. Between two sounds the stream stands still while the
// system clock runs on, and the skew correction then takes the next sound
// for late and drops it: every press after a pause would be silent. Not
// slaving plays each sound as it comes.
void DoNotSlave(GstElement* sink) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(sink), "slave-method"))
        gst_util_set_object_arg(G_OBJECT(sink), "slave-method", "none");
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
    source_.Replace(std::move(decoder), loop);
    if (!fresh && !Restart()) return false;
    {
        // An end noted from here on is this sound's: the flush took the last one's.
        const std::lock_guard lock(mutex_);
        ended_ = false;
        failed_ = false;
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
    // The end of a sound is waited for on the monotonic clock: a sound
    // server's clock may jump when the kept stream is flushed, which could
    // end a synchronous sound before it has played.
    gst_pipeline_use_clock(GST_PIPELINE(pipeline),
                           GstObjectPtr<GstClock>(gst_system_clock_obtain()).get());
    GstElement* source = AddElement(pipeline, "appsrc");
    GstElement* convert = AddElement(pipeline, "audioconvert");
    GstElement* resample = AddElement(pipeline, "audioresample");
    GstElement* sink = MakeAudioOutput(route, AudioLatency::Click);
    if (!source || !convert || !resample || !sink) {
        if (sink) gst_object_unref(gst_object_ref_sink(sink));
        return false;
    }
    DoNotSlave(sink);
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
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [this] { return ended_; })) {
        qCWarning(lcSoundOutput) << "sound did not end in time";
        broken_ = true;
        return false;
    }
    return !failed_ && onDevice_;
}

void SoundOutput::Stop() {
    if (!pipeline_) return;
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
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
    return !ended_;
}

}  // namespace platform
