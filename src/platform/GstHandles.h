#pragma once

#include <gst/gst.h>

#include <memory>

namespace platform {

// Owning handles for GLib and GStreamer objects: each gives its object back
// the way the library asks, when the handle goes.
struct GstObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct GstCapsUnref {
    void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};
struct GstSampleUnref {
    void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};
struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};

template <class Object>
using GstObjectPtr = std::unique_ptr<Object, GstObjectUnref>;
using GstElementPtr = GstObjectPtr<GstElement>;
using GstCapsPtr = std::unique_ptr<GstCaps, GstCapsUnref>;
using GstSamplePtr = std::unique_ptr<GstSample, GstSampleUnref>;
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;
using GCharPtr = std::unique_ptr<gchar, GFree>;

// Starts GStreamer once per process, for whichever service needs it first;
// false (and one log line) when it cannot start.
bool StartGStreamer();
// Starts GStreamer and loads the plugins of the first click and clip on a
// thread of its own, once: on a fresh install the plugin registry is built
// then (some 0.3 s), not at the first press. A start asked for meanwhile
// waits for it.
void PrepareGStreamerInBackground();

}  // namespace platform
