#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>

struct sf_private_tag;
struct SF_INFO;

namespace platform {

// Decodes a sound with libsndfile into interleaved 32-bit float frames, from
// a file or from bytes it keeps. Every wave encoding libsndfile reads is
// accepted (PCM of any width, float, mu-law, A-law, IMA and MS ADPCM). Not
// thread-safe: one thread reads at a time (the output's streaming thread
// once playback has started).
class WaveDecoder {
  public:
    // WaveOnly accepts RIFF/RF64 wave files alone; AnyFormat whatever
    // libsndfile reads (the desktop's default sound is an Ogg file).
    enum class Accept { WaveOnly, AnyFormat };

    // GStreamer's audio converter aborts on 64 channels or more.
    static constexpr int kMaxChannels = 63;

    // Null when the file cannot be opened, is not a regular file (a folder,
    // a pipe, a device), or holds no playable sound; 'whyNot' then says
    // which. The file is opened by descriptor, so any path the system takes
    // works, however long.
    static std::unique_ptr<WaveDecoder> OpenFile(const QByteArray& nativePath, Accept accept,
                                                 QString* whyNot = nullptr);
    // The same for a complete file image held in memory.
    static std::unique_ptr<WaveDecoder> OpenBytes(QByteArray bytes, Accept accept);

    ~WaveDecoder();
    WaveDecoder(const WaveDecoder&) = delete;
    WaveDecoder& operator=(const WaveDecoder&) = delete;

    int SampleRate() const { return sampleRate_; }
    int Channels() const { return channels_; }
    std::int64_t Frames() const { return frames_; }
    std::chrono::nanoseconds Duration() const;

    // Reads up to 'count' frames into 'out' (count * Channels() floats) and
    // returns how many it read; 0 at the end or on a decoding error.
    std::int64_t Read(float* out, std::int64_t count);
    // To 'frame' (0 is the first); false when the source cannot seek.
    bool SeekTo(std::int64_t frame);

  private:
    struct Memory;
    WaveDecoder();
    // Takes the stream's properties; empty when it holds a sound we play,
    // else why not.
    QString Refusal(const SF_INFO& info, Accept accept);

    std::unique_ptr<Memory> memory_;
    int fd_ = -1;  // ours, not libsndfile's, so that it is closed exactly once
    sf_private_tag* file_ = nullptr;
    int sampleRate_ = 0;
    int channels_ = 0;
    int format_ = 0;
    std::int64_t frames_ = 0;
};

}  // namespace platform
