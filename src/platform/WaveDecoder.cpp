#include "platform/WaveDecoder.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLoggingCategory>
#include <algorithm>
#include <cstring>

namespace platform {

Q_LOGGING_CATEGORY(lcWaveDecoder, "brelmo.platform.wavedecoder", QtInfoMsg)

// A file image read through libsndfile's virtual I/O.
struct WaveDecoder::Memory {
    QByteArray bytes;
    sf_count_t position = 0;

    static Memory& Of(void* user) { return *static_cast<Memory*>(user); }

    static sf_count_t Length(void* user) { return Of(user).bytes.size(); }

    static sf_count_t Seek(sf_count_t offset, int whence, void* user) {
        Memory& m = Of(user);
        const sf_count_t base = whence == SEEK_CUR   ? m.position
                                : whence == SEEK_END ? m.bytes.size()
                                                     : 0;
        const sf_count_t target = base + offset;
        if (target < 0 || target > m.bytes.size()) return -1;
        m.position = target;
        return m.position;
    }

    static sf_count_t ReadBytes(void* out, sf_count_t count, void* user) {
        Memory& m = Of(user);
        const sf_count_t n = std::clamp<sf_count_t>(m.bytes.size() - m.position, 0, count);
        std::memcpy(out, m.bytes.constData() + m.position, static_cast<size_t>(n));
        m.position += n;
        return n;
    }

    static sf_count_t WriteBytes(const void*, sf_count_t, void*) { return 0; }

    static sf_count_t Tell(void* user) { return Of(user).position; }
};

WaveDecoder::WaveDecoder() = default;

WaveDecoder::~WaveDecoder() {
    if (file_) sf_close(file_);
    if (fd_ >= 0) ::close(fd_);
}

namespace {

// Opens without blocking on a pipe or device and refuses anything that is not
// a regular file, so that a folder or a FIFO named as a sound cannot hang us.
int OpenRegularFile(const QByteArray& nativePath) {
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::unique_ptr<WaveDecoder> WaveDecoder::OpenFile(const QByteArray& nativePath, Accept accept) {
    const int fd = OpenRegularFile(nativePath);
    if (fd < 0) {
        qCDebug(lcWaveDecoder) << "cannot open" << nativePath;
        return nullptr;
    }
    std::unique_ptr<WaveDecoder> decoder(new WaveDecoder);
    decoder->fd_ = fd;
    SF_INFO info{};
    decoder->file_ = sf_open_fd(fd, SFM_READ, &info, SF_FALSE);
    if (!decoder->file_) {
        qCDebug(lcWaveDecoder) << nativePath << sf_strerror(nullptr);
        return nullptr;
    }
    return decoder->Accepts(info, accept) ? std::move(decoder) : nullptr;
}

std::unique_ptr<WaveDecoder> WaveDecoder::OpenBytes(QByteArray bytes, Accept accept) {
    static SF_VIRTUAL_IO io{&Memory::Length, &Memory::Seek, &Memory::ReadBytes, &Memory::WriteBytes,
                            &Memory::Tell};
    std::unique_ptr<WaveDecoder> decoder(new WaveDecoder);
    decoder->memory_ = std::make_unique<Memory>();
    decoder->memory_->bytes = std::move(bytes);
    SF_INFO info{};
    decoder->file_ = sf_open_virtual(&io, SFM_READ, &info, decoder->memory_.get());
    if (!decoder->file_) {
        qCDebug(lcWaveDecoder) << "sound in memory:" << sf_strerror(nullptr);
        return nullptr;
    }
    return decoder->Accepts(info, accept) ? std::move(decoder) : nullptr;
}

bool WaveDecoder::Accepts(const SF_INFO& info, Accept accept) {
    sampleRate_ = info.samplerate;
    channels_ = info.channels;
    format_ = info.format;
    frames_ = info.frames;
    const int container = format_ & SF_FORMAT_TYPEMASK;
    const bool wave =
        container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX || container == SF_FORMAT_RF64;
    const bool playable =
        frames_ > 0 && sampleRate_ > 0 && channels_ > 0 && channels_ <= kMaxChannels;
    if (!playable || (accept == Accept::WaveOnly && !wave)) {
        qCDebug(lcWaveDecoder) << "not a playable sound, format" << Qt::hex << format_;
        return false;
    }
    return true;
}

std::chrono::nanoseconds WaveDecoder::Duration() const {
    // Doubles, since a damaged header may claim an absurd frame count.
    const double nanoseconds = static_cast<double>(frames_) * 1e9 / sampleRate_;
    return std::chrono::nanoseconds(static_cast<std::int64_t>(std::min(nanoseconds, 1e18)));
}

std::int64_t WaveDecoder::Read(float* out, std::int64_t count) {
    const sf_count_t read = sf_readf_float(file_, out, count);
    return read > 0 ? read : 0;
}

bool WaveDecoder::Rewind() {
    return sf_seek(file_, 0, SEEK_SET) == 0;
}

}  // namespace platform
