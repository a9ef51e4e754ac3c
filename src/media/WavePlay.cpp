#include "media/WavePlay.h"

#include "platform/sound/Sound.h"

using namespace platform;

bool TPlayerWave::Play() {
    unsigned flags = whereWave_ == wwInRAM        ? SND_MEMORY
                     : whereWave_ == wwInResource ? SND_RESOURCE
                                                  : SND_FILENAME;
    if (loop_) flags |= SND_LOOP;
    flags |= async_ ? SND_ASYNC : SND_SYNC;
    // A name travels as text, an empty one as an empty string, never null;
    // a memory image as the pointer it is.
    const QByteArray name = waveName_.toUtf8();
    const void* sound = whereWave_ == wwInRAM ? WaveData : name.constData();
    return Sound().PlaySound(sound, flags);
}
