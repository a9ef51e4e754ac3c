#pragma once

#include <QString>
#include <cstdint>

#include "toolkit/Component.h"

enum TWhereWave : std::uint8_t { wwInFile = 0, wwInResource = 1, wwInRAM = 2 };

// Plays one wave sound through the sound service: from a file, a compiled-in
// resource or a wave image in memory, once or looped, waiting for its end or
// in the background. It keeps no sound data, holds nothing between calls and
// cannot stop a sound (a later sound, or none, replaces it).
//
// Form data stores WaveName, Loop and Async always and WhereWave only when it
// is not wwInFile, its declared default.
class TPlayerWave : public TComponent {
  public:
    using TComponent::TComponent;

    const QString& WaveName() const { return waveName_; }
    void SetWaveName(const QString& name) { waveName_ = name; }
    TWhereWave WhereWave() const { return whereWave_; }
    void SetWhereWave(TWhereWave where) { whereWave_ = where; }
    bool Loop() const { return loop_; }
    void SetLoop(bool loop) { loop_ = loop; }
    bool Async() const { return async_; }
    void SetAsync(bool async) { async_ = async; }

    // Plays the sound as the properties say; true when the service played it.
    bool Play();

    // A complete wave file image, for wwInRAM; the caller keeps it alive.
    // A public field, never stored in form data.
    const void* WaveData = nullptr;

  private:
    QString waveName_;
    TWhereWave whereWave_ = wwInFile;
    bool loop_ = false;
    bool async_ = false;
};
