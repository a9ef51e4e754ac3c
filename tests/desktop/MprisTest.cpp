#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QLoggingCategory>
#include <QTest>

#include "app/PlayerState.h"
#include "desktop/MprisService.h"
#include "media/MPlayer.h"
#include "platform/mixer/AudioDevices.h"
#include "support/DesktopFixture.h"
#include "support/EventLoop.h"
#include "support/FakeAudioDevices.h"
#include "support/FakeInstance.h"
#include "support/LoggedLines.h"
#include "support/SessionBus.h"
#include "toolkit/Application.h"

namespace {

const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
using View = DesktopFixture::View;

// ctest names a case by what it prints: its name, never its bytes.
template <class Case>
auto operator<<(std::ostream& os, const Case& c) -> decltype(c.name, os) {
    return os << c.name;
}

// A wave line with a volume, there before the window's volume control looks.
struct WaveLine {
    WaveLine() {
        audio->Devices(platform::OutputClass::WaveOut).push_back({platform::WAVECAPS_VOLUME, 0});
    }
    FakeAudioDevicesScope audio;
};

class Mpris : public WaveLine, public DesktopFixture {
  public:
    Mpris() { service = new TMprisService(*form); }
    void Start() { ASSERT_TRUE(service->Start()); }

    PrivateSessionBus bus;
    TMprisService* service;
};

TEST_F(Mpris, TheNameAppearsWithTheApplicationsIdentity) {
    Start();
    EXPECT_TRUE(bus.Client().interface()->isServiceRegistered(
        QStringLiteral("org.mpris.MediaPlayer2.brelmo")));
    EXPECT_EQ(bus.Get(kRoot, "Identity").toString(), "brelmo");
    EXPECT_EQ(bus.Get(kRoot, "DesktopEntry").toString(), "org.brelmo.Brelmo");
    EXPECT_TRUE(bus.Get(kRoot, "CanQuit").toBool());
    EXPECT_EQ(bus.Get(kRoot, "SupportedUriSchemes").toStringList(), QStringList{"file"});
    EXPECT_TRUE(bus.Get(kRoot, "SupportedMimeTypes").toStringList().contains("video/x-msvideo"));
    EXPECT_FALSE(bus.Get(kPlayer, "CanSeek").toBool());
}

struct MethodCase {
    const char* name;
    View view;
    const char* method;
    const char* pressed;  // the hot spot whose handler runs; "" none
};

class MprisMethod : public Mpris, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(MprisMethod, RunsTheHotSpotsHandlerWhereAClickWouldAct) {
    const MethodCase& c = GetParam();
    Start();
    Enter(c.view);
    const int clicksBefore = Clicks();
    bus.Call(kPlayer, c.method);
    EXPECT_EQ(presses.join(' '), QString(c.pressed));
    EXPECT_EQ(Clicks() > clicksBefore, *c.pressed != '\0')
        << "the click sound goes with the handler";
}

INSTANTIATE_TEST_SUITE_P(
    Views, MprisMethod,
    ::testing::Values(MethodCase{"PlayingNext", View::Playing, "Next", "bnext"},
                      MethodCase{"PlayingPrevious", View::Playing, "Previous", "bprev"},
                      MethodCase{"PlayingPlayPause", View::Playing, "PlayPause", "bstop"},
                      MethodCase{"PlayingPlay", View::Playing, "Play", ""},
                      MethodCase{"PlayingPause", View::Playing, "Pause", "bstop"},
                      MethodCase{"PlayingStop", View::Playing, "Stop", "panel1"},
                      MethodCase{"PausedPlay", View::Paused, "Play", "bstop"},
                      MethodCase{"PausedPause", View::Paused, "Pause", ""},
                      MethodCase{"PausedStop", View::Paused, "Stop", "panel1"},
                      MethodCase{"IdleStop", View::Playback, "Stop", ""},
                      MethodCase{"PausedPlayPause", View::Paused, "PlayPause", "bstop"},
                      MethodCase{"IdlePlay", View::Playback, "Play", ""},
                      MethodCase{"IdlePlayPause", View::Playback, "PlayPause", "bstop"},
                      MethodCase{"IdleNext", View::Playback, "Next", "bnext"},
                      MethodCase{"SetupNext", View::Setup, "Next", ""},
                      MethodCase{"SetupPrevious", View::Setup, "Previous", ""},
                      MethodCase{"SetupPlayPause", View::Setup, "PlayPause", ""},
                      MethodCase{"SetupPlay", View::Setup, "Play", ""},
                      MethodCase{"HelpNext", View::Help, "Next", "bnext"}),
    [](const ::testing::TestParamInfo<MethodCase>& info) { return info.param.name; });

struct StatusCase {
    const char* name;
    unsigned startMode;
    unsigned mode;
    std::uint32_t position;
    const char* status;
};

class MprisStatus : public Mpris, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(MprisStatus, FollowsTheDeviceModeAndIsAnnounced) {
    const StatusCase& c = GetParam();
    Enter(View::Playing);
    mci->mode = c.startMode;
    Start();
    PropertiesChangedSpy spy(bus.Client());
    mci->mode = c.mode;
    mci->position = c.position;
    ASSERT_TRUE(spy.WaitFor("PlaybackStatus"));
    EXPECT_EQ(spy.changes.last().value("PlaybackStatus").toString(), c.status);
    EXPECT_EQ(bus.Get(kPlayer, "PlaybackStatus").toString(), c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MprisStatus,
    ::testing::Values(
        StatusCase{"Playing", platform::MCI_MODE_NOT_READY, platform::MCI_MODE_PLAY, 10, "Playing"},
        StatusCase{"DevicePaused", platform::MCI_MODE_PLAY, platform::MCI_MODE_PAUSE, 10, "Paused"},
        StatusCase{"StoppedMidway", platform::MCI_MODE_PLAY, platform::MCI_MODE_STOP, 10, "Paused"},
        StatusCase{"StoppedAtTheEnd", platform::MCI_MODE_PLAY, platform::MCI_MODE_STOP, 1000,
                   "Stopped"}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return info.param.name; });

TEST_F(Mpris, MetadataNamesTheCurrentEntryOnceNextOpensIt) {
    Enter(View::Playback);
    Start();
    EXPECT_EQ(bus.Get(kPlayer, "PlaybackStatus").toString(), "Stopped");
    PropertiesChangedSpy spy(bus.Client());
    bus.Call(kPlayer, "Next");
    ASSERT_TRUE(spy.WaitFor("Metadata"));
    const QVariantMap metadata = qdbus_cast<QVariantMap>(bus.Get(kPlayer, "Metadata"));
    EXPECT_EQ(metadata.value("xesam:title").toString(), "one.avi");
    EXPECT_TRUE(metadata.value("xesam:url").toString().endsWith("/clips/one.avi"));
    EXPECT_TRUE(metadata.value("xesam:url").toString().startsWith("file:///"));
    EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 1000 * 1000);
    EXPECT_EQ(metadata.value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/org/brelmo/Brelmo/Track/1");
}

// A thousand calls sent without waiting collapse into a few runs of Next (a
// run per batch the bus delivers while none waits), and what is announced
// last is where the player stands.
TEST_F(Mpris, AStormOfCallsRunsAFewTimesAndEndsWhereThePlayerIs) {
    Enter(View::Playback);
    Start();
    PropertiesChangedSpy spy(bus.Client());
    for (int i = 0; i < 1000; ++i)
        bus.Client().send(QDBusMessage::createMethodCall(
            QStringLiteral("org.mpris.MediaPlayer2.brelmo"),
            QStringLiteral("/org/mpris/MediaPlayer2"), kPlayer, QStringLiteral("Next")));
    bus.Get(kPlayer, "CanGoNext");  // answered after every Next has come in
    ASSERT_TRUE(spy.WaitFor("Metadata"));
    ProcessEvents();  // what else comes
    const qsizetype runs = presses.count(QStringLiteral("bnext"));
    EXPECT_GE(runs, 1);
    EXPECT_LE(runs, 100) << "the calls ran one by one";
    // The announcement of the last run comes through the bus daemon.
    const auto lastAnnounced = [&spy] {
        const auto it =
            std::find_if(spy.changes.rbegin(), spy.changes.rend(),
                         [](const QVariantMap& change) { return change.contains("Metadata"); });
        const QVariantMap metadata = qdbus_cast<QVariantMap>(it->value(QStringLiteral("Metadata")));
        return metadata.value("mpris:trackid").value<QDBusObjectPath>().path();
    };
    const QString where = QStringLiteral("/org/brelmo/Brelmo/Track/%1").arg(PlaylistIndex);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lastAnnounced() == where; }, 2000))
        << lastAnnounced().toStdString();
}

