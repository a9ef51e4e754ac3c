#include "platform/SoundOutput.h"

#include <gst/app/gstappsrc.h>
#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <QLoggingCategory>

namespace platform {

Q_LOGGING_CATEGORY(lcSoundOutput, "brelmo.platform.soundoutput", QtInfoMsg)

namespace {

struct ObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct MessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using BusPtr = std::unique_ptr<GstBus, ObjectUnref>;
using MessagePtr = std::unique_ptr<GstMessage, MessageUnref>;

// About 20 ms a buffer: small enough that a stop or a loop reacts at once,
// large enough that a click travels in one or two buffers.
constexpr int kBuffersPerSecond = 50;
constexpr int kQueuedBuffers = 4;

BusPtr BusOf(GstElement* pipeline) {
    return BusPtr(gst_element_get_bus(pipeline));
}

void LogError(GstMessage* message) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    qCWarning(lcSoundOutput) << "sound output failed:" << error->message << debug;
    g_clear_error(&error);
    g_free(debug);
}

// Drains the bus for the first error, which must be read before the pipeline
// goes back to NULL (that flushes the bus).
void LogPendingError(GstElement* pipeline) {
    if (MessagePtr error{gst_bus_pop_filtered(BusOf(pipeline).get(), GST_MESSAGE_ERROR)})
        LogError(error.get());
}

GstCaps* CapsFor(const WaveDecoder& decoder) {
    GstAudioChannelPosition positions[64];
    const guint64 mask = gst_audio_channel_get_fallback_mask(decoder.Channels());
    const bool positioned =
        mask != 0 && gst_audio_channel_positions_from_mask(decoder.Channels(), mask, positions);
    GstAudioInfo info;
    gst_audio_info_set_format(&info, GST_AUDIO_FORMAT_F32, decoder.SampleRate(), decoder.Channels(),
                              positioned ? positions : nullptr);
    return gst_audio_info_to_caps(&info);
}

// True when the desktop's output found no device and put its fake sink in.
bool FellBackToFakeSink(GstElement* autoSink) {
    GstIterator* it = gst_bin_iterate_all_by_element_factory_name(GST_BIN(autoSink), "fakesink");
    GValue item = G_VALUE_INIT;
    const bool found = gst_iterator_next(it, &item) == GST_ITERATOR_OK;
    g_value_unset(&item);
    gst_iterator_free(it);
    return found;
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
    gst_bus_set_sync_handler(BusOf(pipeline).get(), nullptr, nullptr, nullptr);
    gst_object_unref(pipeline);
}

SoundOutput::SoundOutput(std::unique_ptr<WaveDecoder> decoder, bool loop, EndedHandler onEnded)
    : decoder_(std::move(decoder)), loop_(loop), onEnded_(std::move(onEnded)) {}

std::unique_ptr<SoundOutput> SoundOutput::Start(std::unique_ptr<WaveDecoder> decoder, bool loop,
                                                SoundSink sink, EndedHandler onEnded) {
    std::unique_ptr<SoundOutput> output(
        new SoundOutput(std::move(decoder), loop, std::move(onEnded)));
    if (!output->Build(sink) || !output->Play(sink)) return nullptr;
    return output;
}

bool SoundOutput::Build(SoundSink sink) {
    pipeline_.reset(gst_pipeline_new("sound"));
    GstElement* pipeline = pipeline_.get();
    GstElement* source = AddElement(pipeline, "appsrc");
    GstElement* convert = AddElement(pipeline, "audioconvert");
    GstElement* resample = AddElement(pipeline, "audioresample");
    sink_ = AddElement(pipeline, sink == SoundSink::Null ? "fakesink" : "autoaudiosink");
    if (!source || !convert || !resample || !sink_) return false;
    if (!gst_element_link_many(source, convert, resample, sink_, nullptr)) return false;
    if (sink == SoundSink::Null)
        g_object_set(sink_, "sync", TRUE, "enable-last-sample", FALSE, nullptr);

    GstCaps* caps = CapsFor(*decoder_);
    const guint64 bufferBytes =
        sizeof(float) * decoder_->Channels() * (decoder_->SampleRate() / kBuffersPerSecond + 1);
    g_object_set(source, "caps", caps, "format", GST_FORMAT_TIME, "max-bytes",
                 bufferBytes * kQueuedBuffers, nullptr);
    gst_caps_unref(caps);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = [](GstAppSrc* appSource, guint, gpointer self) {
        static_cast<SoundOutput*>(self)->Feed(appSource);
    };
    gst_app_src_set_callbacks(GST_APP_SRC(source), &callbacks, this, nullptr);

    gst_bus_set_sync_handler(
        BusOf(pipeline).get(),
        [](GstBus*, GstMessage* message, gpointer self) {
            if (GST_MESSAGE_TYPE(message) & (GST_MESSAGE_EOS | GST_MESSAGE_ERROR))
                static_cast<SoundOutput*>(self)->NoteEnd();
            return GST_BUS_PASS;
        },
        this, nullptr);
    return true;
}

bool SoundOutput::Play(SoundSink sink) {
    GstElement* pipeline = pipeline_.get();
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        LogPendingError(pipeline);
        return false;
    }
    // The desktop's output has chosen its device on the way to READY, inside
    // the call above; the null sink stands in for a device.
    onDevice_ = sink == SoundSink::Null || !FellBackToFakeSink(sink_);
    if (!onDevice_) qCDebug(lcSoundOutput) << "no sound device; playing to the fake sink";
    return true;
}

void SoundOutput::Feed(GstAppSrc* source) noexcept {
    if (ended_) return;
    const int channels = decoder_->Channels();
    const std::int64_t wanted = decoder_->SampleRate() / kBuffersPerSecond + 1;
    GstBuffer* buffer =
        gst_buffer_new_allocate(nullptr, sizeof(float) * channels * wanted, nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    auto* frames = reinterpret_cast<float*>(map.data);
    std::int64_t got = decoder_->Read(frames, wanted);
    if (got == 0 && loop_ && framesSent_ > 0 && decoder_->Rewind())
        got = decoder_->Read(frames, wanted);
    gst_buffer_unmap(buffer, &map);
    if (got == 0) {
        gst_buffer_unref(buffer);
        gst_app_src_end_of_stream(source);
        return;
    }
    gst_buffer_set_size(buffer, static_cast<gssize>(sizeof(float) * channels * got));
    const GstClockTime start = gst_util_uint64_scale_int(static_cast<guint64>(framesSent_),
                                                         GST_SECOND, decoder_->SampleRate());
    framesSent_ += got;
    const GstClockTime end = gst_util_uint64_scale_int(static_cast<guint64>(framesSent_),
                                                       GST_SECOND, decoder_->SampleRate());
    GST_BUFFER_PTS(buffer) = start;
    GST_BUFFER_DURATION(buffer) = end - start;
    gst_app_src_push_buffer(source, buffer);
}

void SoundOutput::NoteEnd() noexcept {
    if (ended_.exchange(true)) return;
    if (onEnded_) onEnded_();
}

bool SoundOutput::WaitForEnd(std::chrono::nanoseconds timeout) {
    const auto types = static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR);
    MessagePtr message{gst_bus_timed_pop_filtered(
        BusOf(pipeline_.get()).get(), static_cast<GstClockTime>(timeout.count()), types)};
    if (!message) {
        qCWarning(lcSoundOutput) << "sound did not end in time";
        return false;
    }
    if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
        LogError(message.get());
        return false;
    }
    return onDevice_;
}

}  // namespace platform
