#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/WaveDecoder.h"

typedef struct _GstElement GstElement;
typedef struct _GstAppSrc GstAppSrc;

namespace platform {

// Where sounds go: the desktop's audio output (which, where there is no sound
// device, falls back by itself to a fake sink that keeps real time), or always
// such a fake sink, which then counts as a device (tests, benchmarks).
enum class SoundSink { Auto, Null };

// One sound on its way out: a pipeline of its own (appsrc, audioconvert,
// audioresample, sink) fed with decoded frames on the appsrc's streaming
// thread. Created, waited on and destroyed on one thread; destroying it stops
// the sound.
class SoundOutput {
public:
    // Called once on a streaming thread when the sound has ended or failed.
    // It must not block or change the pipeline's state.
    using EndedHandler = std::function<void()>;

    // Null when the pipeline cannot be built or started.
    static std::unique_ptr<SoundOutput> Start(std::unique_ptr<WaveDecoder> decoder, bool loop,
                                              SoundSink sink, EndedHandler onEnded = {});
    ~SoundOutput() = default;
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Blocks until the sound has played to its end, an error or the timeout;
    // true only when it played to its end on a sound device.
    bool WaitForEnd(std::chrono::nanoseconds timeout);
    bool Ended() const { return ended_; }
    // False when the desktop's output fell back to its fake sink.
    bool OnDevice() const { return onDevice_; }

private:
    SoundOutput(std::unique_ptr<WaveDecoder> decoder, bool loop, EndedHandler onEnded);
    bool Build(SoundSink sink);
    bool Play(SoundSink sink);
    void Feed(GstAppSrc* source) noexcept;
    void NoteEnd() noexcept;

    // Brings the pipeline to a stop before releasing it.
    struct PipelineDeleter {
        void operator()(GstElement* pipeline) const;
    };

    // Declared before the pipeline, so that they outlive its threads.
    std::unique_ptr<WaveDecoder> decoder_;
    const bool loop_;
    EndedHandler onEnded_;
    std::unique_ptr<GstElement, PipelineDeleter> pipeline_;
    GstElement* sink_ = nullptr;   // held by the pipeline
    std::int64_t framesSent_ = 0;  // streaming thread only
    std::atomic<bool> ended_ = false;
    bool onDevice_ = false;
};

}  // namespace platform
