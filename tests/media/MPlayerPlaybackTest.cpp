#include <gtest/gtest.h>
#include <sndfile.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QThread>

#include "media/MPlayer.h"
#include "support/TestMedia.h"

using namespace platform;

// TMediaPlayer on the real media layer and generated media. No test needs a
// sound device: where there is none, sound plays into a synced fake sink.
namespace {

class MPlayerPlaybackTest : public testing::Test {
  protected:
    MPlayerPlaybackTest() {
        display.SetColor(clBlack);
        display.SetBounds(0, 0, 240, 180);
        display.show();
        mp.SetDisplay(&display);
        mp.SetAutoRewind(false);
        mp.OnNotify = [this](TObject*) { notices.push_back(mp.NotifyValue()); };
    }

    void OpenFile(const QString& path) {
        mp.SetFileName(path);
        mp.Open();
    }

    // Runs the event loop until 'count' notices came or 'ms' passed.
    std::vector<TMPNotifyValues> WaitForNotices(std::size_t count, int ms = 3000) {
        (void)QTest::qWaitFor([&] { return notices.size() >= count; }, ms);
        return notices;
    }

    void RunEvents(int ms) { QTest::qWait(ms); }

    std::uint32_t Status(std::uint32_t item) {
        MCI_STATUS_PARMS params{nullptr, item};
        EXPECT_EQ(Mci().SendCommand(mp.DeviceID(), MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &params),
                  0u);
        return params.dwReturn;
    }

    QColor DisplayPixel(int x, int y) {
        RunEvents(50);
        return display.grab().toImage().pixelColor(x, y);
    }

