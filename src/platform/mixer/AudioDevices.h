#pragma once

#include <cstdint>
#include <memory>

namespace platform {

// Result codes of the device calls, with the platform's values.
using MMRESULT = unsigned;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;

// Support flags of the capability records: the volume can be set, and set
// per channel.
constexpr std::uint32_t AUXCAPS_VOLUME = 0x1;
constexpr std::uint32_t AUXCAPS_LRVOLUME = 0x2;
constexpr std::uint32_t WAVECAPS_VOLUME = 0x4;
constexpr std::uint32_t WAVECAPS_LRVOLUME = 0x8;
constexpr std::uint32_t MIDICAPS_VOLUME = 0x1;
constexpr std::uint32_t MIDICAPS_LRVOLUME = 0x2;

// The three classes of output line: auxiliary (CD audio), wave output and
// MIDI synthesiser output. Each class numbers its devices from 0.
enum class OutputClass { Aux = 0, WaveOut = 1, MidiOut = 2 };

// What a device offers; dwSupport carries the class's *CAPS_* flags.
struct OutputCaps {
    char szPname[32] = {};
    std::uint32_t dwSupport = 0;
};

// The output volume lines of the machine. Called on the GUI thread only;
// no call blocks for long or throws.
//
// The device set of each class is fixed when the service is created: lines
// that appear later are not seen, and a line whose mixer goes away stays in
// the numbering and fails its calls until the mixer is back (a restarted
// sound server).
//
// A volume word holds the left channel in its low 16 bits and the right one
// in its high 16 bits, each 0 (silent) to 0xFFFF (loudest). A word written
// reads back the same as long as nobody else changes the line. Reads report
// changes made outside the program. GetVolume and SetVolume allocate nothing,
// as they are polled many times a second.
//
// Every call returns MMSYSERR_NOERROR or an error code; on error the output
// argument is left as it was.
class IAudioDevices {
  public:
    virtual ~IAudioDevices() = default;
    virtual unsigned GetNumDevs(OutputClass outputClass) = 0;
    virtual MMRESULT GetDevCaps(OutputClass outputClass, unsigned deviceId, OutputCaps& caps) = 0;
    virtual MMRESULT GetVolume(OutputClass outputClass, unsigned deviceId,
                               std::uint32_t& volume) = 0;
    virtual MMRESULT SetVolume(OutputClass outputClass, unsigned deviceId,
                               std::uint32_t volume) = 0;
};

// The output volume service in use; the Linux backend unless a test swapped
// in another.
IAudioDevices& AudioDevices();
// Puts 'devices' in place and returns the previous service (tests restore it).
std::unique_ptr<IAudioDevices> SetAudioDevices(std::unique_ptr<IAudioDevices> devices);

}  // namespace platform
