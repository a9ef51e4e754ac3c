#include "support/FakeAudioDevices.h"

#include <cstdio>

using namespace platform;

unsigned FakeAudioDevices::GetNumDevs(OutputClass outputClass) {
    ++countQueries;
    return static_cast<unsigned>(Devices(outputClass).size());
}

FakeOutputDevice* FakeAudioDevices::Find(OutputClass outputClass, unsigned deviceId) {
    auto& devices = Devices(outputClass);
    return deviceId < devices.size() ? &devices[deviceId] : nullptr;
}

MMRESULT FakeAudioDevices::GetDevCaps(OutputClass outputClass, unsigned deviceId,
                                      OutputCaps& caps) {
    ++capsQueries;
    const FakeOutputDevice* device = Find(outputClass, deviceId);
    if (!device) return MMSYSERR_BADDEVICEID;
    if (device->capsFail) return MMSYSERR_NODRIVER;
    caps = {};
    std::snprintf(caps.szPname, sizeof caps.szPname, "fake %u", deviceId);
    caps.dwSupport = device->support;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeAudioDevices::GetVolume(OutputClass outputClass, unsigned deviceId,
                                     std::uint32_t& volume) {
    ++reads;
    const FakeOutputDevice* device = Find(outputClass, deviceId);
    if (!device) return MMSYSERR_BADDEVICEID;
    if (device->readFail) return MMSYSERR_ERROR;
    volume = device->volume;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeAudioDevices::SetVolume(OutputClass outputClass, unsigned deviceId,
                                     std::uint32_t volume) {
    ++writes;
    FakeOutputDevice* device = Find(outputClass, deviceId);
    if (!device) return MMSYSERR_BADDEVICEID;
    if (device->writeFail) return MMSYSERR_ERROR;
    device->volume = volume;
    return MMSYSERR_NOERROR;
}
