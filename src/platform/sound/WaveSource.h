#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/sound/WaveDecoder.h"

typedef struct _GstElement GstElement;
typedef struct _GstAppSrc GstAppSrc;
typedef struct _GstCaps GstCaps;

namespace platform {

// Feeds a seekable appsrc from a WaveDecoder: float frames in buffers of
// about 20 ms, stamped from the position, looping when asked to. The decoder
// can be replaced while the appsrc lives (the next seek starts it), so one
// pipeline can play one sound after another. Feeding and seeking run on
// streaming threads; the rest on the thread that owns the pipeline.
class WaveSource {
  public:
    WaveSource() = default;
    ~WaveSource();
    WaveSource(const WaveSource&) = delete;
    WaveSource& operator=(const WaveSource&) = delete;

    // Takes the appsrc over: time format, seekable, fed by this source, which
    // must outlive the appsrc's streaming.
    void Attach(GstElement* appsrc);
    // Puts 'decoder' in (or none, which ends the stream at the next buffer);
    // with 'loop' it starts again at its end. Sets the appsrc's caps.
    void Replace(std::unique_ptr<WaveDecoder> decoder, bool loop);

    // The caps the decoder's frames travel in.
    static GstCaps* CapsFor(const WaveDecoder& decoder);

  private:
    void Feed(GstAppSrc* source) noexcept;
    bool Seek(std::uint64_t time) noexcept;

    GstAppSrc* appsrc_ = nullptr;  // held by its pipeline
    std::mutex mutex_;             // guards the rest
    std::unique_ptr<WaveDecoder> decoder_;
    bool loop_ = false;
    std::int64_t framesSent_ = 0;  // since the last seek, loops included
};

}  // namespace platform
