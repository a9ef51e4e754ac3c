#include "platform/sound/LinuxSound.h"

#include "platform/GstHandles.h"
#include "platform/ServiceSlot.h"

#include <QByteArrayList>
#include <QFile>
#include <QLoggingCategory>
#include <cstdint>
#include <cstring>

#include "platform/files/DataFolders.h"
#include "platform/files/FileSystem.h"

namespace platform {

Q_LOGGING_CATEGORY(lcSound, "brelmo.platform.sound", QtInfoMsg)

namespace {

std::unique_ptr<WaveDecoder> OpenFileSound(const char* name) {
    const QByteArray path = FileSystem().NativePath(QString::fromUtf8(name));
    if (path.isEmpty()) return nullptr;
    return WaveDecoder::OpenFile(path, WaveDecoder::Accept::WaveOnly);
}

QString ResourcePath(const void* sound) {
    if (IsResourceId(sound))
        return QStringLiteral(":/sounds/%1").arg(reinterpret_cast<std::uintptr_t>(sound));
    const QString name = QString::fromUtf8(static_cast<const char*>(sound));
    return name.startsWith(QLatin1String(":/")) ? name : QStringLiteral(":/sounds/") + name;
}

std::unique_ptr<WaveDecoder> OpenResourceSound(const void* sound) {
    QFile resource(ResourcePath(sound));
    if (!resource.open(QIODevice::ReadOnly)) return nullptr;
    return WaveDecoder::OpenBytes(resource.readAll(), WaveDecoder::Accept::WaveOnly);
}

// A wave image in memory is as long as its RIFF header says: 8 bytes of
// header plus the size it gives.
std::unique_ptr<WaveDecoder> OpenMemorySound(const void* sound) {
    const auto* bytes = static_cast<const unsigned char*>(sound);
    if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return nullptr;
    const std::uint32_t riffSize =
        bytes[4] | bytes[5] << 8 | bytes[6] << 16 | static_cast<std::uint32_t>(bytes[7]) << 24;
    const qsizetype length = qsizetype{8} + riffSize;
    return WaveDecoder::OpenBytes(QByteArray(reinterpret_cast<const char*>(bytes), length),
                                  WaveDecoder::Accept::WaveOnly);
}

// The freedesktop sound theme's bell, in each data folder where it may live.
QByteArrayList ThemeBells() {
    QByteArrayList bells;
    for (const QByteArray& dir : XdgDataDirs())
        bells.append(dir + "/sounds/freedesktop/stereo/bell.oga");
    return bells;
}

}  // namespace

LinuxSound::LinuxSound() : LinuxSound(Options{}) {}

LinuxSound::LinuxSound(Options options) : options_(std::move(options)) {}

LinuxSound::~LinuxSound() = default;

bool LinuxSound::PlaySound(const void* sound, unsigned flags) {
    if (!sound) {
        Stop();
        return true;
    }
    if ((flags & SND_NOSTOP) && Playing()) return false;
    Stop();
    std::unique_ptr<WaveDecoder> decoder = OpenSound(sound, flags);
    if (!decoder && !(flags & SND_NODEFAULT)) {
        // The stand-in sounds once, however the missing sound was to be played.
        decoder = OpenDefaultSound();
        flags &= ~SND_LOOP;
    }
    if (!decoder) return false;
    return Play(std::move(decoder), flags);
}

std::unique_ptr<WaveDecoder> LinuxSound::OpenSound(const void* sound, unsigned flags) const {
    // SND_RESOURCE carries the SND_MEMORY bit, so it is asked first.
    if ((flags & SND_RESOURCE) == SND_RESOURCE) return OpenResourceSound(sound);
    if (flags & SND_MEMORY) return OpenMemorySound(sound);
    return OpenFileSound(static_cast<const char*>(sound));
}

std::unique_ptr<WaveDecoder> LinuxSound::OpenDefaultSound() const {
    const QByteArrayList candidates =
        options_.defaultSound ? QByteArrayList{*options_.defaultSound} : ThemeBells();
    for (const QByteArray& path : candidates)
        if (auto decoder = WaveDecoder::OpenFile(path, WaveDecoder::Accept::AnyFormat))
            return decoder;
    return nullptr;
}

bool LinuxSound::Play(std::unique_ptr<WaveDecoder> decoder, unsigned flags) {
    // GStreamer starts with the first sound, not for a stop request: a copy
    // that never clicks (a second copy quitting) never pays for it.
    if (!StartGStreamer()) return false;
    if (!output_) output_ = std::make_unique<SoundOutput>(options_.sink);
    const std::chrono::nanoseconds timeout = decoder->Duration() + options_.endBound;
    const bool async = flags & SND_ASYNC;
    if (!output_->Start(std::move(decoder), async && (flags & SND_LOOP))) return false;
    return async ? output_->OnDevice() : output_->WaitForEnd(timeout);
}

bool LinuxSound::Playing() const {
    return output_ && output_->Playing();
}

void LinuxSound::Stop() {
    if (output_) output_->Stop();
}

ISound& Sound() {
    return ServiceSlot<ISound, LinuxSound>::Get();
}

std::unique_ptr<ISound> SetSound(std::unique_ptr<ISound> sound) {
    return ServiceSlot<ISound, LinuxSound>::Swap(std::move(sound));
}

}  // namespace platform
