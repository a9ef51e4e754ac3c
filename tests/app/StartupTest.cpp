// Nothing that the first frames do not need runs before them: building the
// main window, showing it and painting it leave the mixer and the media
// stack alone; the mixer is opened once the skin is revealed.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "app/Main.h"
#include "app/PlayerState.h"
#include "media/Volumes.h"
#include "skin/Transit.h"
#include "support/CaseName.h"
#include "support/EnvironmentScope.h"
#include "support/FakeAudioDevices.h"
#include "support/FakeMci.h"
#include "support/FakeSound.h"
#include "toolkit/TrackBar.h"

namespace {

constexpr int kStartPosition = 117;                // the slider's position in the form data
constexpr std::uint32_t kHalfVolume = 0x80008000;  // reads as 128, shows as 127

// How far start-up has gone when the services are looked at.
struct StartupCase {
    const char* name;
    std::function<void(TForm1&)> advance;
    bool mixerOpen;
};

void Painted(TForm1& form) {
    form.ShowForm();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.repaint();
}

void Revealed(TForm1& form) {
    Painted(form);
    form.FormActivate(&form);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.VolumeControl1->DevicesSearched(); }, 2000));
}

const StartupCase kCases[] = {
    {"WindowBuilt", [](TForm1&) {}, false},
    {"FirstFramePainted", Painted, false},
    {"SkinRevealed", Revealed, true},
};

class StartupTest : public ::testing::TestWithParam<StartupCase> {
  protected:
    StartupTest() {
        ResetPlayerState();
        audio_->Devices(platform::OutputClass::WaveOut)
            .push_back({platform::WAVECAPS_VOLUME, kHalfVolume});
    }

    QTemporaryDir dataHome_;
    EnvironmentScope dataHomeVariable_{"XDG_DATA_HOME", dataHome_.path().toUtf8()};
    FakeAudioDevicesScope audio_;
    FakeSoundScope sound_;
    FakeMciScope mci_;
};

TEST_P(StartupTest, TouchesTheMixerOnlyAfterTheReveal) {
    const StartupCase& c = GetParam();
    TForm1 form(nullptr);
    c.advance(form);
    EXPECT_TRUE(mci_->Calls().empty());
    EXPECT_TRUE(sound_->Calls().empty());
    const FakeAudioDevices& mixer = *audio_;
    const int mixerCalls = mixer.countQueries + mixer.capsQueries + mixer.reads + mixer.writes;
    if (c.mixerOpen) {
        EXPECT_GT(mixerCalls, 0);
        EXPECT_EQ(form.TrackBar1->Position(), 255 - 128);
    } else {
        EXPECT_EQ(mixerCalls, 0);
        EXPECT_EQ(form.TrackBar1->Position(), kStartPosition);
    }
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupTest, ::testing::ValuesIn(kCases), ByName());

}  // namespace
