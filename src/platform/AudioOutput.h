#pragma once

#include <gst/gst.h>

namespace platform {

// A new sink for the default sound output: the first of the sound server's
// and ALSA's sinks that opens, or else a fake sink that keeps time, so that
// playback runs in real time with no sound device. Which one works is probed
// once and kept, sparing every open the probing; "no device" is probed again
// after a while, in case a sound server has come up. GUI thread only.
GstElement* MakeAudioOutput();

}  // namespace platform
