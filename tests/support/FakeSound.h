#pragma once

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sound/Sound.h"
#include "support/ServiceScope.h"

// Stands in for the sound service: records every call, plays nothing, and
// can pretend that sounds take time. Install it with FakeSoundScope.
class FakeSound : public platform::ISound {
  public:
    struct Call {
        const void* sound = nullptr;
        // The name passed, for a file or resource; none for a null sound, a
        // memory image or a numeric resource id.
        std::optional<std::string> name;
        unsigned flags = 0;
    };

    bool PlaySound(const void* sound, unsigned flags) override;

    const std::vector<Call>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // What every call returns (true at first); a null sound always succeeds.
    void SetResult(bool result) { result_ = result; }
    // The length of every sound: a synchronous call blocks that long, an
    // asynchronous one counts as playing that long (a loop until stopped).
    void SetDuration(std::chrono::milliseconds duration) { duration_ = duration; }
    // Whether a sound started in the background is still playing.
    bool Playing() const;

  private:
    std::vector<Call> calls_;
    bool result_ = true;
    std::chrono::milliseconds duration_{0};
    bool looping_ = false;
    std::optional<std::chrono::steady_clock::time_point> playingUntil_;
};

void PrintTo(const FakeSound::Call& call, std::ostream* out);

using FakeSoundScope = ServiceScope<platform::SetSound, FakeSound>;
