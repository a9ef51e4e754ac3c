#include <gtest/gtest.h>
#include <sndfile.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "media/MPlayer.h"
#include "media/Volumes.h"
#include "platform/mixer/AudioDevices.h"
#include "platform/mixer/LinuxAudioDevices.h"
#include "platform/sound/LinuxSound.h"
#include "support/BusyCores.h"
#include "support/ServiceScope.h"
#include "support/TestMedia.h"
#include "toolkit/TrackBar.h"

using namespace platform;
using namespace std::chrono_literals;

// The sound service, the media device and the volume control on a real sound
// server with a null sink as the default, which tests/sound/sound-server.sh
// starts around this program (and stops, started and restarted here).
namespace {

constexpr int kRate = 48000;

QByteArray Env(const char* name) {
    return qgetenv(name);
}

void Server(const char* command) {
    const QByteArray line = Env("BRELMO_SOUND_SERVER") + ' ' + command;
    ASSERT_EQ(std::system(line.constData()), 0) << line.constData();
}

// What reaches the null sink, read from its monitor as 16-bit mono into a
// file (a pipe left unread fills up within a second and stalls the recorder).
class SinkRecorder {
  public:
    SinkRecorder() : file_(Env("XDG_RUNTIME_DIR") + "/monitor-XXXXXX.raw") {
        file_.open();
        parec_.setStandardOutputFile(file_.fileName());
        parec_.start(QStringLiteral("parec"),
                     {QStringLiteral("-d"), QString::fromUtf8(Env("BRELMO_TEST_SINK") + ".monitor"),
                      QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                      QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--raw"),
                      QStringLiteral("--latency-msec=5")});
        parec_.waitForStarted();
        // The monitor's first bytes arrive some 20 ms after the start.
        QElapsedTimer clock;
        clock.start();
        while (file_.size() == 0 && clock.elapsed() < 2000) QThread::msleep(10);
    }
    ~SinkRecorder() { Stop(); }

    // Milliseconds recorded louder than a whisper, in all.
    double LoudMs() {
        const std::vector<qint16> samples = Samples();
        const auto loud = std::count_if(samples.begin(), samples.end(), Loud);
        return 1000.0 * static_cast<double>(loud) / kRate;
    }

    // The loud milliseconds of each sound heard, a sound ending where 5 ms
    // stay quiet; a tick of a sample or two is none.
    std::vector<double> LoudMsOfEachSound() {
        const std::vector<qint16> samples = Samples();
        std::vector<double> sounds;
        std::size_t lastLoud = 0;
        for (std::size_t at = 0; at < samples.size(); ++at) {
            if (!Loud(samples[at])) continue;
            if (sounds.empty() || at - lastLoud > kRate / 200) sounds.push_back(0);
            sounds.back() += 1000.0 / kRate;
            lastLoud = at;
        }
        std::erase_if(sounds, [](double loudMs) { return loudMs < 0.1; });
        return sounds;
    }

    // The loudest sample, as a share of full scale.
    double Peak() {
        const std::vector<qint16> samples = Samples();
        return std::abs(*std::max_element(samples.begin(), samples.end(), Quieter)) / 32768.0;
    }

  private:
    static bool Loud(qint16 sample) { return std::abs(sample) > 300; }
    static bool Quieter(qint16 a, qint16 b) { return std::abs(a) < std::abs(b); }

    std::vector<qint16> Samples() {
        Stop();
        file_.seek(0);
        const QByteArray bytes = file_.readAll();
        const auto* samples = reinterpret_cast<const qint16*>(bytes.constData());
        return {samples, samples + bytes.size() / 2};
    }

    void Stop() {
        if (parec_.state() == QProcess::NotRunning) return;
        QThread::msleep(150);  // what the server still holds
        parec_.terminate();
        parec_.waitForFinished(2000);
    }

    QTemporaryFile file_;
    QProcess parec_;
};

// A sine tone loud enough that every half-period counts as loud for most of it.
QString LoudTone(double seconds) {
    return testmedia::Wav(SF_FORMAT_PCM_16, seconds);
}

class SoundServerTest : public testing::Test {
  public:
    SoundServerTest() {
        display.SetBounds(0, 0, 160, 120);
        display.show();
        mp.SetDisplay(&display);
        mp.SetAutoRewind(false);
        mp.OnNotify = [this](TObject*) {
            notices.push_back(mp.NotifyValue());
            noticeAt = clock.elapsed();
        };
    }

    void Play(const QString& path) {
        mp.SetFileName(path);
        mp.Open();
        clock.start();
        mp.Play();
    }

    void RunEventsUntil(qint64 ms, std::size_t noticeCount = 1) {
        const auto done = [&] { return clock.elapsed() >= ms || notices.size() >= noticeCount; };
        (void)QTest::qWaitFor(done, static_cast<int>(ms));
    }

