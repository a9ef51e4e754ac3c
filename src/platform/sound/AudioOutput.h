#pragma once

#include <memory>

typedef struct _GstElement GstElement;

namespace platform {

// Where sound can go at this moment, best first: the desktop's sound server,
// plain ALSA, or nowhere (a fake sink that keeps real time, so that playback
// runs at its own pace and ends on time with no device).
enum class AudioRoute { Server, Alsa, Silent };

// What the machine offers now. Asked on every use (each open, each click),
// so it answers in microseconds: it knocks on sockets and looks for cards,
// it never opens a stream.
class IAudioProbe {
  public:
    virtual ~IAudioProbe() = default;
    // A desktop sound server accepts connections.
    virtual bool ServerAnswers() = 0;
    // ALSA's default device has a card, or a server of its own, behind it.
    virtual bool AlsaPlays() = 0;
};

// The rule: the desktop server when it answers, else ALSA, else silence.
AudioRoute ChooseAudioRoute(IAudioProbe& probe);

// The route for a use that starts now, by the probe in place. Each change
// from one use to the next is logged once.
AudioRoute CurrentAudioRoute();
// Whether anything but silence is there now; asks the probe, logs nothing.
bool SoundCanBeHeard();
// Tells that an output of 'route' failed while it played; a lost sound
// server is logged once, here or by the next use, whichever comes first.
void NoteAudioOutputLost(AudioRoute route);
// Puts 'probe' in place and returns the previous one (tests restore it).
std::unique_ptr<IAudioProbe> SetAudioProbe(std::unique_ptr<IAudioProbe> probe);

// How much the sink may hold: media plays smoothly with the sink's usual
// buffer; a click wants its sound out at once.
enum class AudioLatency { Media, Click };

// A new, floating sink element for 'route'; null when its plugin is missing.
GstElement* MakeAudioOutput(AudioRoute route, AudioLatency latency = AudioLatency::Media);

}  // namespace platform
