#include "platform/AudioOutput.h"

#include <QElapsedTimer>
#include <QString>

#include "platform/MediaPipeline.h"

namespace platform {

namespace {

constexpr qint64 kReprobeAfterMs = 30000;
constexpr const char* kFallback = "fakesink";

bool Opens(const char* factory) {
    GstElement* sink = gst_element_factory_make(factory, nullptr);
    if (!sink) return false;
    gst_object_ref_sink(sink);
    const bool opened = gst_element_set_state(sink, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
    gst_element_set_state(sink, GST_STATE_NULL);
    gst_object_unref(sink);
    return opened;
}

const char* Probe() {
    for (const char* factory : {"pulsesink", "alsasink"})
        if (Opens(factory)) return factory;
    qCDebug(lcMci) << "no sound device: sound plays into a synced fake sink";
    return kFallback;
}

}  // namespace

GstElement* MakeAudioOutput() {
    static const char* factory = nullptr;
    static QElapsedTimer sinceProbe;
    if (!factory || (factory == kFallback && sinceProbe.elapsed() > kReprobeAfterMs)) {
        factory = Probe();
        sinceProbe.start();
    }
    GstElement* sink = gst_element_factory_make(factory, nullptr);
    if (sink && factory == kFallback) g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

}  // namespace platform