    std::uint32_t Position() {
        MCI_STATUS_PARMS params{nullptr, MCI_STATUS_POSITION};
        Mci().SendCommand(mp.DeviceID(), MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &params);
        return params.dwReturn;
    }

    TCustomControl display{nullptr};
    TMediaPlayer mp{nullptr};
    QElapsedTimer clock;
    std::vector<TMPNotifyValues> notices;
    qint64 noticeAt = -1;
};

// What a case plays and how much of it must be heard on the sink.
struct Heard {
    const char* name;
    void (*play)(SoundServerTest&);
    double loudMs;
};

class ReachesTheSinkTest : public SoundServerTest, public testing::WithParamInterface<Heard> {};

TEST_P(ReachesTheSinkTest, IsHeardOnTheSink) {
    SinkRecorder recorder;
    GetParam().play(*this);
    EXPECT_GE(recorder.LoudMs(), GetParam().loudMs);
}

QByteArray ClickFile() {
    return QFile::encodeName(QCoreApplication::applicationDirPath()) + "/../data/dclick.wav";
}

void Click(LinuxSound& sound) {
    EXPECT_TRUE(sound.PlaySound(ClickFile().constData(), SND_FILENAME | SND_NODEFAULT));
}

void PressClick(int presses, std::chrono::milliseconds pause = 0ms) {
    LinuxSound sound;
    for (int press = 0; press < presses; ++press) {
        if (press > 0) QThread::msleep(pause.count());
        Click(sound);
    }
}

// The click is whole (some 32 ms of it is loud) even when the service, and
// its stream, goes the moment the play returns, as at Exit.
void PlayClick(SoundServerTest&) {
    PressClick(1);
}

// The stream kept between presses plays every one of them, whether they
// follow each other at once or as a user's presses do.
void PlayFiveClicks(SoundServerTest&) {
    PressClick(5);
}
void PlayFiveClicksApart(SoundServerTest&) {
    PressClick(5, 400ms);
}
void PlayFiveClicksApartOnBusyCores(SoundServerTest&) {
    const BusyCores busy;
    PressClick(5, 400ms);
}

void PlayWaveFile(SoundServerTest& test) {
    test.Play(LoudTone(0.5));
    test.RunEventsUntil(1500);
}

void PlayAviSound(SoundServerTest& test) {
    test.Play(testmedia::AudioVideoAvi(25));
    test.RunEventsUntil(2000);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ReachesTheSinkTest,
    testing::Values(Heard{"Click", &PlayClick, 25}, Heard{"FiveClicks", &PlayFiveClicks, 125},
                    Heard{"FiveClicksApart", &PlayFiveClicksApart, 150},
                    Heard{"FiveClicksApartOnBusyCores", &PlayFiveClicksApartOnBusyCores, 150},
                    Heard{"WaveFile", &PlayWaveFile, 300}, Heard{"AviSound", &PlayAviSound, 600}),
    [](const auto& info) { return std::string(info.param.name); });

// A clip keeps going when the server dies under it: its position advances
// and its end is told on time, with no failure.
TEST_F(SoundServerTest, ServerKilledMidPlayLeavesTheClipGoing) {
    Play(testmedia::AudioVideoAvi(75));  // 3 s
    RunEventsUntil(1000);
    Server("stop");
    RunEventsUntil(1500);
    const std::uint32_t afterKill = Position();
    RunEventsUntil(2000);
    EXPECT_GE(Position(), afterKill + 300);
    RunEventsUntil(5000);
    Server("start");
    ASSERT_EQ(notices, std::vector<TMPNotifyValues>{nrSuccessful});
    // Not early, and not left waiting for a sink that is gone: the bound above
    // is loose because a sanitizer build plays the clip on a slower clock.
    EXPECT_GE(noticeAt, 2500);
    EXPECT_LE(noticeAt, 5000);
}

// With the server down a clip opens and plays to its end, silently; the
// next open after the server is back is heard.
TEST_F(SoundServerTest, ServerDownPlaysSilentlyAndBackIsHeard) {
    Server("stop");
    Play(LoudTone(0.5));
    RunEventsUntil(2000);
    ASSERT_EQ(notices, std::vector<TMPNotifyValues>{nrSuccessful});
    EXPECT_GE(noticeAt, 400);  // played in real time on the silent sink, not dropped
    Server("start");
    SinkRecorder recorder;
    notices.clear();
    Play(LoudTone(0.5));
    RunEventsUntil(2000);
    EXPECT_GE(recorder.LoudMs(), 300);
}

// The click with the server down still returns after its length, and is
// heard again once the server is back.
TEST_F(SoundServerTest, ClickFollowsTheServerDownAndBack) {
    LinuxSound sound;
    const QByteArray tone = QFile::encodeName(LoudTone(0.2));
    Server("stop");
    QElapsedTimer wall;
    wall.start();
    EXPECT_FALSE(sound.PlaySound(tone.constData(), SND_FILENAME | SND_NODEFAULT));
    EXPECT_GE(wall.elapsed(), 190);
    Server("start");
    SinkRecorder recorder;
    EXPECT_TRUE(sound.PlaySound(tone.constData(), SND_FILENAME | SND_NODEFAULT));
    EXPECT_GE(recorder.LoudMs(), 120);
}

std::string PactlVolume() {
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"),
                {QStringLiteral("get-sink-volume"), QStringLiteral("@DEFAULT_SINK@")});
    pactl.waitForFinished(2000);
    return pactl.readAllStandardOutput().toStdString();
}

