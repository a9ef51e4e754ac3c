#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include "platform/mixer/LinuxAudioDevices.h"

extern "C" {
#include <alsa/asoundlib.h>
}

using namespace platform;

namespace {

// Sends everything written on stderr to a file while it lives, with ALSA's
// process-wide error handler back at its default (printing on stderr), as it
// is before anything else has touched it.
class StderrCapture {
  public:
    StderrCapture() : savedHandler_(snd_lib_error) {
        snd_lib_error_set_handler(nullptr);
        file_.open();
        std::fflush(stderr);
        savedFd_ = dup(STDERR_FILENO);
        dup2(file_.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { Restore(); }

    QByteArray Text() {
        Restore();
        QFile read(file_.fileName());
        read.open(QIODevice::ReadOnly);
        return read.readAll();
    }

  private:
    void Restore() {
        if (savedFd_ < 0) return;
        std::fflush(stderr);
        dup2(savedFd_, STDERR_FILENO);
        close(savedFd_);
        savedFd_ = -1;
        snd_lib_error_set_handler(savedHandler_);
    }

    snd_lib_error_handler_t savedHandler_;
    QTemporaryFile file_;
    int savedFd_ = -1;
};

bool MachineHasSound() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !QDir(QStringLiteral("/dev/snd"))
                .entryList({QStringLiteral("controlC*")}, QDir::System)
                .isEmpty() ||
           (!runtime.isEmpty() && (QFile::exists(runtime + QStringLiteral("/pulse/native")) ||
                                   QFile::exists(runtime + QStringLiteral("/pipewire-0"))));
}

constexpr OutputClass kClasses[] = {OutputClass::Aux, OutputClass::WaveOut, OutputClass::MidiOut};

void ExpectNoDevice(IAudioDevices& devices) {
    for (OutputClass c : kClasses) {
        EXPECT_EQ(devices.GetNumDevs(c), 0u);
        OutputCaps caps;
        caps.dwSupport = 77;
        std::uint32_t volume = 1234;
        EXPECT_EQ(devices.GetDevCaps(c, 0, caps), MMSYSERR_BADDEVICEID);
        EXPECT_EQ(devices.GetVolume(c, 0, volume), MMSYSERR_BADDEVICEID);
        EXPECT_EQ(devices.SetVolume(c, 0, 0), MMSYSERR_BADDEVICEID);
        EXPECT_EQ(caps.dwSupport, 77u);
        EXPECT_EQ(volume, 1234u);
    }
}

TEST(LinuxAudioDevices, MissingControlsGiveNoDeviceAndPrintNothing) {
    StderrCapture capture;
    {
        LinuxAudioDevices devices("brelmo_no_such_control", {"hw:97", "hw:98"});
        ExpectNoDevice(devices);
    }
    EXPECT_EQ(capture.Text().toStdString(), "");
}

TEST(LinuxAudioDevices, TheMachinesOwnLinesPrintNothing) {
    StderrCapture capture;
    {
        LinuxAudioDevices devices;
        if (!MachineHasSound()) ExpectNoDevice(devices);
        for (OutputClass c : kClasses) {
            for (unsigned id = 0; id < devices.GetNumDevs(c); ++id) {
                std::uint32_t volume = 0;
                devices.GetVolume(c, id, volume);
            }
        }
    }
    EXPECT_EQ(capture.Text().toStdString(), "");
}

TEST(ChannelVolume, EveryWordWrittenReadsBackTheSame) {
    struct Range {
        long min;
        long max;
    };
    for (const Range& r : {Range{0, 1}, Range{0, 31}, Range{0, 255}, Range{0, 65536},
                           Range{-10239, 400}, Range{0, 0x7FFFFFFF}}) {
        ChannelVolume channel(r.min, r.max);
        for (std::uint32_t word = 0; word <= 0xFFFF; word += 0xFF) {
            const long raw = channel.Write(static_cast<std::uint16_t>(word));
            ASSERT_GE(raw, r.min);
            ASSERT_LE(raw, r.max);
            ASSERT_EQ(channel.Read(raw), word) << r.min << ".." << r.max;
        }
    }
}

TEST(ChannelVolume, RawValuesFromOutsideScaleToTheWholeWord) {
    struct Case {
        long min;
        long max;
        long raw;
        std::uint16_t word;
    };
    const Case cases[] = {
        {0, 31, 0, 0},          {0, 31, 31, 0xFFFF}, {0, 31, 16, 0x8421}, {0, 65536, 32768, 0x8000},
        {-100, 0, -50, 0x8000}, {0, 31, 40, 0xFFFF}, {0, 31, -3, 0},      {5, 5, 5, 0},
    };
    for (const Case& c : cases) {
        ChannelVolume channel(c.min, c.max);
        EXPECT_EQ(channel.Read(c.raw), c.word) << c.min << ".." << c.max << " at " << c.raw;
    }
}

TEST(ChannelVolume, AnOutsideChangeAfterAWriteShows) {
    ChannelVolume channel(0, 31);
    const long raw = channel.Write(0x8000);
    EXPECT_EQ(channel.Read(raw + 1), ChannelVolume(0, 31).Read(raw + 1));
}

}  // namespace
