#include "platform/mixer/LinuxAudioDevices.h"

#include "platform/ServiceSlot.h"
#include "platform/sound/AudioOutput.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

// alsa-lib 1.2.8 declares snd_lib_error_set_local outside its C linkage block.
extern "C" {
#include <alsa/asoundlib.h>
}

namespace platform {

namespace {

Q_LOGGING_CATEGORY(lcAudio, "brelmo.audio", QtWarningMsg)

constexpr long kWordMax = 0xFFFF;
// How often a lost mixer is tried again: rarely enough that a poll many
// times a second stays cheap while the server is down.
constexpr qint64 kReopenIntervalMs = 1000;

// A mixer is tried again at most once an interval, and only while some sound
// output is there: a failed try on the server's control costs about 2 ms.
bool TimeToRetry(QElapsedTimer& sinceRetry) {
    if (sinceRetry.isValid() && sinceRetry.elapsed() < kReopenIntervalMs) return false;
    sinceRetry.start();
    return SoundCanBeHeard();
}

void LogAlsaError(const char* file, int line, const char* function, int err, const char* fmt,
                  va_list args) {
    if (!lcAudio().isDebugEnabled()) return;
    char text[256];
    std::vsnprintf(text, sizeof text, fmt, args);
    qCDebug(lcAudio, "%s (%s:%d): %s (%d)", function, file, line, text, err);
}

// ALSA prints its errors on stderr unless a handler takes them. The local
// handler is per thread, so it neither replaces nor races with the global one
// that GStreamer's alsa plugin installs when it loads.
class QuietAlsa {
  public:
    QuietAlsa() : previous_(snd_lib_error_set_local(LogAlsaError)) {}
    ~QuietAlsa() { snd_lib_error_set_local(previous_); }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;

  private:
    snd_local_error_handler_t previous_;
};

struct MixerCloser {
    void operator()(snd_mixer_t* mixer) const { snd_mixer_close(mixer); }
};
using MixerHandle = std::unique_ptr<snd_mixer_t, MixerCloser>;

std::size_t ClassIndex(OutputClass outputClass) {
    return static_cast<std::size_t>(outputClass);
}

// The support flags of each class: the volume can be set, and per channel.
struct VolumeFlags {
    std::uint32_t volume;
    std::uint32_t lrVolume;
};
constexpr std::array<VolumeFlags, 3> kVolumeFlags = {{
    {AUXCAPS_VOLUME, AUXCAPS_LRVOLUME},
    {WAVECAPS_VOLUME, WAVECAPS_LRVOLUME},
    {MIDICAPS_VOLUME, MIDICAPS_LRVOLUME},
}};

snd_mixer_elem_t* FindPlaybackElement(snd_mixer_t* mixer, const char* name) {
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, name);
    snd_mixer_elem_t* elem = snd_mixer_find_selem(mixer, id);
    if (elem &&
        (snd_mixer_selem_has_playback_volume(elem) || snd_mixer_selem_has_playback_switch(elem)))
        return elem;
    return nullptr;
}

std::vector<std::string> CardControls() {
    std::vector<std::string> controls;
    QuietAlsa quiet;
    int card = -1;
    while (snd_card_next(&card) >= 0 && card >= 0) controls.push_back("hw:" + std::to_string(card));
    return controls;
}

}  // namespace

struct LinuxAudioDevices::Mixer {
    MixerHandle handle;
    std::string control;
    // Set when the mixer stops answering (card unplugged, server gone).
    bool lost = false;
    // Since the last attempt to open it again.
    QElapsedTimer sinceRetry;
};

struct LinuxAudioDevices::Line {
    Mixer* mixer = nullptr;
    // Null once the mixer has removed the element.
    snd_mixer_elem_t* elem = nullptr;
    std::string name;
    std::string element;
    bool mono = false;
    std::array<ChannelVolume, SND_MIXER_SCHN_LAST + 1> channels;

    bool HasVolume() const { return channels[0].HasRange(); }

    bool Read(snd_mixer_selem_channel_id_t channel, std::uint16_t& word) const {
        long raw = 0;
        if (snd_mixer_selem_get_playback_volume(elem, channel, &raw) < 0) return false;
        word = channels[channel].Read(raw);
        return true;
    }

    bool Write(snd_mixer_selem_channel_id_t channel, std::uint16_t word) {
        return snd_mixer_selem_set_playback_volume(elem, channel, channels[channel].Write(word)) >=
               0;
    }
};

namespace {

// Drops the line's element when the mixer removes it, so that nothing
// touches freed memory after a card goes away.
int OnElementEvent(snd_mixer_elem_t* elem, unsigned int mask) {
    if (mask == SND_CTL_EVENT_MASK_REMOVE) {
        if (auto* line =
                static_cast<LinuxAudioDevices::Line*>(snd_mixer_elem_get_callback_private(elem)))
            line->elem = nullptr;
    }
    return 0;
}

}  // namespace

