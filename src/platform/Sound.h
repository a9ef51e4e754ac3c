#pragma once

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

// Plays wave sounds: one sound at a time, a new one replacing the one playing.
// Called on the GUI thread only.
//
// PlaySound(sound, flags): 'sound' is a null-terminated file name (with a
// drive letter and backslashes, or a native path), a resource name (with
// SND_RESOURCE), or a pointer to a complete wave file image (with
// SND_MEMORY). A null sound stops the sound that is playing. Without
// SND_ASYNC the call returns only when the sound has ended; SND_LOOP repeats
// until stopped. A sound that is missing or not a playable wave plays the
// desktop's default event sound instead, unless SND_NODEFAULT. Returns false
// when nothing could be played (no sound device, bad sound with
// SND_NODEFAULT). Never blocks longer than the sound plus a small bound.
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
