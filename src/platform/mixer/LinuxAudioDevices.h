#pragma once

#include <QElapsedTimer>
#include <array>
#include <string>
#include <vector>

#include "platform/mixer/AudioDevices.h"

namespace platform {

// One channel of a mixer element: converts between the element's raw volume
// range and a 16-bit channel word (0..0xFFFF), rounding to the nearest step.
// It remembers the last word written, so that the word reads back the same
// even where the element has fewer steps than a word has.
class ChannelVolume {
  public:
    ChannelVolume() = default;
    ChannelVolume(long min, long max) : min_(min), max_(max) {}

    bool HasRange() const { return max_ > min_; }
    // The raw value for a word to be written; remembers the pair.
    long Write(std::uint16_t word);
    // The word for a raw value read from the element.
    std::uint16_t Read(long raw) const;

  private:
    long min_ = 0;
    long max_ = 0;
    long writtenRaw_ = 0;
    std::uint16_t writtenWord_ = 0;
    bool written_ = false;
};

// Output volume lines on the ALSA simple mixer.
//
// Wave output: the "Master" element of the system control ("default", which
// is the sound server's volume where one runs), then each card's "PCM" (or,
// lacking one, its "Master"). Aux: each card's "CD". MIDI: each card's
// "Synth" (or "MIDI"). Only elements with a playback side count; an element
// whose volume cannot be set is a device without the volume flag.
//
// Mixers are opened at creation and kept open; a mixer that stops answering
// (its sound server went away) is opened again once it can be, with the
// numbering of the lines unchanged. A control not opened at creation (it did
// not answer, or no sound output was there at all) is tried again when the
// devices are counted, and its lines are numbered after the others. ALSA's own error
// messages never reach stderr; they go to the "brelmo.audio" log category.
class LinuxAudioDevices : public IAudioDevices {
  public:
    // The system control and every card of the machine.
    LinuxAudioDevices();
    // The given controls only ("hw:1", ...); an empty system control is none.
    LinuxAudioDevices(const std::string& systemControl,
                      const std::vector<std::string>& cardControls);
    ~LinuxAudioDevices() override;

    unsigned GetNumDevs(OutputClass outputClass) override;
    MMRESULT GetDevCaps(OutputClass outputClass, unsigned deviceId, OutputCaps& caps) override;
    MMRESULT GetVolume(OutputClass outputClass, unsigned deviceId, std::uint32_t& volume) override;
    MMRESULT SetVolume(OutputClass outputClass, unsigned deviceId, std::uint32_t volume) override;

    struct Mixer;
    struct Line;

  private:
    // A control to open: the system's (a "Master" line) or a card's.
    struct Control {
        std::string name;
        bool system;
    };

    void AddControl(const Control& control);
    bool OpenControl(const Control& control);
    void OpenLateControls();
    Mixer* OpenMixer(const std::string& control);
    bool Reopen(Mixer& mixer);
    void AddLine(OutputClass outputClass, Mixer* mixer, std::initializer_list<const char*> names);
    MMRESULT Reach(OutputClass outputClass, unsigned deviceId, Line*& line);

    // Lines are declared before the mixers so that they outlive them: closing
    // a mixer reports its elements' removal to the lines.
    std::array<std::vector<std::unique_ptr<Line>>, 3> lines_;
    std::vector<std::unique_ptr<Mixer>> mixers_;
    std::vector<Control> unopened_;
    QElapsedTimer sinceUnopenedTried_;
};

}  // namespace platform
