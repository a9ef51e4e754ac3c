#include "platform/sound/WaveDecoder.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace platform {

Q_LOGGING_CATEGORY(lcWaveDecoder, "brelmo.platform.wavedecoder", QtInfoMsg)

namespace {

constexpr const char* kSndfileLibrary = "libsndfile.so.1";

// libsndfile and the eight codec libraries behind it are loaded with the
// first sound, not linked into every start of the program.
struct SndfileApi {
    decltype(&sf_open_fd) openFd;
    decltype(&sf_open_virtual) openVirtual;
    decltype(&sf_strerror) strerror;
    decltype(&sf_close) close;
    decltype(&sf_readf_float) readfFloat;
    decltype(&sf_seek) seek;
};

template <class Function>
bool Resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

std::optional<SndfileApi> LoadSndfile(QString& failure) {
    void* library = ::dlopen(kSndfileLibrary, RTLD_NOW | RTLD_LOCAL);
    SndfileApi api{};
    if (library && Resolve(library, "sf_open_fd", api.openFd) &&
        Resolve(library, "sf_open_virtual", api.openVirtual) &&
        Resolve(library, "sf_strerror", api.strerror) && Resolve(library, "sf_close", api.close) &&
        Resolve(library, "sf_readf_float", api.readfFloat) && Resolve(library, "sf_seek", api.seek))
        return api;
    failure = QStringLiteral("the sound library %1 cannot be loaded: %2")
                  .arg(QString::fromLatin1(kSndfileLibrary), QString::fromLocal8Bit(::dlerror()));
    qCWarning(lcWaveDecoder).noquote() << failure;
    return std::nullopt;
}

// Loaded once per process (and kept); null, with the reason, when it cannot be.
const SndfileApi* Sndfile(QString* failure = nullptr) {
    static QString loadFailure;
    static const std::optional<SndfileApi> api = LoadSndfile(loadFailure);
    if (failure) *failure = loadFailure;
    return api ? &*api : nullptr;
}

}  // namespace

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
    if (file_) Sndfile()->close(file_);
    if (fd_ >= 0) ::close(fd_);
}

namespace {

// Opens without blocking on a pipe or device and refuses anything that is not
// a regular file, so that a folder or a FIFO named as a sound cannot hang us.
int OpenRegularFile(const QByteArray& nativePath, QString& whyNot) {
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        whyNot = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        whyNot = QStringLiteral("not a file");
        ::close(fd);
        return -1;
    }
    return fd;
}

std::unique_ptr<WaveDecoder> Refused(QString* whyNot, const QString& reason) {
    qCDebug(lcWaveDecoder) << "not a playable sound:" << reason;
    if (whyNot) *whyNot = reason;
    return nullptr;
}

}  // namespace

std::unique_ptr<WaveDecoder> WaveDecoder::OpenFile(const QByteArray& nativePath, Accept accept,
                                                   QString* whyNot) {
    QString reason;
    const SndfileApi* sndfile = Sndfile(&reason);
    if (!sndfile) return Refused(whyNot, reason);
    const int fd = OpenRegularFile(nativePath, reason);
    if (fd < 0) return Refused(whyNot, reason);
    std::unique_ptr<WaveDecoder> decoder(new WaveDecoder);
    decoder->fd_ = fd;
    SF_INFO info{};
    decoder->file_ = sndfile->openFd(fd, SFM_READ, &info, SF_FALSE);
    if (!decoder->file_) return Refused(whyNot, QString::fromUtf8(sndfile->strerror(nullptr)));
    reason = decoder->Refusal(info, accept);
    if (!reason.isEmpty()) return Refused(whyNot, reason);
    return decoder;
}

std::unique_ptr<WaveDecoder> WaveDecoder::OpenBytes(QByteArray bytes, Accept accept) {
    static SF_VIRTUAL_IO io{&Memory::Length, &Memory::Seek, &Memory::ReadBytes, &Memory::WriteBytes,
                            &Memory::Tell};
    QString failure;
    const SndfileApi* sndfile = Sndfile(&failure);
    if (!sndfile) return Refused(nullptr, failure);
    std::unique_ptr<WaveDecoder> decoder(new WaveDecoder);
    decoder->memory_ = std::make_unique<Memory>();
    decoder->memory_->bytes = std::move(bytes);
    SF_INFO info{};
    decoder->file_ = sndfile->openVirtual(&io, SFM_READ, &info, decoder->memory_.get());
    if (!decoder->file_) return Refused(nullptr, QString::fromUtf8(sndfile->strerror(nullptr)));
    const QString reason = decoder->Refusal(info, accept);
    if (!reason.isEmpty()) return Refused(nullptr, reason);
    return decoder;
}

QString WaveDecoder::Refusal(const SF_INFO& info, Accept accept) {
    sampleRate_ = info.samplerate;
    channels_ = info.channels;
    format_ = info.format;
    frames_ = info.frames;
    const int container = format_ & SF_FORMAT_TYPEMASK;
    const bool wave =
        container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX || container == SF_FORMAT_RF64;
    if (accept == Accept::WaveOnly && !wave) return QStringLiteral("not a wave file");
    if (frames_ <= 0 || sampleRate_ <= 0 || channels_ <= 0) return QStringLiteral("no sound in it");
    if (channels_ > kMaxChannels)
        return QStringLiteral("%1 channels, more than the sound output takes").arg(channels_);
    return {};
}

std::chrono::nanoseconds WaveDecoder::Duration() const {
    // Doubles, since a damaged header may claim an absurd frame count.
    const double nanoseconds = static_cast<double>(frames_) * 1e9 / sampleRate_;
    return std::chrono::nanoseconds(static_cast<std::int64_t>(std::min(nanoseconds, 1e18)));
}

std::int64_t WaveDecoder::Read(float* out, std::int64_t count) {
    const sf_count_t read = Sndfile()->readfFloat(file_, out, count);
    return read > 0 ? read : 0;
}

bool WaveDecoder::SeekTo(std::int64_t frame) {
    return Sndfile()->seek(file_, frame, SEEK_SET) == frame;
}

}  // namespace platform
