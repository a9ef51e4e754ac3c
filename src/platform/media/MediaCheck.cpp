#include "platform/media/MediaCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace platform {

namespace {

constexpr off_t kMaxHeaderList = 1 << 20;
constexpr std::int64_t kMaxFrameSide = 16384;
// The largest raw frame taken: an 8K picture at 32 bits a pixel. A decoder
// would copy and convert each one on the GUI's time.
constexpr std::int64_t kMaxRawFrameBytes = std::int64_t{7680} * 4320 * 4;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

class FileHandle {
  public:
    // Non-blocking, so that opening a pipe cannot wait for a writer.
    explicit FileHandle(const QByteArray& path)
        : fd_(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int Fd() const { return fd_; }

    // Exactly 'length' bytes at 'offset', or nothing.
    std::optional<QByteArray> Read(off_t offset, off_t length) const {
        QByteArray bytes(static_cast<qsizetype>(length), '\0');
        const ssize_t got = ::pread(fd_, bytes.data(), static_cast<size_t>(length), offset);
        if (got != length) return std::nullopt;
        return bytes;
    }

  private:
    int fd_;
};

std::uint32_t Le32(const QByteArray& bytes, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

QByteArray FourCC(const QByteArray& bytes, qsizetype at) {
    return bytes.mid(at, 4);
}

MciFailure Invalid(const QString& why, const QString& shownName) {
    return {MCIERR_INVALID_FILE,
            QStringLiteral("Not a valid AVI file (%1): %2").arg(why, shownName)};
}

// Calls 'visit(id, data offset, size)' for each chunk in bytes[from, to).
template <typename Visit>
void ForEachChunk(const QByteArray& bytes, qsizetype from, qsizetype to, Visit visit) {
    for (qsizetype at = from; at + 8 <= to;) {
        const qsizetype size = Le32(bytes, at + 4);
        if (at + 8 + size > to) return;
        visit(FourCC(bytes, at), at + 8, size);
        at += 8 + size + (size & 1);
    }
}

// The frame format of a video stream: its BITMAPINFOHEADER.
struct VideoFormat {
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows stored top-down
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
    std::int64_t frames = 0;  // the stream's length, as its header gives it

    bool IsRaw() const { return compression == kBiRgb || compression == kBiBitfields; }
    // Rows of raw RGB are padded to four bytes.
    std::int64_t RawFrameBytes() const {
        return (width * bitCount + 31) / 32 * 4 * (height < 0 ? -height : height);
    }
};

// The frame formats of the video streams in a header list.
std::vector<VideoFormat> VideoFormats(const QByteArray& hdrl) {
    std::vector<VideoFormat> formats;
    ForEachChunk(hdrl, 4, hdrl.size(), [&](const QByteArray& id, qsizetype at, qsizetype size) {
        if (id != "LIST" || size < 4 || FourCC(hdrl, at) != "strl") return;
        QByteArray type;
        std::int64_t frames = 0;
        ForEachChunk(
            hdrl, at + 4, at + size, [&](const QByteArray& sub, qsizetype data, qsizetype length) {
                if (sub == "strh" && length >= 4) type = FourCC(hdrl, data);
                if (sub == "strh" && length >= 36) frames = Le32(hdrl, data + 32);
                if (sub == "strf" && type == "vids" && length >= 20)
                    formats.push_back({static_cast<std::int32_t>(Le32(hdrl, data + 4)),
                                       static_cast<std::int32_t>(Le32(hdrl, data + 8)),
                                       Le32(hdrl, data + 12) >> 16, Le32(hdrl, data + 16), frames});
            });
    });
    return formats;
}

// A frame size that no decoder here could allocate, a raw frame larger than
// any real picture, or raw frames that the file cannot hold as many times as
// the stream says it has, fail before the pipeline tries to preroll them.
MciFailure CheckVideoFormat(const VideoFormat& format, off_t fileSize, const QString& shownName) {
    const QString size = QStringLiteral("%1\u00d7%2").arg(format.width).arg(format.height);
    if (format.width <= 0 || format.height == 0)
        return Invalid(QStringLiteral("a %1 frame has no picture").arg(size), shownName);
    if (format.width > kMaxFrameSide || std::abs(format.height) > kMaxFrameSide)
        return Invalid(QStringLiteral("a %1 frame is larger than %2\u00d7%2 pixels")
                           .arg(size)
                           .arg(kMaxFrameSide),
                       shownName);
    if (!format.IsRaw()) return {};
    if (format.height < 0)
        return {
            MCIERR_INVALID_FILE,
            QStringLiteral("Raw RGB video stored top-down is not supported: %1").arg(shownName)};
    if (format.RawFrameBytes() > kMaxRawFrameBytes)
        return Invalid(QStringLiteral("a raw %1 frame at %2 bits is larger than any picture taken")
                           .arg(size)
                           .arg(format.bitCount),
                       shownName);
    if (format.RawFrameBytes() > fileSize)
        return Invalid(
            QStringLiteral("a raw %1 frame needs more bytes than the whole file holds").arg(size),
            shownName);
    if (format.RawFrameBytes() * format.frames > fileSize)
        return Invalid(QStringLiteral("%1 raw %2 frames need more bytes than the whole file holds")
                           .arg(format.frames)
                           .arg(size),
                       shownName);
    return {};
}

MciFailure CheckAviStructure(const FileHandle& file, off_t fileSize, const QString& shownName) {
    const std::optional<QByteArray> riff = file.Read(0, 12);
    if (!riff || !riff->startsWith("RIFF") || FourCC(*riff, 8) != "AVI ")
        return Invalid(QStringLiteral("no RIFF AVI header"), shownName);
    bool sawHeader = false;
    for (off_t at = 12; at + 12 <= fileSize;) {
        const std::optional<QByteArray> chunk = file.Read(at, 12);
        if (!chunk) break;
        const off_t size = Le32(*chunk, 4);
        if (FourCC(*chunk, 0) == "LIST" && FourCC(*chunk, 8) == "hdrl") {
            if (at + 8 + size > fileSize || size > kMaxHeaderList)
                return Invalid(QStringLiteral("truncated header"), shownName);
            const std::optional<QByteArray> hdrl = file.Read(at + 8, size);
            if (!hdrl) return Invalid(QStringLiteral("truncated header"), shownName);
            for (const VideoFormat& format : VideoFormats(*hdrl))
                if (const MciFailure failure = CheckVideoFormat(format, fileSize, shownName))
                    return failure;
            sawHeader = true;
        } else if (FourCC(*chunk, 0) == "LIST" && FourCC(*chunk, 8) == "movi") {
            return sawHeader ? MciFailure{} : Invalid(QStringLiteral("no header list"), shownName);
        }
        at += 8 + size + (size & 1);
    }
    return Invalid(
        sawHeader ? QStringLiteral("truncated header") : QStringLiteral("no header list"),
        shownName);
}

}  // namespace

MciFailure CheckMediaFile(const QByteArray& path, const QString& shownName, bool isAvi) {
    struct stat info {};
    if (::stat(path.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {MCIERR_FILE_NOT_FOUND,
                    QStringLiteral("The file does not exist: %1").arg(shownName)};
        return {MCIERR_FILE_READ,
                QStringLiteral("The file cannot be read (%1): %2")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)), shownName)};
    }
    if (S_ISDIR(info.st_mode))
        return {MCIERR_INVALID_FILE,
                QStringLiteral("This is a folder, not a media file: %1").arg(shownName)};
    // A pipe or device would have the decoder wait for data that never comes.
    if (!S_ISREG(info.st_mode))
        return {MCIERR_INVALID_FILE,
                QStringLiteral("This is a pipe or device, not a media file: %1").arg(shownName)};
    const FileHandle file(path);
    if (file.Fd() < 0)
        return {MCIERR_FILE_READ,
                QStringLiteral("The file cannot be read (%1): %2")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)), shownName)};
    if (info.st_size == 0)
        return {MCIERR_INVALID_FILE, QStringLiteral("The file is empty: %1").arg(shownName)};
    return isAvi ? CheckAviStructure(file, info.st_size, shownName) : MciFailure{};
}

}  // namespace platform
