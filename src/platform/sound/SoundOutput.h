#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/sound/AudioOutput.h"
#include "platform/sound/WaveSource.h"

typedef struct _GstMessage GstMessage;

namespace platform {

// Where sounds go: the route the audio output policy picks for each sound,
// or always the silent fake sink, which then counts as a device (tests,
// benchmarks).
enum class SoundSink { Auto, Null };

// The sound service's output: one pipeline (appsrc, audioconvert,
// audioresample, sink) kept from one sound to the next, so that a press
// costs no new stream on the sound server. It is built again only when the
// route or the sound's format changes or the sink failed. Used from one
// thread; the end of a sound is noted on a streaming thread.
class SoundOutput {
  public:
    explicit SoundOutput(SoundSink sink);
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Stops the sound playing and starts 'decoder'; false when nothing could
    // be started.
    bool Start(std::unique_ptr<WaveDecoder> decoder, bool loop);
    // Blocks until the sound started last has been played out, has failed,
    // or the timeout; true only when it played to its end on a device.
    bool WaitForEnd(std::chrono::nanoseconds timeout);
    // Silences the sound playing, keeping the stream for the next.
    void Stop();
    bool Playing() const;
    // False when the sound started last plays to no device.
    bool OnDevice() const { return onDevice_; }

  private:
    struct PipelineDeleter {
        void operator()(GstElement* pipeline) const;
    };

    bool Fits(AudioRoute route, const WaveDecoder& decoder) const;
    bool Build(AudioRoute route, const WaveDecoder& decoder);
    bool Restart();
    void Note(GstMessage* message);
    void NoteFirstBuffers(GstElement* sink);
    void WaitUntilHeard(std::chrono::steady_clock::time_point deadline);

    const SoundSink sink_;
    // Declared before the pipeline, so that it outlives its threads.
    WaveSource source_;
    std::unique_ptr<GstElement, PipelineDeleter> pipeline_;
    AudioRoute route_ = AudioRoute::Silent;
    int rate_ = 0;
    int channels_ = 0;
    bool onDevice_ = false;
    std::chrono::nanoseconds length_{};  // of the sound started last
    std::chrono::nanoseconds ahead_{};   // how far the sink is written ahead of the ear

    // The state of the sound started last, as the bus tells it.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool ended_ = true;
    bool failed_ = false;
    bool broken_ = false;  // the sink failed: build anew for the next sound
    // When the sound's first buffer reached the sink.
    std::optional<std::chrono::steady_clock::time_point> firstBufferAt_;
};

}  // namespace platform