    TCustomControl display{nullptr};
    TMediaPlayer mp{nullptr};
    std::vector<TMPNotifyValues> notices;
};

TEST_F(MPlayerPlaybackTest, NaturalSizeAndDisplayRectOfEachClip) {
    struct Case {
        QString path;
        int width;
        int height;
    };
    const Case cases[] = {
        {testmedia::MjpegAvi(160, 120), 160, 120}, {testmedia::MjpegAvi(161, 121), 161, 121},
        {testmedia::RawAvi(160, 120), 160, 120},   {testmedia::RawAvi(161, 121), 161, 121},
        {testmedia::AudioVideoAvi(), 160, 120},    {testmedia::Wav(SF_FORMAT_PCM_16), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        OpenFile(c.path);
        EXPECT_EQ(mp.HasVideo(), c.width > 0);
        EXPECT_EQ(mp.NaturalWidth(), c.width);
        EXPECT_EQ(mp.NaturalHeight(), c.height);
        mp.SetDisplayRect(Rect(0, 0, 0, 0));
        EXPECT_EQ(mp.DisplayRect(), Rect(0, 0, c.width, c.height));
        mp.Close();
    }
}

TEST_F(MPlayerPlaybackTest, WaveFilesOfEveryEncodingOpenWithTheirTrueLength) {
    for (const int format : {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_IMA_ADPCM,
                             SF_FORMAT_MS_ADPCM, SF_FORMAT_ULAW}) {
        SCOPED_TRACE(format);
        OpenFile(testmedia::Wav(format, 2.0));
        EXPECT_NEAR(Status(MCI_STATUS_LENGTH), 2000, 20);
        EXPECT_FALSE(mp.HasVideo());
        mp.Close();
    }
}

TEST_F(MPlayerPlaybackTest, PlayToTheEndGivesOneSuccessfulNotice) {
    for (const QString& path : {testmedia::AudioVideoAvi(), testmedia::Wav(SF_FORMAT_IMA_ADPCM)}) {
        SCOPED_TRACE(path.toStdString());
        notices.clear();
        OpenFile(path);
        QElapsedTimer clock;
        clock.start();
        mp.Play();
        EXPECT_EQ(WaitForNotices(1), (std::vector<TMPNotifyValues>{nrSuccessful}));
        EXPECT_GE(clock.elapsed(), 300) << "plays in real time";
        RunEvents(100);
        EXPECT_EQ(notices.size(), 1u);
        EXPECT_EQ(Status(MCI_STATUS_MODE), MCI_MODE_STOP);
        mp.Close();
    }
}

TEST_F(MPlayerPlaybackTest, StopAndCloseAbortThePlayAndStopKeepsThePosition) {
    OpenFile(testmedia::AudioVideoAvi(20));
    mp.Play();
    RunEvents(250);
    mp.Stop();
    EXPECT_EQ(WaitForNotices(1), (std::vector<TMPNotifyValues>{nrAborted}));
    const std::uint32_t stoppedAt = Status(MCI_STATUS_POSITION);
    EXPECT_GT(stoppedAt, 100u);
    EXPECT_LT(stoppedAt, 600u);
    RunEvents(200);
    EXPECT_EQ(Status(MCI_STATUS_POSITION), stoppedAt);
    EXPECT_EQ(notices.size(), 1u);

    mp.Play();  // goes on from where it stopped
    RunEvents(100);
    mp.Close();
    EXPECT_EQ(WaitForNotices(2), (std::vector<TMPNotifyValues>{nrAborted, nrAborted}));
}

TEST_F(MPlayerPlaybackTest, PauseAndResumeGoOnWithTheSamePlay) {
    OpenFile(testmedia::Wav(SF_FORMAT_MS_ADPCM));
    mp.Play();
    RunEvents(100);
    mp.Pause();
    EXPECT_EQ(Status(MCI_STATUS_MODE), MCI_MODE_PAUSE);
    RunEvents(500);
    EXPECT_TRUE(notices.empty()) << "a paused play does not end";
    mp.Pause();  // resumes, asking for a notice that takes over the play's
    EXPECT_EQ(Status(MCI_STATUS_MODE), MCI_MODE_PLAY);
    EXPECT_EQ(WaitForNotices(2), (std::vector<TMPNotifyValues>{nrSuperseded, nrSuccessful}));
}

TEST_F(MPlayerPlaybackTest, AnEndOfStreamQueuedBeforeAStopEndsNoLaterPlay) {
    OpenFile(testmedia::Wav(SF_FORMAT_PCM_16, 0.3));
    mp.Play();
    QThread::msleep(700);  // the end of stream is queued, not yet handled
    mp.Stop();
    MCI_SEEK_PARMS seek{nullptr, 0};
    ASSERT_EQ(Mci().SendCommand(mp.DeviceID(), MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &seek), 0u);
    QElapsedTimer clock;
    clock.start();
    mp.Play();  // from the start: the old end must not end it
    EXPECT_EQ(WaitForNotices(2), (std::vector<TMPNotifyValues>{nrAborted, nrSuccessful}));
    EXPECT_GE(clock.elapsed(), 200);
}

TEST_F(MPlayerPlaybackTest, ASecondPlaySupersedesTheFirstNotice) {
    OpenFile(testmedia::Wav(SF_FORMAT_PCM_16));
    mp.Play();
    mp.Play();
    EXPECT_EQ(WaitForNotices(2), (std::vector<TMPNotifyValues>{nrSuperseded, nrSuccessful}));
}

TEST_F(MPlayerPlaybackTest, PlayAtTheEndFinishesAtOnceWithoutRewinding) {
    OpenFile(testmedia::MjpegAvi(160, 120));
    mp.Play();
    ASSERT_EQ(WaitForNotices(1).size(), 1u);
    const std::uint32_t end = Status(MCI_STATUS_LENGTH);
    EXPECT_EQ(Status(MCI_STATUS_POSITION), end);
    QElapsedTimer clock;
    clock.start();
    mp.Play();
    EXPECT_EQ(WaitForNotices(2), (std::vector<TMPNotifyValues>{nrSuccessful, nrSuccessful}));
    EXPECT_LT(clock.elapsed(), 200);
    EXPECT_EQ(Status(MCI_STATUS_POSITION), end);
}

TEST_F(MPlayerPlaybackTest, BrokenFilesRaiseTextsThatNameTheProblem) {
    struct Case {
        QString path;
        QString text;
    };
    const Case cases[] = {
        {testmedia::MissingAvi(), QStringLiteral("The file does not exist: ")},
        {testmedia::EmptyAvi(), QStringLiteral("The file is empty: ")},
        {testmedia::TextAvi(), QStringLiteral("Not a valid AVI file (no RIFF AVI header): ")},
        {testmedia::FolderAvi(), QStringLiteral("This is a folder, not a media file: ")},
        {testmedia::PipeWav(), QStringLiteral("This is a pipe or device, not a media file: ")},
        {testmedia::TruncatedAvi(), QStringLiteral("Not a valid AVI file (truncated header): ")},
        {testmedia::TopDownRawAvi(),
         QStringLiteral("Raw RGB video stored top-down is not supported: ")},
        {testmedia::UnknownCodecAvi(), QStringLiteral("No decoder is installed for this file (")},
        {testmedia::UnknownCodecAvi(true),
         QStringLiteral("No decoder is installed for this file (")},
        {testmedia::UnreadableAvi(),
         QStringLiteral("The file cannot be read (Permission denied): ")},
        {QStringLiteral("Q:\\nowhere\\clip.avi"), QStringLiteral("The file does not exist: ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        if (c.path == testmedia::UnreadableAvi() && QFile(c.path).open(QIODevice::ReadOnly))
            continue;  // the superuser reads everything
        QElapsedTimer clock;
        clock.start();
        try {
            OpenFile(c.path);
            ADD_FAILURE() << "opened";
        } catch (const EMCIDeviceError& error) {
            EXPECT_TRUE(error.Message().startsWith(c.text)) << error.Message().toStdString();
            EXPECT_TRUE(error.Message().endsWith(c.path)) << error.Message().toStdString();
        }
        EXPECT_LT(clock.elapsed(), 5500);
        EXPECT_FALSE(mp.IsOpen());
    }
    OpenFile(testmedia::MjpegAvi(160, 120));  // the layer is still usable
    EXPECT_TRUE(mp.IsOpen());
}

TEST_F(MPlayerPlaybackTest, FramesReachTheDisplayAndStayWhilePaused) {
    OpenFile(testmedia::MjpegAvi(160, 120, "red", 10));
    mp.SetDisplayRect(Rect(0, 0, 0, 0));
    const QColor prerolled = DisplayPixel(80, 60);
    EXPECT_GT(prerolled.red(), 200);
    EXPECT_LT(prerolled.green(), 60);
    EXPECT_EQ(DisplayPixel(200, 150), QColor(Qt::black)) << "outside the video: the black display";
    mp.Play();
    RunEvents(150);
    mp.Stop();
    display.repaint();
    EXPECT_GT(DisplayPixel(80, 60).red(), 200);
    mp.SetDisplayRect(Rect(40, 30, 80, 60));
    EXPECT_GT(DisplayPixel(50, 40).red(), 200);
    EXPECT_EQ(DisplayPixel(20, 20), QColor(Qt::black));
}

TEST_F(MPlayerPlaybackTest, DisplayGoingAwayWhilePlayingGivesTheDeviceItsDefaultWindow) {
    auto* panel = new TCustomControl(nullptr);
    mp.SetDisplay(panel);
    OpenFile(testmedia::MjpegAvi(160, 120, "green"));
    mp.Play();
    RunEvents(100);
    delete panel;
    EXPECT_EQ(mp.Display(), nullptr);
    EXPECT_EQ(WaitForNotices(1), (std::vector<TMPNotifyValues>{nrSuccessful}));
    mp.Close();
}

TEST_F(MPlayerPlaybackTest, FileDeletedWhilePlayingEndsWithOneNotice) {
    const QString copy = testmedia::CopyOf(testmedia::AudioVideoAvi(20));
    OpenFile(copy);
    mp.Play();
    RunEvents(50);
    ASSERT_TRUE(QFile::remove(copy));
    EXPECT_EQ(WaitForNotices(1).size(), 1u);
    RunEvents(100);
    EXPECT_EQ(notices.size(), 1u);
    mp.Close();
}

TEST_F(MPlayerPlaybackTest, DrivePathsAndOddNamesOpen) {
    for (const QString& source : {testmedia::MjpegAvi(160, 120), testmedia::Wav(SF_FORMAT_ULAW)}) {
        const QFileInfo original(source);
        const QString odd =
            original.dir().filePath(QStringLiteral("odd #1 %20 \u00e9 [x]") + original.fileName());
        ASSERT_TRUE(QFile::copy(source, odd) || QFile::exists(odd));
        for (const QString& name : {odd, QStringLiteral("C:") + QString(odd).replace('/', '\\')}) {
            SCOPED_TRACE(name.toStdString());
            OpenFile(name);
            EXPECT_TRUE(mp.IsOpen());
            mp.Close();
        }
    }
}

}  // namespace
