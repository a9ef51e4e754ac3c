#include "platform/GstHandles.h"

#include <QLoggingCategory>

namespace platform {

Q_LOGGING_CATEGORY(lcGStreamer, "brelmo.platform.gstreamer", QtInfoMsg)

bool StartGStreamer() {
    static const bool started = [] {
        GError* raw = nullptr;
        if (gst_init_check(nullptr, nullptr, &raw)) return true;
        const GErrorPtr error(raw);
        qCWarning(lcGStreamer) << "GStreamer failed to start:"
                               << (error ? error->message : "unknown error");
        return false;
    }();
    return started;
}

}  // namespace platform
