#pragma once

namespace platform {

// Starts GStreamer and loads the plugins of the first click and clip on a
// thread of its own, once: on a fresh install the plugin registry is built
// then (some 0.3 s), not at the first press. A start asked for meanwhile
// waits for it. Declared apart from the GStreamer handles so that the
// layers above call it without the media stack's headers.
void PrepareGStreamerInBackground();

}  // namespace platform
