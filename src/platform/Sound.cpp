#include "platform/Sound.h"

namespace platform {

namespace {

// FIXME: a silent stand-in that keeps the skin controls linkable until the
// real sound backend lands; that backend's accessor replaces this file.
class SilentSound : public ISound {
  public:
    bool PlaySound(const void*, unsigned) override { return false; }
};

std::unique_ptr<ISound>& Current() {
    static std::unique_ptr<ISound> current = std::make_unique<SilentSound>();
    return current;
}

}  // namespace

ISound& Sound() {
    return *Current();
}

std::unique_ptr<ISound> SetSound(std::unique_ptr<ISound> sound) {
    std::unique_ptr<ISound> previous = std::move(Current());
    Current() = sound ? std::move(sound) : std::make_unique<SilentSound>();
    return previous;
}

}  // namespace platform
