#include "support/FakeSound.h"

#include <thread>

namespace {

std::optional<std::string> NameOf(const void* sound, unsigned flags) {
    const bool memory = (flags & platform::SND_RESOURCE) == platform::SND_MEMORY;
    if (memory || platform::IsResourceId(sound)) return std::nullopt;
    return std::string(static_cast<const char*>(sound));
}

}  // namespace

bool FakeSound::PlaySound(const void* sound, unsigned flags) {
    calls_.push_back({sound, NameOf(sound, flags), flags});
    looping_ = false;
    playingUntil_.reset();
    if (!sound) return true;
    if (!(flags & platform::SND_ASYNC)) {
        std::this_thread::sleep_for(duration_);
    } else if (result_) {
        looping_ = (flags & platform::SND_LOOP) != 0;
        playingUntil_ = std::chrono::steady_clock::now() + duration_;
    }
    return result_;
}

bool FakeSound::Playing() const {
    if (looping_) return true;
    return playingUntil_ && std::chrono::steady_clock::now() < *playingUntil_;
}

void PrintTo(const FakeSound::Call& call, std::ostream* out) {
    *out << "PlaySound(";
    if (call.name)
        *out << '"' << *call.name << '"';
    else
        *out << call.sound;
    *out << ", 0x" << std::hex << call.flags << std::dec << ")";
}
