#include <gtest/gtest.h>

#include <QSlider>
#include <QTest>
#include <memory>

#include "media/Volumes.h"
#include "support/FakeAudioDevices.h"

using platform::OutputClass;

namespace {

constexpr std::uint32_t kFull = 0xFFFFFFFF;

std::uint32_t Word(std::uint16_t left, std::uint16_t right) {
    return left | std::uint32_t{right} << 16;
}

// A wave line with one capable device, a control made afterwards, and a
// slider of each orientation.
class VolumesTest : public testing::Test {
  protected:
    VolumesTest() {
        Wave().push_back({platform::WAVECAPS_VOLUME, kFull});
        control_ = std::make_unique<TVolumeControl>(nullptr);
        vertical_->SetOrientation(trVertical);
    }

    std::vector<FakeOutputDevice>& Wave() { return scope_->Devices(OutputClass::WaveOut); }
    FakeAudioDevices& Fake() { return *scope_; }

    // The user presses a key on the slider.
    static void UserPress(TTrackBar& bar, Qt::Key key) {
        QTest::keyClick(bar.findChild<QSlider*>(), key);
    }

    FakeAudioDevicesScope scope_;
    std::unique_ptr<TVolumeControl> control_;
    std::unique_ptr<TTrackBar> vertical_ = std::make_unique<TTrackBar>(nullptr);
    std::unique_ptr<TTrackBar> horizontal_ = std::make_unique<TTrackBar>(nullptr);
};

TEST(VolumeDeviceSearch, FirstDeviceWithTheLinesVolumeFlagWins) {
    struct Case {
        const char* name;
        OutputClass outputClass;
        int line;
        std::vector<FakeOutputDevice> devices;
        int chosen;  // -1: none
    };
    const FakeOutputDevice none{0, 0};
    const FakeOutputDevice failing{platform::WAVECAPS_VOLUME | platform::AUXCAPS_VOLUME, 0, true};
    const FakeOutputDevice aux{platform::AUXCAPS_VOLUME, 0};
    const FakeOutputDevice wave{platform::WAVECAPS_VOLUME, 0};
    const FakeOutputDevice midi{platform::MIDICAPS_VOLUME, 0};
    const Case cases[] = {
        {"no device", OutputClass::WaveOut, 1, {}, -1},
        {"none with volume", OutputClass::WaveOut, 1, {none, none}, -1},
        {"first capable", OutputClass::WaveOut, 1, {none, wave, wave}, 1},
        {"failing query skipped", OutputClass::WaveOut, 1, {failing, none, wave}, 2},
        {"aux flag is not the wave flag", OutputClass::WaveOut, 1, {aux}, -1},
        {"CD line", OutputClass::Aux, 0, {none, aux}, 1},
        {"MIDI line", OutputClass::MidiOut, 2, {midi}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAudioDevicesScope scope;
        auto& devices = scope->Devices(c.outputClass);
        devices = c.devices;
        for (std::size_t i = 0; i < devices.size(); ++i) devices[i].volume = Word(0, i * 0x200);
        TVolumeControl control(nullptr);
        EXPECT_EQ(control.GetVolume(c.line), c.chosen < 0 ? 0 : c.chosen);
        control.SetVolume(c.line, 200);
        for (std::size_t i = 0; i < devices.size(); ++i) {
            const bool written = static_cast<int>(i) == c.chosen;
            EXPECT_EQ(devices[i].volume == Word(200 << 8, 200 << 8), written) << "device " << i;
        }
        if (c.chosen < 0) {
            EXPECT_EQ(scope->writes, 0);
        }
    }
}

TEST(VolumeDeviceSearch, RunsOnceAtConstruction) {
    FakeAudioDevicesScope scope;
    TVolumeControl control(nullptr);
    scope->Devices(OutputClass::WaveOut).push_back({platform::WAVECAPS_VOLUME, kFull});
    EXPECT_EQ(control.WaveVolume(), 0);
    EXPECT_EQ(scope->reads, 0);
}

TEST_F(VolumesTest, ReadsTheMeanOfBothChannels) {
    struct Case {
        std::uint32_t word;
        int volume;
    };
    for (const Case& c : {Case{kFull, 255}, Case{Word(0xFFFF, 0), 127}, Case{Word(0, 0xFFFF), 127},
                          Case{Word(0xFF00, 0xFF00), 255}, Case{Word(0x8000, 0x8000), 128},
                          Case{Word(0x01FF, 0), 0}, Case{Word(0x0100, 0x0100), 1}, Case{0, 0}}) {
        Wave()[0].volume = c.word;
        EXPECT_EQ(control_->WaveVolume(), c.volume) << std::hex << c.word;
    }
}

TEST_F(VolumesTest, WritesTheValueTimes256OnBothChannelsAndReadsItBack) {
    struct Case {
        int volume;
        std::uint32_t word;
    };
    for (const Case& c :
         {Case{255, 0xFF00FF00}, Case{128, 0x80008000}, Case{1, 0x01000100}, Case{0, 0}}) {
        control_->SetWaveVolume(static_cast<std::uint8_t>(c.volume));
        EXPECT_EQ(Wave()[0].volume, c.word) << c.volume;
    }
    for (int v = 0; v <= 255; ++v) {
        control_->SetWaveVolume(static_cast<std::uint8_t>(v));
        ASSERT_EQ(control_->WaveVolume(), v);
    }
}

TEST_F(VolumesTest, AFailingReadReadsZeroAndAFailingWriteIsIgnored) {
    Wave()[0].readFail = true;
    EXPECT_EQ(control_->WaveVolume(), 0);
    Wave()[0].readFail = false;
    Wave()[0].writeFail = true;
    control_->SetWaveVolume(3);
    EXPECT_EQ(control_->WaveVolume(), 255);
}

TEST_F(VolumesTest, LinkingTakesOverTheSliderAndShowsTheVolume) {
    struct Case {
        TTrackBar* bar;
        int position;
    };
    for (const Case& c : {Case{vertical_.get(), 191}, Case{horizontal_.get(), 64}}) {
        Wave()[0].volume = Word(0x4000, 0x4000);  // 64
        c.bar->OnChange = [](TObject*) { FAIL() << "the old handler"; };
        control_->SetWaveTrackBar(c.bar);
        EXPECT_EQ(control_->WaveTrackBar(), c.bar);
        EXPECT_EQ(c.bar->Min(), 0);
        EXPECT_EQ(c.bar->Max(), 255);
        EXPECT_EQ(c.bar->Position(), c.position);
        UserPress(*c.bar, Qt::Key_Home);
        EXPECT_NE(Wave()[0].volume, Word(0x4000, 0x4000));
    }
}

TEST_F(VolumesTest, VerticalSliderHasLoudAtTheTop) {
    control_->SetWaveTrackBar(vertical_.get());
    EXPECT_EQ(vertical_->Position(), 0);
    UserPress(*vertical_, Qt::Key_End);
    EXPECT_EQ(Wave()[0].volume, 0u);
    UserPress(*vertical_, Qt::Key_Up);
    EXPECT_EQ(Wave()[0].volume, Word(0x0100, 0x0100));
}

TEST_F(VolumesTest, HorizontalSliderAtTheEndSetsFF00AndStaysThere) {
    Wave()[0].volume = 0;
    control_->SetWaveTrackBar(horizontal_.get());
    UserPress(*horizontal_, Qt::Key_End);
    EXPECT_EQ(Wave()[0].volume, 0xFF00FF00);
    control_->SyncTrackBars(nullptr);
    EXPECT_EQ(horizontal_->Position(), 255);
}

TEST_F(VolumesTest, UnequalChannelsShowTheirMeanAndAMoveEvensThem) {
    Wave()[0].volume = Word(0xFFFF, 0);
    control_->SetWaveTrackBar(horizontal_.get());
    EXPECT_EQ(horizontal_->Position(), 127);
    UserPress(*horizontal_, Qt::Key_Right);
    EXPECT_EQ(Wave()[0].volume, Word(0x8000, 0x8000));
}

TEST_F(VolumesTest, OutsideChangesShowWithinOneInterval) {
    control_->SetInterval(20);
    control_->SetWaveTrackBar(vertical_.get());
    Wave()[0].volume = Word(0x2000, 0x2000);  // 32
    EXPECT_TRUE(QTest::qWaitFor([&] { return vertical_->Position() == 223; }, 2000));
}

TEST_F(VolumesTest, IntervalZeroStopsThePollButMovesStillSet) {
    EXPECT_EQ(control_->Interval(), 500);
    control_->SetInterval(20);
    control_->SetInterval(0);
    control_->SetWaveTrackBar(horizontal_.get());
    const int reads = Fake().reads;
    QTest::qWait(100);
    EXPECT_EQ(Fake().reads, reads);
    UserPress(*horizontal_, Qt::Key_Home);
    EXPECT_EQ(Wave()[0].volume, 0u);
}

TEST(VolumeWithoutDevice, SliderIsHeldAtTheSilentEnd) {
    FakeAudioDevicesScope scope;
    TVolumeControl control(nullptr);
    TTrackBar vertical(nullptr);
    vertical.SetOrientation(trVertical);
    TTrackBar horizontal(nullptr);
    control.SetCDTrackBar(&vertical);
    control.SetMidiTrackBar(&horizontal);
    EXPECT_EQ(vertical.Position(), 255);
    EXPECT_EQ(horizontal.Position(), 0);
    QTest::keyClick(vertical.findChild<QSlider*>(), Qt::Key_Home);
    QTest::keyClick(horizontal.findChild<QSlider*>(), Qt::Key_End);
    control.SyncTrackBars(nullptr);
    EXPECT_EQ(vertical.Position(), 255);
    EXPECT_EQ(horizontal.Position(), 0);
    EXPECT_EQ(scope->writes, 0);
}

// A sound server that comes up after the player brings its line late.
TEST(VolumeWithoutDevice, ADeviceThatAppearsLaterIsFoundAtThePoll) {
    FakeAudioDevicesScope scope;
    TVolumeControl control(nullptr);
    TTrackBar slider(nullptr);
    control.SetWaveTrackBar(&slider);
    scope->Devices(OutputClass::WaveOut).push_back({platform::WAVECAPS_VOLUME, kFull});
    control.SyncTrackBars(nullptr);
    EXPECT_EQ(slider.Position(), 255);
    QTest::keyClick(slider.findChild<QSlider*>(), Qt::Key_Home);
    EXPECT_EQ(scope->Devices(OutputClass::WaveOut)[0].volume, 0u);
}

TEST_F(VolumesTest, ALostDeviceReadsZeroAndTheSliderFollows) {
    control_->SetWaveTrackBar(horizontal_.get());
    Wave()[0].readFail = true;
    Wave()[0].writeFail = true;
    control_->SyncTrackBars(nullptr);
    EXPECT_EQ(horizontal_->Position(), 0);
    UserPress(*horizontal_, Qt::Key_End);
    control_->SyncTrackBars(nullptr);
    EXPECT_EQ(horizontal_->Position(), 0);
}

TEST_F(VolumesTest, OneSliderOnSeveralLinesSetsThemAll) {
    Fake().Devices(OutputClass::Aux).push_back({platform::AUXCAPS_VOLUME, 0});
    TVolumeControl control(nullptr);
    control.SetCDTrackBar(horizontal_.get());
    Wave()[0].volume = Word(0x8000, 0x8000);
    control.SetWaveTrackBar(horizontal_.get());
    UserPress(*horizontal_, Qt::Key_Left);
    EXPECT_EQ(Fake().Devices(OutputClass::Aux)[0].volume, 0x7F007F00u);
    EXPECT_EQ(Wave()[0].volume, 0x7F007F00u);
}

TEST_F(VolumesTest, LinkingTheSameSliderAgainDoesNothing) {
    control_->SetWaveTrackBar(horizontal_.get());
    Wave()[0].volume = 0;
    const int reads = Fake().reads;
    control_->SetWaveTrackBar(horizontal_.get());
    EXPECT_EQ(Fake().reads, reads);
    EXPECT_EQ(horizontal_->Position(), 255);
}

TEST_F(VolumesTest, ADestroyedSliderIsUnlinkedAndSkipped) {
    control_->SetWaveTrackBar(horizontal_.get());
    horizontal_.reset();
    EXPECT_EQ(control_->WaveTrackBar(), nullptr);
    const int reads = Fake().reads;
    control_->SyncTrackBars(nullptr);
    EXPECT_EQ(Fake().reads, reads);
}

TEST_F(VolumesTest, ASliderOfTheSameOwnerIsUnlinkedWhenDestroyed) {
    TComponent owner(nullptr);
    auto* control = new TVolumeControl(&owner);
    auto* bar = new TTrackBar(&owner);
    control->SetWaveTrackBar(bar);
    delete bar;
    EXPECT_EQ(control->WaveTrackBar(), nullptr);
    control->SyncTrackBars(nullptr);
}

TEST_F(VolumesTest, NoSliderCallsIntoAControlThatIsGone) {
    control_->SetWaveTrackBar(horizontal_.get());
    control_->SetCDTrackBar(vertical_.get());
    control_->SetMidiTrackBar(vertical_.get());
    control_->SetCDTrackBar(nullptr);
    EXPECT_TRUE(vertical_->OnChange) << "still linked as MIDI";
    control_.reset();
    EXPECT_FALSE(horizontal_->OnChange);
    EXPECT_FALSE(vertical_->OnChange);
    UserPress(*horizontal_, Qt::Key_End);
}

TEST_F(VolumesTest, AReplacedSliderNoLongerSetsTheVolume) {
    control_->SetWaveTrackBar(horizontal_.get());
    control_->SetWaveTrackBar(vertical_.get());
    EXPECT_FALSE(horizontal_->OnChange);
    UserPress(*horizontal_, Qt::Key_Home);
    EXPECT_EQ(Wave()[0].volume, kFull);
}

TEST_F(VolumesTest, AnUnlinkedSliderKeepsAHandlerSetByOthers) {
    control_->SetWaveTrackBar(horizontal_.get());
    bool called = false;
    horizontal_->OnChange = [&](TObject*) { called = true; };
    control_->SetWaveTrackBar(nullptr);
    UserPress(*horizontal_, Qt::Key_Home);
    EXPECT_TRUE(called);
}

}  // namespace
