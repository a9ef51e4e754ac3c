#pragma once

#include <QByteArray>
#include <chrono>
#include <memory>
#include <optional>

#include "platform/sound/Sound.h"
#include "platform/sound/SoundOutput.h"

namespace platform {

// The sound service on libsndfile and GStreamer: each sound is decoded by
// libsndfile and played through the one output the service keeps.
//
// Sources: a file name goes through the file system's drive-letter
// translation (a native path works as well) and the file is read afresh on
// every call. A resource name N is the compiled-in file ":/sounds/N" (a name
// that already starts with ":/" is taken as it is; a numeric resource id n is
// ":/sounds/n"). A memory image is copied, as far as its RIFF header says it
// reaches, so the caller may free it once the call returns.
//
// SND_LOOP without SND_ASYNC plays the sound once: a synchronous loop could
// never be stopped, since the only caller that could stop it is the one
// waiting for it.
class LinuxSound : public ISound {
  public:
    struct Options {
        SoundSink sink = SoundSink::Auto;
        // The sound played for a missing or bad one; unset means the desktop
        // theme's bell where installed, empty means none.
        std::optional<QByteArray> defaultSound;
        // How long past its own length a synchronous sound may take to end.
        std::chrono::milliseconds endBound{1000};
    };

    LinuxSound();
    explicit LinuxSound(Options options);
    ~LinuxSound() override;

    bool PlaySound(const void* sound, unsigned flags) override;

  private:
    std::unique_ptr<WaveDecoder> OpenSound(const void* sound, unsigned flags) const;
    std::unique_ptr<WaveDecoder> OpenDefaultSound() const;
    bool Play(std::unique_ptr<WaveDecoder> decoder, unsigned flags);
    bool Playing() const;
    void Stop();

    Options options_;
    // Made with the first sound.
    std::unique_ptr<SoundOutput> output_;
};

}  // namespace platform