long ChannelVolume::Write(std::uint16_t word) {
    const long long span = max_ - min_;
    writtenRaw_ = min_ + static_cast<long>((word * span + kWordMax / 2) / kWordMax);
    writtenWord_ = word;
    written_ = true;
    return writtenRaw_;
}

std::uint16_t ChannelVolume::Read(long raw) const {
    if (!HasRange()) return 0;
    if (written_ && raw == writtenRaw_) return writtenWord_;
    const long long span = max_ - min_;
    const long long above = std::clamp(raw, min_, max_) - min_;
    return static_cast<std::uint16_t>((above * kWordMax + span / 2) / span);
}

LinuxAudioDevices::LinuxAudioDevices() : LinuxAudioDevices("default", CardControls()) {}

LinuxAudioDevices::LinuxAudioDevices(const std::string& systemControl,
                                     const std::vector<std::string>& cardControls) {
    QuietAlsa quiet;
    if (!systemControl.empty()) AddControl({systemControl, true});
    for (const std::string& control : cardControls) AddControl({control, false});
    sinceUnopenedTried_.start();
}

LinuxAudioDevices::~LinuxAudioDevices() {
    QuietAlsa quiet;
    mixers_.clear();
}

namespace {

MixerHandle OpenHandle(const std::string& control) {
    snd_mixer_t* raw = nullptr;
    if (snd_mixer_open(&raw, 0) < 0) return nullptr;
    MixerHandle handle(raw);
    if (snd_mixer_attach(raw, control.c_str()) < 0 ||
        snd_mixer_selem_register(raw, nullptr, nullptr) < 0 || snd_mixer_load(raw) < 0) {
        qCDebug(lcAudio) << "no mixer on" << control.c_str();
        return nullptr;
    }
    return handle;
}

// Ties the line to its element: its range, its channels, its removal notice.
void Bind(LinuxAudioDevices::Line& line, snd_mixer_elem_t* elem) {
    line.elem = elem;
    long min = 0;
    long max = 0;
    if (snd_mixer_selem_has_playback_volume(elem))
        snd_mixer_selem_get_playback_volume_range(elem, &min, &max);
    line.channels.fill(ChannelVolume(min, max));
    line.mono = snd_mixer_selem_is_playback_mono(elem);
    snd_mixer_elem_set_callback_private(elem, &line);
    snd_mixer_elem_set_callback(elem, OnElementEvent);
    qCDebug(lcAudio) << "output line" << line.name.c_str() << min << max;
}

}  // namespace

LinuxAudioDevices::Mixer* LinuxAudioDevices::OpenMixer(const std::string& control) {
    MixerHandle handle = OpenHandle(control);
    if (!handle) return nullptr;
    auto mixer = std::make_unique<Mixer>();
    mixer->handle = std::move(handle);
    mixer->control = control;
    mixers_.push_back(std::move(mixer));
    return mixers_.back().get();
}

// With no sound output at all a control is not tried yet: the server's
// control would load the server's client library only to fail.
void LinuxAudioDevices::AddControl(const Control& control) {
    if (!SoundCanBeHeard() || !OpenControl(control)) unopened_.push_back(control);
}

bool LinuxAudioDevices::OpenControl(const Control& control) {
    Mixer* mixer = OpenMixer(control.name);
    if (!mixer) return false;
    if (control.system) {
        AddLine(OutputClass::WaveOut, mixer, {"Master"});
    } else {
        AddLine(OutputClass::WaveOut, mixer, {"PCM", "Master"});
        AddLine(OutputClass::Aux, mixer, {"CD"});
        AddLine(OutputClass::MidiOut, mixer, {"Synth", "MIDI"});
    }
    return true;
}

// A control that did not answer at creation (the player started before the
// sound server, as at a login) is tried again, at most once a retry interval;
// its lines come after those already numbered.
void LinuxAudioDevices::OpenLateControls() {
    if (unopened_.empty() || !TimeToRetry(sinceUnopenedTried_)) return;
    QuietAlsa quiet;
    std::erase_if(unopened_, [this](const Control& control) {
        if (!OpenControl(control)) return false;
        qCDebug(lcAudio) << "mixer opened late:" << control.name.c_str();
        return true;
    });
}

void LinuxAudioDevices::AddLine(OutputClass outputClass, Mixer* mixer,
                                std::initializer_list<const char*> names) {
    for (const char* name : names) {
        snd_mixer_elem_t* elem = FindPlaybackElement(mixer->handle.get(), name);
        if (!elem) continue;
        auto line = std::make_unique<Line>();
        line->mixer = mixer;
        line->name = mixer->control + ' ' + name;
        line->element = name;
        Bind(*line, elem);
        lines_[ClassIndex(outputClass)].push_back(std::move(line));
        return;
    }
}