void SetPactlVolume(const char* volume) {
    const std::string line = std::string("pactl set-sink-volume @DEFAULT_SINK@ ") + volume;
    ASSERT_EQ(std::system(line.c_str()), 0);
}

// Next while a clip plays: the click, the clip's stop, the click again, then
// the next clip, three times. With silent clips, only the clicks reach the
// sink, each whole: a cut-off head of the first one was heard as a thump.
TEST_F(SoundServerTest, NextWhileAClipPlaysHearsOnlyWholeClicks) {
    const QString silence = testmedia::Wav(SF_FORMAT_PCM_16, 2, 1, 0);
    LinuxSound sound;
    Click(sound);
    Play(silence);
    SinkRecorder recorder;
    for (int press = 0; press < 3; ++press) {
        RunEventsUntil(700, 9);  // the stops' notices end no wait
        Click(sound);
        mp.Stop();
        Click(sound);
        Play(silence);
    }
    RunEventsUntil(300, 9);
    const std::vector<double> sounds = recorder.LoudMsOfEachSound();
    ASSERT_EQ(sounds.size(), 6u) << testing::PrintToString(sounds);
    for (const double loudMs : sounds) EXPECT_GE(loudMs, 30);  // some 33 ms when whole
}

// The loudest sample of a wave file, as a share of full scale.
double FilePeak(const QString& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    double peak = 0;
    sf_command(file, SFC_CALC_NORM_SIGNAL_MAX, &peak, sizeof peak);
    sf_close(file);
    return peak;
}

// The click and a clip reach the sink at their files' levels times the
// same volume, the sink's (half way here).
TEST_F(SoundServerTest, ClickAndClipShareOneLoudness) {
    SetPactlVolume("50%");
    double clickGain = 0;
    {
        SinkRecorder recorder;
        PressClick(1);
        clickGain = recorder.Peak() / FilePeak(QString::fromLocal8Bit(ClickFile()));
    }
    SinkRecorder recorder;
    Play(LoudTone(0.5));
    RunEventsUntil(1500);
    const double clipGain = recorder.Peak() / FilePeak(LoudTone(0.5));
    EXPECT_NEAR(20 * std::log10(clickGain / clipGain), 0, 2)
        << "click x" << clickGain << ", clip x" << clipGain;
}

// The volume slider on the server's Master: an outside change shows, a move
// sets both channels, and both still hold after the server restarted.
TEST_F(SoundServerTest, VolumeRoundTripOnTheServersMaster) {
    const ServiceScope<SetAudioDevices> devices(std::make_unique<LinuxAudioDevices>());
    TTrackBar slider(nullptr);
    slider.SetOrientation(trVertical);
    TVolumeControl volume(nullptr);
    volume.SetInterval(0);
    volume.SetWaveTrackBar(&slider);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "first server" : "restarted server");
        SetPactlVolume("30%");
        volume.SyncTrackBars(nullptr);
        EXPECT_EQ(slider.Position(), 179);
        slider.SetPosition(0);
        volume.TrackBarChange(&slider);
        // Read afresh, with no memory of the word written.
        std::uint32_t word = 0;
        LinuxAudioDevices().GetVolume(OutputClass::WaveOut, 0, word);
        EXPECT_EQ(word, 0xFF00FF00u) << PactlVolume();
        Server("restart");
    }
}

// A player started before the server (an autostart at login) gets its
// volume line once the server is up.
TEST_F(SoundServerTest, VolumeLineFoundWhenTheServerStartsLater) {
    Server("stop");
    const ServiceScope<SetAudioDevices> devices(std::make_unique<LinuxAudioDevices>());
    TTrackBar slider(nullptr);
    TVolumeControl volume(nullptr);
    volume.SetInterval(0);
    volume.SetWaveTrackBar(&slider);
    Server("start");
    SetPactlVolume("30%");
    QElapsedTimer wait;
    wait.start();
    while (slider.Position() != 76 && wait.elapsed() < 5000) {
        QThread::msleep(100);
        volume.SyncTrackBars(nullptr);
    }
    EXPECT_EQ(slider.Position(), 76) << PactlVolume();
}

}  // namespace