TEST_F(Mpris, SetupTakesAwayTheButtonsAndSaysSo) {
    Enter(View::Playing);
    Start();
    PropertiesChangedSpy spy(bus.Client());
    form->bsetupClick(nullptr);
    ASSERT_TRUE(spy.WaitFor("CanGoNext"));
    const QVariantMap& change = spy.changes.last();
    for (const char* property : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause"}) {
        EXPECT_EQ(change.value(property), QVariant(false)) << property;
        EXPECT_FALSE(bus.Get(kPlayer, property).toBool()) << property;
    }
    form->CancelClick(nullptr);
    spy.changes.clear();
    ASSERT_TRUE(spy.WaitFor("CanGoNext"));
    EXPECT_TRUE(bus.Get(kPlayer, "CanPlay").toBool());
}

TEST_F(Mpris, VolumeIsTheWaveLinesAndFollowsWrites) {
    Start();
    auto& device = audio->Devices(platform::OutputClass::WaveOut)[0];
    device.volume = 0xFF00FF00;
    EXPECT_DOUBLE_EQ(bus.Get(kPlayer, "Volume").toDouble(), 1.0);
    PropertiesChangedSpy spy(bus.Client());
    bus.Call("org.freedesktop.DBus.Properties", "Set",
             {kPlayer, "Volume", QVariant::fromValue(QDBusVariant(0.5))});
    EXPECT_EQ(device.volume, 0x80008000u);
    ASSERT_TRUE(spy.WaitFor("Volume"));
    EXPECT_NEAR(spy.changes.last().value("Volume").toDouble(), 128 / 255.0, 1e-9);
}

