#include "media/Volumes.h"

#include <algorithm>

#include "platform/mixer/AudioDevices.h"

namespace {

using platform::OutputClass;

// The device class of each line, and the capability flag that says its
// volume can be set.
constexpr std::array<OutputClass, TVolumeControl::kLineCount> kLineClass = {
    OutputClass::Aux, OutputClass::WaveOut, OutputClass::MidiOut};
constexpr std::array<std::uint32_t, TVolumeControl::kLineCount> kVolumeCap = {
    platform::AUXCAPS_VOLUME, platform::WAVECAPS_VOLUME, platform::MIDICAPS_VOLUME};

constexpr int kSilent = 0;
constexpr int kLoudest = 255;

}  // namespace

TVolumeControl::TVolumeControl(TComponent* AOwner, TDeviceSearch search)
    : TComponent(AOwner), pollTimer_(new TTimer(this)) {
    pollTimer_->OnTimer = [this](TObject* Sender) { SyncTrackBars(Sender); };
    pollTimer_->SetInterval(500);
    if (search == dsAtCreation) PickDevices();
}

TVolumeControl::~TVolumeControl() {
    delete pollTimer_;
    for (TTrackBar* trackBar : trackBars_)
        if (trackBar) trackBar->OnChange = nullptr;
}

void TVolumeControl::SearchDevices() {
    if (devicesSearched_) return;
    PickDevices();
    SyncTrackBars(this);
}

void TVolumeControl::PickDevices() const {
    devicesSearched_ = true;
    platform::IAudioDevices& devices = platform::AudioDevices();
    for (int line = 0; line < kLineCount; ++line) {
        deviceIds_[line] = -1;
        const unsigned count = devices.GetNumDevs(kLineClass[line]);
        for (unsigned id = 0; id < count; ++id) {
            platform::OutputCaps caps;
            // A device whose capabilities cannot be read is passed over.
            if (devices.GetDevCaps(kLineClass[line], id, caps) != platform::MMSYSERR_NOERROR)
                continue;
            if (caps.dwSupport & kVolumeCap[line]) {
                deviceIds_[line] = static_cast<int>(id);
                break;
            }
        }
    }
}

std::uint8_t TVolumeControl::GetVolume(int line) const {
    if (!devicesSearched_) PickDevices();
    std::uint32_t volume = 0;
    if (deviceIds_[line] != -1 && platform::AudioDevices().GetVolume(
                                      kLineClass[line], static_cast<unsigned>(deviceIds_[line]),
                                      volume) != platform::MMSYSERR_NOERROR)
        volume = 0;
    return static_cast<std::uint8_t>(((volume & 0xFFFF) + (volume >> 16)) >> 9);
}

void TVolumeControl::SetVolume(int line, std::uint8_t value) {
    if (!devicesSearched_) PickDevices();
    if (deviceIds_[line] == -1) return;
    const std::uint32_t channel = std::uint32_t{value} << 8;
    platform::AudioDevices().SetVolume(kLineClass[line], static_cast<unsigned>(deviceIds_[line]),
                                       channel | channel << 16);
}

void TVolumeControl::SetTrackBar(int line, TTrackBar* trackBar) {
    TTrackBar* previous = trackBars_[line];
    if (trackBar == previous) return;
    trackBars_[line] = trackBar;
    if (trackBar) trackBar->FreeNotification(this);
    if (previous && !IsLinked(previous)) Unhook(previous);
    SyncTrackBars(this);
}

void TVolumeControl::SyncTrackBars(TObject*) {
    if (!devicesSearched_) return;
    if (SliderWithoutDevice()) PickDevices();
    for (int line = 0; line < kLineCount; ++line) {
        TTrackBar* trackBar = trackBars_[line];
        if (!trackBar) continue;
        trackBar->SetMin(kSilent);
        trackBar->SetMax(kLoudest);
        const int volume = GetVolume(line);
        trackBar->SetPosition(trackBar->Orientation() == trVertical ? kLoudest - volume : volume);
        trackBar->OnChange = ChangeHook{this};
    }
}

void TVolumeControl::TrackBarChange(TObject* Sender) {
    for (int line = 0; line < kLineCount; ++line) {
        TTrackBar* trackBar = trackBars_[line];
        if (!trackBar || static_cast<TObject*>(trackBar) != Sender) continue;
        const int position = trackBar->Position() & 0xFF;
        SetVolume(line, static_cast<std::uint8_t>(trackBar->Orientation() == trVertical
                                                      ? kLoudest - position
                                                      : position));
    }
}

void TVolumeControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    for (TTrackBar*& trackBar : trackBars_)
        if (trackBar && static_cast<TComponent*>(trackBar) == AComponent) trackBar = nullptr;
}

// A device can appear after the search (a sound server that starts after the
// player), so a slider that has none looks again at every poll.
bool TVolumeControl::SliderWithoutDevice() const {
    for (int line = 0; line < kLineCount; ++line)
        if (trackBars_[line] && deviceIds_[line] == -1) return true;
    return false;
}

bool TVolumeControl::IsLinked(const TTrackBar* trackBar) const {
    return std::find(trackBars_.begin(), trackBars_.end(), trackBar) != trackBars_.end();
}

// A slider that is no longer linked keeps no handler of this control, so it
// can never call into it after the control is gone. A handler put there by
// someone else since the last poll stays.
void TVolumeControl::Unhook(TTrackBar* trackBar) {
    const auto* hook = trackBar->OnChange.target<ChangeHook>();
    if (hook && hook->control == this) trackBar->OnChange = nullptr;
}
