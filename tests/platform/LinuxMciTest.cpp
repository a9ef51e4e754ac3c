#include <gtest/gtest.h>
#include <sndfile.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>

#include "platform/media/LinuxMci.h"
#include "platform/media/MciCommands.h"
#include "support/TestMedia.h"

using namespace platform;

namespace {

QString Text(IMci& mci, MCIERROR error) {
    std::array<char, 4096> buffer{};
    return mci.GetErrorString(error, buffer.data(), buffer.size())
               ? QString::fromUtf8(buffer.data())
               : QString();
}

MCIDEVICEID OpenFile(IMci& mci, const QString& path) {
    MCI_OPEN_PARMS params;
    params.lpstrElementName = path;
    EXPECT_EQ(mci.SendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, &params), 0u);
    return params.wDeviceID;
}

TEST(LinuxMci, RefusesWhatADeviceCannotDoWithACodeAndText) {
    MciCommands mci{std::make_unique<LinuxMci>()};
    const MCIDEVICEID wave = OpenFile(mci, testmedia::Wav(SF_FORMAT_PCM_16));
    MCI_DGV_RECT_PARMS rect;
    MCI_DGV_WINDOW_PARMS window;
    MCI_GENERIC_PARMS generic;
    MCI_OPEN_PARMS noFile;
    struct Case {
        MCIDEVICEID device;
        unsigned message;
        unsigned flags;
        MCI_GENERIC_PARMS* params;
        MCIERROR error;
    };
    const Case cases[] = {
        {wave, MCI_WHERE, MCI_DGV_WHERE_SOURCE, &rect, MCIERR_UNSUPPORTED_FUNCTION},
        {wave, MCI_PUT, MCI_DGV_RECT | MCI_DGV_PUT_DESTINATION, &rect, MCIERR_UNSUPPORTED_FUNCTION},
        {wave, MCI_WINDOW, MCI_DGV_WINDOW_HWND, &window, MCIERR_UNSUPPORTED_FUNCTION},
        {wave, MCI_RESUME, MCI_WAIT, &generic, MCIERR_NONAPPLICABLE_FUNCTION},
        {wave, MCI_STOP, MCI_NOTIFY, &generic, MCIERR_MISSING_PARAMETER},  // no window for it
        {wave, MCI_STATUS, MCI_STATUS_ITEM, &generic, MCIERR_MISSING_PARAMETER},  // not its block
        {wave, 0x0899, MCI_WAIT, &generic, MCIERR_UNRECOGNIZED_COMMAND},
        {wave + 100, MCI_PLAY, MCI_WAIT, &generic, MCIERR_INVALID_DEVICE_ID},
        {0, MCI_OPEN, MCI_WAIT, &noFile, MCIERR_MISSING_PARAMETER},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mci.SendCommand(c.device, c.message, c.flags, c.params), c.error) << c.message;
        EXPECT_FALSE(Text(mci, c.error).isEmpty());
    }
    EXPECT_EQ(mci.SendCommand(wave, MCI_CLOSE, MCI_WAIT, &generic), 0u);
}

TEST(LinuxMci, DeviceTypeNamesChooseTheDriver) {
    MciCommands mci{std::make_unique<LinuxMci>()};
    MCI_OPEN_PARMS params;
    params.lpstrElementName = testmedia::Wav(SF_FORMAT_PCM_16);
    params.lpstrDeviceType = QStringLiteral("Sequencer");
    EXPECT_EQ(mci.SendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_OPEN_TYPE, &params),
              MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(Text(mci, MCIERR_INVALID_DEVICE_NAME),
              QStringLiteral("No device of type \"Sequencer\" is installed"));
    params.lpstrDeviceType = QStringLiteral("waveaudio");
    ASSERT_EQ(mci.SendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_OPEN_TYPE, &params), 0u);
    MCI_GETDEVCAPS_PARMS caps{nullptr, MCI_GETDEVCAPS_DEVICE_TYPE};
    mci.SendCommand(params.wDeviceID, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM, &caps);
    EXPECT_EQ(caps.dwReturn, MCI_DEVTYPE_WAVEFORM_AUDIO);
    MCI_GENERIC_PARMS close;
    mci.SendCommand(params.wDeviceID, MCI_CLOSE, MCI_WAIT, &close);
}

TEST(LinuxMci, ErrorTextsAreCutToTheBuffer) {
    MciCommands mci{std::make_unique<LinuxMci>()};
    std::array<char, 9> small{};
    ASSERT_TRUE(mci.GetErrorString(MCIERR_FILE_NOT_FOUND, small.data(), small.size()));
    EXPECT_STREQ(small.data(), "The file");
    EXPECT_FALSE(mci.GetErrorString(12345, small.data(), small.size()));
}

// GStreamer's audio converter gives up on 64 channels or more.
TEST(LinuxMci, WaveWithMoreChannelsThanTheOutputTakesIsRefused) {
    const QString path = testmedia::Wav(SF_FORMAT_PCM_16, 0.1, 64);
    MciCommands mci{std::make_unique<LinuxMci>()};
    MCI_OPEN_PARMS params;
    params.lpstrElementName = path;
    const MCIERROR error = mci.SendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, &params);
    if (error == 0) {
        MCI_PLAY_PARMS play;
        mci.SendCommand(params.wDeviceID, MCI_PLAY, MCI_WAIT, &play);
    }
    EXPECT_EQ(error, MCIERR_INVALID_FILE);
}

// Paths up to the system's limit play, not only those libsndfile opens by name.
TEST(LinuxMci, WaveAtADeepPathPlays) {
    QTemporaryDir root;
    QString path = root.path();
    constexpr int kLength = 4059;
    const QString folder(200, QLatin1Char('d'));
    while (path.size() + 1 + folder.size() + 1 + 16 < kLength) path += QLatin1Char('/') + folder;
    ASSERT_TRUE(QDir().mkpath(path));
    path += QLatin1Char('/');
    path += QString(kLength - path.size() - 4, QLatin1Char('w')) + QStringLiteral(".wav");
    ASSERT_EQ(QFile::encodeName(path).size(), kLength);
    ASSERT_TRUE(QFile::copy(testmedia::Wav(SF_FORMAT_PCM_16, 0.05), path));

    MciCommands mci{std::make_unique<LinuxMci>()};
    const MCIDEVICEID wave = OpenFile(mci, path);
    MCI_PLAY_PARMS play;
    EXPECT_EQ(mci.SendCommand(wave, MCI_PLAY, MCI_WAIT, &play), 0u);
    MCI_GENERIC_PARMS close;
    mci.SendCommand(wave, MCI_CLOSE, MCI_WAIT, &close);
}

}  // namespace
