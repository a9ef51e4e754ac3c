#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/mixer/AudioDevices.h"
#include "support/ServiceScope.h"

// One output device of the fake; its volume word is what the device holds.
struct FakeOutputDevice {
    std::uint32_t support = 0;
    std::uint32_t volume = 0;
    bool capsFail = false;
    bool readFail = false;
    bool writeFail = false;
};

// A device table per output class, read and written like the real lines,
// with counters of the calls.
class FakeAudioDevices : public platform::IAudioDevices {
  public:
    std::vector<FakeOutputDevice>& Devices(platform::OutputClass outputClass) {
        return devices_[static_cast<std::size_t>(outputClass)];
    }

    unsigned GetNumDevs(platform::OutputClass outputClass) override;
    platform::MMRESULT GetDevCaps(platform::OutputClass outputClass, unsigned deviceId,
                                  platform::OutputCaps& caps) override;
    platform::MMRESULT GetVolume(platform::OutputClass outputClass, unsigned deviceId,
                                 std::uint32_t& volume) override;
    platform::MMRESULT SetVolume(platform::OutputClass outputClass, unsigned deviceId,
                                 std::uint32_t volume) override;

    int countQueries = 0;
    int capsQueries = 0;
    int reads = 0;
    int writes = 0;

  private:
    FakeOutputDevice* Find(platform::OutputClass outputClass, unsigned deviceId);

    std::array<std::vector<FakeOutputDevice>, 3> devices_;
};

using FakeAudioDevicesScope = ServiceScope<platform::SetAudioDevices, FakeAudioDevices>;
