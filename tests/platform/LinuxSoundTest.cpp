#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cmath>
#include <vector>

#include "platform/sound/LinuxSound.h"
#include "platform/sound/WaveDecoder.h"

using namespace platform;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 22050;
constexpr double kToneHz = 440.0;

double Tone(std::int64_t frame, int channel) {
    return 0.5 * std::sin(2 * M_PI * kToneHz * static_cast<double>(frame) / kRate + channel);
}

std::int64_t FramesOf(std::chrono::milliseconds length) {
    return kRate * length.count() / 1000;
}

// Writes a tone of the given length in the given libsndfile format.
bool WriteTone(const QString& path, int format, std::chrono::milliseconds length,
               int channels = 1) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file) return false;
    std::vector<double> samples;
    for (std::int64_t i = 0; i < FramesOf(length); ++i)
        for (int c = 0; c < channels; ++c) samples.push_back(Tone(i, c));
    const sf_count_t written = sf_writef_double(file, samples.data(), FramesOf(length));
    sf_close(file);
    return written == FramesOf(length);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class LinuxSoundTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(WriteTone(Path("tone50.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 50ms));
        ASSERT_TRUE(WriteTone(Path("stand-in.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 30ms));
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }
    QByteArray Name(const QString& name) const { return Path(name).toUtf8(); }

    // A service on the null sink, playing the given stand-in for bad sounds.
    static std::unique_ptr<LinuxSound> MakeSound(QByteArray defaultSound = {}) {
        return std::make_unique<LinuxSound>(
            LinuxSound::Options{.sink = SoundSink::Null, .defaultSound = defaultSound});
    }

    // Whether 'sound' still plays something: SND_NOSTOP refuses to replace
    // a sound that is playing.
    bool StillPlaying(LinuxSound& sound) {
        const QByteArray probe = Name("tone50.wav");
        return !sound.PlaySound(probe.constData(), SND_ASYNC | SND_NOSTOP);
    }

    // Waits, up to a generous bound, for the background sound to end.
    bool EndsByItself(LinuxSound& sound) {
        return QTest::qWaitFor([&] { return !StillPlaying(sound); }, 5000);
    }

    QTemporaryDir dir_;
};

TEST_F(LinuxSoundTest, SynchronousSoundReturnsOnlyAfterItsWholeLength) {
    auto sound = MakeSound();
    const QByteArray name = Name("tone50.wav");
    const auto start = Clock::now();
    EXPECT_TRUE(sound->PlaySound(name.constData(), SND_FILENAME));
    EXPECT_GE(Clock::now() - start, 50ms);
}

TEST_F(LinuxSoundTest, SynchronousLoopPlaysOnceInsteadOfForever) {
    auto sound = MakeSound();
    const QByteArray name = Name("tone50.wav");
    EXPECT_TRUE(sound->PlaySound(name.constData(), SND_FILENAME | SND_LOOP));
    EXPECT_FALSE(StillPlaying(*sound));
}

TEST_F(LinuxSoundTest, AsynchronousSoundReturnsBeforeItEnds) {
    ASSERT_TRUE(WriteTone(Path("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4000ms));
    auto sound = MakeSound();
    const QByteArray name = Name("long.wav");
    const auto start = Clock::now();
    EXPECT_TRUE(sound->PlaySound(name.constData(), SND_FILENAME | SND_ASYNC));
    EXPECT_LT(Clock::now() - start, 2000ms);
    EXPECT_TRUE(StillPlaying(*sound));
}

TEST_F(LinuxSoundTest, AsynchronousSoundEndsByItself) {
    auto sound = MakeSound();
    const QByteArray name = Name("tone50.wav");
    ASSERT_TRUE(sound->PlaySound(name.constData(), SND_ASYNC));
    EXPECT_TRUE(EndsByItself(*sound));
}

TEST_F(LinuxSoundTest, LoopRepeatsUntilANullSoundStopsIt) {
    auto sound = MakeSound();
    const QByteArray name = Name("tone50.wav");
    ASSERT_TRUE(sound->PlaySound(name.constData(), SND_ASYNC | SND_LOOP));
    QTest::qWait(300);
    EXPECT_TRUE(StillPlaying(*sound));
    EXPECT_TRUE(sound->PlaySound(nullptr, SND_ASYNC));
    EXPECT_FALSE(StillPlaying(*sound));
}

TEST_F(LinuxSoundTest, NewSoundReplacesTheLoopingOne) {
    auto sound = MakeSound();
    const QByteArray name = Name("tone50.wav");
    ASSERT_TRUE(sound->PlaySound(name.constData(), SND_ASYNC | SND_LOOP));
    EXPECT_TRUE(sound->PlaySound(name.constData(), SND_SYNC));
    EXPECT_FALSE(StillPlaying(*sound));
}

TEST_F(LinuxSoundTest, NullSoundWithNothingPlayingSucceeds) {
    EXPECT_TRUE(MakeSound()->PlaySound(nullptr, SND_SYNC));
    EXPECT_TRUE(MakeSound()->PlaySound(nullptr, SND_MEMORY));
}

TEST_F(LinuxSoundTest, DriveLetterPathIsTranslated) {
    // The temporary folder lies on C:, which is the root folder.
    const QString drivePath =
        QStringLiteral("c:") +
        QDir::toNativeSeparators(Path("tone50.wav")).replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QByteArray name = drivePath.toUtf8();
    EXPECT_TRUE(MakeSound()->PlaySound(name.constData(), SND_FILENAME | SND_NODEFAULT));
}

TEST_F(LinuxSoundTest, TheClickInTheDataFolderPlays) {
    EXPECT_TRUE(MakeSound()->PlaySound("c:\\windows\\dclick.wav", SND_FILENAME | SND_NODEFAULT));
    EXPECT_TRUE(MakeSound()->PlaySound("C:\\WINDOWS\\dclick.wav", SND_FILENAME | SND_NODEFAULT));
}

TEST_F(LinuxSoundTest, TheClickIsShort) {
    const QByteArray path =
        QFile::encodeName(QCoreApplication::applicationDirPath()) + "/../data/dclick.wav";
    const auto click = WaveDecoder::OpenFile(path, WaveDecoder::Accept::WaveOnly);
    ASSERT_TRUE(click);
    EXPECT_GE(click->Duration(), 30ms);
    EXPECT_LE(click->Duration(), 60ms);
}

TEST_F(LinuxSoundTest, ResourceNamesTheCompiledInSounds) {
    auto sound = MakeSound();
    EXPECT_TRUE(sound->PlaySound("dclick.wav", SND_RESOURCE | SND_NODEFAULT));
    EXPECT_TRUE(sound->PlaySound(":/sounds/dclick.wav", SND_RESOURCE | SND_NODEFAULT));
    EXPECT_FALSE(sound->PlaySound("no-such-sound", SND_RESOURCE | SND_NODEFAULT));
    EXPECT_FALSE(
        sound->PlaySound(reinterpret_cast<const void*>(101), SND_RESOURCE | SND_NODEFAULT));
}

TEST_F(LinuxSoundTest, MemoryImageIsReadAsFarAsItsRiffSizeSays) {
    // Bytes past the image must be ignored, not read as part of it.
    const QByteArray image = ReadAll(Path("tone50.wav")) + QByteArray(4096, '\x7f');
    EXPECT_TRUE(MakeSound()->PlaySound(image.constData(), SND_MEMORY | SND_NODEFAULT));
}

TEST_F(LinuxSoundTest, AsynchronousMemorySoundOutlivesTheCallersBuffer) {
    auto sound = MakeSound();
    QByteArray image = ReadAll(Path("tone50.wav"));
    ASSERT_TRUE(sound->PlaySound(image.constData(), SND_MEMORY | SND_ASYNC | SND_LOOP));
    image.fill('\0');
    image.clear();
    QTest::qWait(150);
    EXPECT_TRUE(StillPlaying(*sound));
}

// Each wave encoding decodes to the tone that was written, within what the
// encoding keeps of it, and plays.
struct Encoding {
    const char* name;
    int format;
    int channels;
    double tolerance;  // of the root-mean-square error
};

class EncodingTest : public LinuxSoundTest, public testing::WithParamInterface<Encoding> {};

// Over the frames written; what an encoding pads after them is not compared.
double RmsError(WaveDecoder& decoder, std::int64_t written) {
    std::vector<float> frames(static_cast<size_t>(decoder.Frames() * decoder.Channels()));
    const std::int64_t read = std::min(decoder.Read(frames.data(), decoder.Frames()), written);
    double sum = 0;
    for (std::int64_t i = 0; i < read; ++i)
        for (int c = 0; c < decoder.Channels(); ++c) {
            const double error = frames[i * decoder.Channels() + c] - Tone(i, c);
            sum += error * error;
        }
    return read > 0 ? std::sqrt(sum / static_cast<double>(read * decoder.Channels())) : 1.0;
}

TEST_P(EncodingTest, DecodesAndPlays) {
    const Encoding& encoding = GetParam();
    const QString path = Path(QStringLiteral("%1.wav").arg(encoding.name));
    ASSERT_TRUE(WriteTone(path, encoding.format, 60ms, encoding.channels));

    const auto decoder =
        WaveDecoder::OpenFile(QFile::encodeName(path), WaveDecoder::Accept::WaveOnly);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->SampleRate(), kRate);
    EXPECT_EQ(decoder->Channels(), encoding.channels);
    // ADPCM pads the last block with silence.
    EXPECT_GE(decoder->Frames(), FramesOf(60ms));
    EXPECT_LT(decoder->Frames(), FramesOf(60ms) + 2048);
    EXPECT_LT(RmsError(*decoder, FramesOf(60ms)), encoding.tolerance);

    const QByteArray name = path.toUtf8();
    EXPECT_TRUE(MakeSound()->PlaySound(name.constData(), SND_FILENAME | SND_NODEFAULT));
}

INSTANTIATE_TEST_SUITE_P(
    AllWaveEncodings, EncodingTest,
    testing::Values(Encoding{"pcm8", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 0.01},
                    Encoding{"pcm16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 0.001},
                    Encoding{"pcm16stereo", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 0.001},
                    Encoding{"pcm24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 0.001},
                    Encoding{"pcm32", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 1, 0.001},
                    Encoding{"float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 0.0001},
                    Encoding{"mulaw", SF_FORMAT_WAV | SF_FORMAT_ULAW, 1, 0.02},
                    Encoding{"alaw", SF_FORMAT_WAV | SF_FORMAT_ALAW, 1, 0.02},
                    Encoding{"imaadpcm", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 1, 0.05},
                    Encoding{"msadpcm", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 2, 0.05},
                    Encoding{"extensible", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 2, 0.001}),
    [](const testing::TestParamInfo<Encoding>& info) { return std::string(info.param.name); });

// Sounds that cannot be played: the stand-in plays unless SND_NODEFAULT, and
// with no stand-in the call fails. None of them may crash or hang.
struct BadSound {
    const char* name;
    // Makes the bad sound in the folder and returns its name there.
    QString (*make)(const QTemporaryDir& dir);
};

class BadSoundTest : public LinuxSoundTest, public testing::WithParamInterface<BadSound> {};

QString MakeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    return WriteBytes(path, bytes) ? path : QString();
}

QByteArray WaveHead(const QTemporaryDir& dir, int bytes) {
    return ReadAll(dir.filePath(QStringLiteral("tone50.wav"))).left(bytes);
}

TEST_P(BadSoundTest, PlaysTheStandInOrNothing) {
    const QString path = GetParam().make(dir_);
    ASSERT_FALSE(path.isNull());
    const QByteArray name = path.toUtf8();
    EXPECT_FALSE(MakeSound(Name("stand-in.wav"))->PlaySound(name.constData(), SND_NODEFAULT));
    EXPECT_TRUE(MakeSound(Name("stand-in.wav"))->PlaySound(name.constData(), SND_SYNC));
    EXPECT_FALSE(MakeSound()->PlaySound(name.constData(), SND_SYNC));
    EXPECT_FALSE(MakeSound()->PlaySound(name.constData(), SND_ASYNC | SND_LOOP));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadSoundTest,
    testing::Values(
        BadSound{"Missing", [](const QTemporaryDir& d) { return d.filePath("missing.wav"); }},
        BadSound{"EmptyName", [](const QTemporaryDir&) { return QString(""); }},
        BadSound{"ZeroBytes", [](const QTemporaryDir& d) { return MakeFile(d, "zero.wav", {}); }},
        BadSound{"Text",
                 [](const QTemporaryDir& d) { return MakeFile(d, "text.wav", "not a sound\n"); }},
        BadSound{"HalfAHeader",
                 [](const QTemporaryDir& d) { return MakeFile(d, "half.wav", WaveHead(d, 22)); }},
        BadSound{"HeaderWithoutSamples",
                 [](const QTemporaryDir& d) { return MakeFile(d, "head.wav", WaveHead(d, 44)); }},
        BadSound{"GarbageAfterRiff",
                 [](const QTemporaryDir& d) {
                     return MakeFile(d, "garbage.wav",
                                     "RIFF\x10\0\0\0WAVEjunkjunkjunk" + QByteArray(3000, '\xa5'));
                 }},
        BadSound{"NotAWave",
                 [](const QTemporaryDir& d) {
                     const QString path = d.filePath("tone.aiff");
                     return WriteTone(path, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 50ms) ? path
                                                                                     : QString();
                 }},
        BadSound{"TooManyChannels",
                 [](const QTemporaryDir& d) {
                     const QString path = d.filePath("wide.wav");
                     return WriteTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 50ms, 64) ? path
                                                                                        : QString();
                 }},
        BadSound{"Folder",
                 [](const QTemporaryDir& d) {
                     return QDir(d.path()).mkdir("folder.wav") ? d.filePath("folder.wav")
                                                               : QString();
                 }},
        BadSound{"Pipe",
                 [](const QTemporaryDir& d) {
                     const QString path = d.filePath("pipe.wav");
                     return mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path
                                                                                   : QString();
                 }},
        BadSound{"DriveThatDoesNotExist",
                 [](const QTemporaryDir&) { return QString("q:\\sounds\\click.wav"); }}),
    [](const testing::TestParamInfo<BadSound>& info) { return std::string(info.param.name); });

TEST_F(LinuxSoundTest, UnreadableFileIsABadSound) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    const QString path = Path("locked.wav");
    ASSERT_TRUE(QFile::copy(Path("tone50.wav"), path));
    ASSERT_TRUE(QFile::setPermissions(path, {}));
    const QByteArray name = path.toUtf8();
    EXPECT_FALSE(MakeSound()->PlaySound(name.constData(), SND_SYNC));
}

TEST_F(LinuxSoundTest, TruncatedSoundPlaysWhatIsThere) {
    ASSERT_TRUE(WriteTone(Path("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 200ms));
    const QByteArray bytes = ReadAll(Path("long.wav"));
    ASSERT_TRUE(WriteBytes(Path("cut.wav"), bytes.left(bytes.size() / 4)));
    const QByteArray name = Name("cut.wav");
    EXPECT_TRUE(MakeSound()->PlaySound(name.constData(), SND_NODEFAULT));
}

TEST_F(LinuxSoundTest, BadMemoryImagePlaysTheStandInOrNothing) {
    const QByteArray junk(64, '\x33');
    EXPECT_FALSE(MakeSound()->PlaySound(junk.constData(), SND_MEMORY));
    EXPECT_TRUE(MakeSound(Name("stand-in.wav"))->PlaySound(junk.constData(), SND_MEMORY));
    // A well-formed image whose data chunk is empty.
    QByteArray noSamples = ReadAll(Path("tone50.wav")).left(44);
    ASSERT_EQ(noSamples.mid(36, 4), "data");
    noSamples.replace(4, 4, QByteArray("\x24\0\0\0", 4)).replace(40, 4, QByteArray(4, '\0'));
    EXPECT_FALSE(MakeSound()->PlaySound(noSamples.constData(), SND_MEMORY));
}

TEST_F(LinuxSoundTest, StandInForAMissingSoundIsPlayedSynchronously) {
    ASSERT_TRUE(WriteTone(Path("stand-in-long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 80ms));
    const auto start = Clock::now();
    EXPECT_TRUE(MakeSound(Name("stand-in-long.wav"))->PlaySound("c:\\missing.wav", SND_FILENAME));
    EXPECT_GE(Clock::now() - start, 80ms);
}

TEST_F(LinuxSoundTest, StandInIsTheSoundThemesBell) {
    const QByteArray savedDataDirs = qgetenv("XDG_DATA_DIRS");
    ASSERT_TRUE(QDir(dir_.path()).mkpath("share/sounds/freedesktop/stereo"));
    ASSERT_TRUE(WriteTone(Path("share/sounds/freedesktop/stereo/bell.oga"),
                          SF_FORMAT_OGG | SF_FORMAT_VORBIS, 100ms));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(Path("nothing-here") + ":" + Path("share")));
    LinuxSound sound({.sink = SoundSink::Null, .defaultSound = std::nullopt});
    EXPECT_TRUE(sound.PlaySound("c:\\missing.wav", SND_FILENAME));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(Path("nothing-here")));
    EXPECT_FALSE(sound.PlaySound("c:\\missing.wav", SND_FILENAME));
    qputenv("XDG_DATA_DIRS", savedDataDirs);
}

TEST_F(LinuxSoundTest, StandInIsNeverLooped) {
    auto sound = MakeSound(Name("stand-in.wav"));
    EXPECT_TRUE(sound->PlaySound("c:\\missing.wav", SND_ASYNC | SND_LOOP));
    EXPECT_TRUE(EndsByItself(*sound));
}

}  // namespace
