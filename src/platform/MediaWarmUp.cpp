#include "platform/MediaWarmUp.h"

#include <thread>

#include "platform/GstHandles.h"

namespace platform {

namespace {

// What the first click and the first clip load: their elements' plugins.
constexpr const char* kFirstUsed[] = {"appsrc",   "audioconvert", "audioresample", "pulsesink",
                                      "alsasink", "fakesink",     "playbin"};

void LoadFirstUsed() {
    if (!StartGStreamer()) return;
    for (const char* name : kFirstUsed) {
        const GstObjectPtr<GstElementFactory> factory(gst_element_factory_find(name));
        if (!factory) continue;
        if (GstPluginFeature* loaded = gst_plugin_feature_load(GST_PLUGIN_FEATURE(factory.get())))
            gst_object_unref(loaded);
    }
}

// Joined at exit: a program must not end while GStreamer is starting.
struct Preparation {
    std::thread thread;
    ~Preparation() {
        if (thread.joinable()) thread.join();
    }
};

}  // namespace

void PrepareGStreamerInBackground() {
    static Preparation preparation;
    if (!preparation.thread.joinable()) preparation.thread = std::thread(LoadFirstUsed);
}

}  // namespace platform
