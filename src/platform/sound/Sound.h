#pragma once

#include <cstdint>
#include <memory>

namespace platform {

// Flag words of the sound service, with the platform's values.
constexpr unsigned SND_SYNC = 0x0;
constexpr unsigned SND_ASYNC = 0x1;
constexpr unsigned SND_NODEFAULT = 0x2;
constexpr unsigned SND_MEMORY = 0x4;
constexpr unsigned SND_LOOP = 0x8;
constexpr unsigned SND_NOSTOP = 0x10;
constexpr unsigned SND_FILENAME = 0x20000;
constexpr unsigned SND_RESOURCE = 0x40004;

// A resource "name" below 0x10000 is a numeric resource id, not a pointer.
inline bool IsResourceId(const void* sound) {
    return reinterpret_cast<std::uintptr_t>(sound) < 0x10000;
}

// Plays wave sounds: one sound at a time, a new one replacing the one playing.
// Called on the GUI thread only.
//
// PlaySound(sound, flags): 'sound' is a null-terminated UTF-8 file name (with
// a drive letter and backslashes, or a native path), a resource name (with
// SND_RESOURCE), or a pointer to a complete wave file image (with
// SND_MEMORY). A null sound stops the sound that is playing and succeeds.
// Without SND_ASYNC the call returns only when the sound has ended; SND_LOOP
// repeats an asynchronous sound until it is stopped or replaced (a
// synchronous one plays once). SND_NOSTOP fails, playing nothing, while a
// sound is playing. A sound that is missing or not a playable wave plays the
// desktop's default event sound instead, once, unless SND_NODEFAULT. Returns
// false when nothing could be played or it played with no sound device.
// Never blocks longer than the sound plus a small bound.
class ISound {
  public:
    virtual ~ISound() = default;
    virtual bool PlaySound(const void* sound, unsigned flags) = 0;

    // The older entry point: a name (file or alias) and SND_ASYNC/SND_LOOP/...
    bool SndPlaySound(const char* name, unsigned flags) { return PlaySound(name, flags); }
};

// The sound service in use; the Linux backend unless a test swapped in another.
ISound& Sound();
// Puts 'sound' in place and returns the previous service (tests restore it).
std::unique_ptr<ISound> SetSound(std::unique_ptr<ISound> sound);

}  // namespace platform