// A mixer lost with its sound server comes back with the server: it is
// opened again, at most once a retry interval, and its lines find their
// elements anew (a line whose element is gone stays without).
bool LinuxAudioDevices::Reopen(Mixer& mixer) {
    if (!TimeToRetry(mixer.sinceRetry)) return false;
    mixer.handle.reset();
    mixer.handle = OpenHandle(mixer.control);
    if (!mixer.handle) return false;
    mixer.lost = false;
    for (auto& lines : lines_)
        for (auto& line : lines)
            if (line->mixer == &mixer)
                if (snd_mixer_elem_t* elem =
                        FindPlaybackElement(mixer.handle.get(), line->element.c_str()))
                    Bind(*line, elem);
    qCDebug(lcAudio) << "mixer opened again:" << mixer.control.c_str();
    return true;
}

unsigned LinuxAudioDevices::GetNumDevs(OutputClass outputClass) {
    OpenLateControls();
    return static_cast<unsigned>(lines_[ClassIndex(outputClass)].size());
}

MMRESULT LinuxAudioDevices::GetDevCaps(OutputClass outputClass, unsigned deviceId,
                                       OutputCaps& caps) {
    const auto& lines = lines_[ClassIndex(outputClass)];
    if (deviceId >= lines.size()) return MMSYSERR_BADDEVICEID;
    const Line& line = *lines[deviceId];
    caps = {};
    std::strncpy(caps.szPname, line.name.c_str(), sizeof caps.szPname - 1);
    const VolumeFlags& flags = kVolumeFlags[ClassIndex(outputClass)];
    if (line.HasVolume()) caps.dwSupport = line.mono ? flags.volume : flags.volume | flags.lrVolume;
    return MMSYSERR_NOERROR;
}

// Finds the device and brings the mixer's cached values up to date.
MMRESULT LinuxAudioDevices::Reach(OutputClass outputClass, unsigned deviceId, Line*& line) {
    const auto& lines = lines_[ClassIndex(outputClass)];
    if (deviceId >= lines.size()) return MMSYSERR_BADDEVICEID;
    line = lines[deviceId].get();
    Mixer& mixer = *line->mixer;
    if (!mixer.lost && snd_mixer_handle_events(mixer.handle.get()) < 0) {
        qCDebug(lcAudio) << "mixer lost:" << mixer.control.c_str();
        mixer.lost = true;
    }
    if (mixer.lost && !Reopen(mixer)) return MMSYSERR_NODRIVER;
    if (!line->elem) return MMSYSERR_NODRIVER;
    if (!line->HasVolume()) return MMSYSERR_ERROR;
    return MMSYSERR_NOERROR;
}

MMRESULT LinuxAudioDevices::GetVolume(OutputClass outputClass, unsigned deviceId,
                                      std::uint32_t& volume) {
    QuietAlsa quiet;
    Line* line = nullptr;
    if (const MMRESULT result = Reach(outputClass, deviceId, line); result != MMSYSERR_NOERROR)
        return result;
    const bool oneChannel =
        line->mono || !snd_mixer_selem_has_playback_channel(line->elem, SND_MIXER_SCHN_FRONT_RIGHT);
    const auto right = oneChannel ? SND_MIXER_SCHN_MONO : SND_MIXER_SCHN_FRONT_RIGHT;
    std::uint16_t leftWord = 0;
    std::uint16_t rightWord = 0;
    if (!line->Read(SND_MIXER_SCHN_FRONT_LEFT, leftWord) || !line->Read(right, rightWord))
        return MMSYSERR_ERROR;
    volume = leftWord | std::uint32_t{rightWord} << 16;
    return MMSYSERR_NOERROR;
}

MMRESULT LinuxAudioDevices::SetVolume(OutputClass outputClass, unsigned deviceId,
                                      std::uint32_t volume) {
    QuietAlsa quiet;
    Line* line = nullptr;
    if (const MMRESULT result = Reach(outputClass, deviceId, line); result != MMSYSERR_NOERROR)
        return result;
    const auto left = static_cast<std::uint16_t>(volume & 0xFFFF);
    const auto right = static_cast<std::uint16_t>(volume >> 16);
    const auto mean = static_cast<std::uint16_t>((left + right) / 2);
    if (line->mono)
        return line->Write(SND_MIXER_SCHN_MONO, mean) ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
    bool ok = true;
    for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
        const auto channel = static_cast<snd_mixer_selem_channel_id_t>(c);
        if (!snd_mixer_selem_has_playback_channel(line->elem, channel)) continue;
        const std::uint16_t word = channel == SND_MIXER_SCHN_FRONT_LEFT    ? left
                                   : channel == SND_MIXER_SCHN_FRONT_RIGHT ? right
                                                                           : mean;
        ok = line->Write(channel, word) && ok;
    }
    return ok ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

IAudioDevices& AudioDevices() {
    return ServiceSlot<IAudioDevices, LinuxAudioDevices>::Get();
}

std::unique_ptr<IAudioDevices> SetAudioDevices(std::unique_ptr<IAudioDevices> devices) {
    return ServiceSlot<IAudioDevices, LinuxAudioDevices>::Swap(std::move(devices));
}

}  // namespace platform