struct WrongCallCase {
    const char* name;
    const char* interface;
    const char* method;
    QVariantList arguments;
};

class MprisWrongCall : public Mpris, public ::testing::WithParamInterface<WrongCallCase> {};

TEST_P(MprisWrongCall, IsAnsweredInvalidArgsAndChangesNothing) {
    const WrongCallCase& c = GetParam();
    Start();
    const double volume = bus.Get(kPlayer, "Volume").toDouble();
    const QDBusMessage reply = bus.Call(c.interface, c.method, c.arguments);
    EXPECT_EQ(reply.errorName(), "org.freedesktop.DBus.Error.InvalidArgs")
        << reply.errorMessage().toStdString();
    EXPECT_EQ(bus.Get(kPlayer, "Volume").toDouble(), volume);
}

const char kProperties[] = "org.freedesktop.DBus.Properties";

INSTANTIATE_TEST_SUITE_P(
    Calls, MprisWrongCall,
    ::testing::Values(
        WrongCallCase{"VolumeAsText",
                      kProperties,
                      "Set",
                      {kPlayer, "Volume", QVariant::fromValue(QDBusVariant("0.5"))}},
        WrongCallCase{"VolumeAsInteger",
                      kProperties,
                      "Set",
                      {kPlayer, "Volume", QVariant::fromValue(QDBusVariant(1))}},
        WrongCallCase{"SeekByText", "org.mpris.MediaPlayer2.Player", "Seek", {QStringLiteral("x")}},
        WrongCallCase{"OpenUriWithoutUri", "org.mpris.MediaPlayer2.Player", "OpenUri", {}}),
    [](const ::testing::TestParamInfo<WrongCallCase>& info) { return info.param.name; });

struct RaiseCase {
    const char* name;
    bool iconic;
    const char* request;
};

class MprisRaise : public Mpris, public ::testing::WithParamInterface<RaiseCase> {};

TEST_P(MprisRaise, DoesWhatASecondCopyDoesToTheFirst) {
    FakeInstanceScope scope;
    FakeInstance& instance = *scope;
    instance.windows = {{QStringLiteral("brelmo"), GetParam().iconic}};
    const QString title = Application->Title();
    Application->SetTitle(QStringLiteral("brelmo"));
    Start();
    bus.Call(kRoot, "Raise");
    EXPECT_TRUE(instance.calls.contains(GetParam().request))
        << instance.calls.join(' ').toStdString();
    Application->SetTitle(title);
}

INSTANTIATE_TEST_SUITE_P(Windows, MprisRaise,
                         ::testing::Values(RaiseCase{"Minimised", true, "ShowWindow(1,9)"},
                                           RaiseCase{"Behind", false, "BringWindowToTop(1)"}),
                         [](const ::testing::TestParamInfo<RaiseCase>& info) {
                             return info.param.name;
                         });

TEST_F(Mpris, QuitDoesWhatExitDoes) {
    form->show();
    Start();
    bus.Call(kRoot, "Quit");
    EXPECT_EQ(presses.join(' '), "bexit");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Clicks(), 1);
}

TEST_F(Mpris, QuitDoesNothingWhereExitCannotBeClicked) {
    form->show();
    Start();
    Enter(View::Setup);
    bus.Call(kRoot, "Quit");
    EXPECT_TRUE(form->isVisible());
}

struct OffBusCase {
    const char* name;
    bool nameTaken;
};

class MprisOffTheBus : public Mpris, public ::testing::WithParamInterface<OffBusCase> {};

TEST_P(MprisOffTheBus, LogsOneLineAndThePlayerRunsAsBefore) {
    if (GetParam().nameTaken)
        QDBusConnection::connectToBus(bus.Address(), "rival")
            .registerService("org.mpris.MediaPlayer2.brelmo");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/brelmo-no-bus");
    const LoggedLines log("brelmo.desktop.mpris");
    EXPECT_FALSE(service->Start());
    EXPECT_EQ(log.size(), 1) << log.join('\n').toStdString();
    SetPlaylist({QStringLiteral("C:\\clips\\one.avi")});
    form->bnextClick(nullptr);
    EXPECT_EQ(OpenFile(), "C:\\clips\\one.avi");
    QDBusConnection::disconnectFromBus("rival");
}

INSTANTIATE_TEST_SUITE_P(Cases, MprisOffTheBus,
                         ::testing::Values(OffBusCase{"NoSessionBus", false},
                                           OffBusCase{"NameTaken", true}),
                         [](const ::testing::TestParamInfo<OffBusCase>& info) {
                             return info.param.name;
                         });

}  // namespace
