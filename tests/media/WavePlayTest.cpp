#include <gtest/gtest.h>

#include <chrono>

#include "media/WavePlay.h"
#include "platform/sound/LinuxSound.h"
#include "support/CaseName.h"
#include "support/FakeSound.h"

namespace {

class WavePlayTest : public testing::Test {
  protected:
    FakeSoundScope sound_;
    TPlayerWave wave_{nullptr};

    const FakeSound::Call& OnlyCall() const {
        EXPECT_EQ(sound_->Calls().size(), 1u);
        return sound_->Calls().back();
    }
};

TEST_F(WavePlayTest, NewInstanceIsEmpty) {
    EXPECT_EQ(wave_.WaveName(), QString());
    EXPECT_EQ(wave_.WhereWave(), wwInFile);
    EXPECT_FALSE(wave_.Loop());
    EXPECT_FALSE(wave_.Async());
    EXPECT_EQ(wave_.WaveData, nullptr);
}

// The flag word for every source, loop and async setting, with the platform's
// own values; SND_NODEFAULT is never among them and loop is not corrected.
struct FlagCase {
    TWhereWave where;
    bool loop;
    bool async;
    unsigned flags;
};

class WavePlayFlagsTest : public WavePlayTest, public testing::WithParamInterface<FlagCase> {};

TEST_P(WavePlayFlagsTest, PassesTheFlagWord) {
    static const char image[] = "RIFF";
    wave_.SetWaveName("c:\\windows\\dclick.wav");
    wave_.WaveData = image;
    wave_.SetWhereWave(GetParam().where);
    wave_.SetLoop(GetParam().loop);
    wave_.SetAsync(GetParam().async);
    wave_.Play();
    EXPECT_EQ(OnlyCall().flags, GetParam().flags);
}

std::string SettingsName(const testing::TestParamInfo<FlagCase>& info) {
    static const char* const kWhere[] = {"InFile", "InResource", "InRAM"};
    const FlagCase& c = info.param;
    return std::string(kWhere[c.where]) + (c.loop ? "Looped" : "Once") +
           (c.async ? "Async" : "Sync");
}

INSTANTIATE_TEST_SUITE_P(
    AllSettings, WavePlayFlagsTest,
    testing::Values(
        FlagCase{wwInFile, false, false, 0x20000}, FlagCase{wwInFile, true, false, 0x20008},
        FlagCase{wwInFile, false, true, 0x20001}, FlagCase{wwInFile, true, true, 0x20009},
        FlagCase{wwInResource, false, false, 0x40004}, FlagCase{wwInResource, true, false, 0x4000C},
        FlagCase{wwInResource, false, true, 0x40005}, FlagCase{wwInResource, true, true, 0x4000D},
        FlagCase{wwInRAM, false, false, 0x4}, FlagCase{wwInRAM, true, false, 0xC},
        FlagCase{wwInRAM, false, true, 0x5}, FlagCase{wwInRAM, true, true, 0xD}),
    SettingsName);

TEST_F(WavePlayTest, TheClickPlaysItsFileSynchronously) {
    wave_.SetWaveName("c:\\windows\\dclick.wav");
    EXPECT_TRUE(wave_.Play());
    EXPECT_EQ(OnlyCall().name, "c:\\windows\\dclick.wav");
    EXPECT_EQ(OnlyCall().flags, 0x20000u);
}

TEST_F(WavePlayTest, NamesTravelAsText) {
    wave_.SetWaveName(QString::fromUtf8("c:\\Klänge\\tür.wav"));
    wave_.Play();
    wave_.SetWhereWave(wwInResource);
    wave_.SetWaveName("CLICK");
    wave_.Play();
    ASSERT_EQ(sound_->Calls().size(), 2u);
    EXPECT_EQ(sound_->Calls()[0].name, "c:\\Klänge\\tür.wav");
    EXPECT_EQ(sound_->Calls()[1].name, "CLICK");
}

TEST_F(WavePlayTest, EmptyNamePassesAnEmptyStringNeverNull) {
    for (TWhereWave where : {wwInFile, wwInResource}) {
        sound_->ClearCalls();
        wave_.SetWhereWave(where);
        wave_.Play();
        EXPECT_NE(OnlyCall().sound, nullptr);
        EXPECT_EQ(OnlyCall().name, "");
    }
}

TEST_F(WavePlayTest, MemorySourcePassesWaveDataAsItIs) {
    static const char image[] = "RIFF....WAVE";
    wave_.SetWhereWave(wwInRAM);
    wave_.SetWaveName("ignored.wav");
    wave_.WaveData = image;
    wave_.Play();
    EXPECT_EQ(OnlyCall().sound, image);
}

TEST_F(WavePlayTest, MemorySourceWithoutDataPassesNull) {
    wave_.SetWhereWave(wwInRAM);
    wave_.SetWaveName("ignored.wav");
    wave_.Play();
    EXPECT_EQ(OnlyCall().sound, nullptr);
    EXPECT_EQ(OnlyCall().flags, 0x4u);
}

TEST_F(WavePlayTest, ReturnsWhatTheServiceReturns) {
    wave_.SetWaveName("c:\\windows\\dclick.wav");
    sound_->SetResult(false);
    EXPECT_FALSE(wave_.Play());
    sound_->SetResult(true);
    EXPECT_TRUE(wave_.Play());
}

// With the real service on the null sink, which keeps real time.
class WavePlayOnRealServiceTest : public testing::Test {
  protected:
    ServiceScope<platform::SetSound> sound_{std::make_unique<platform::LinuxSound>(
        platform::LinuxSound::Options{.sink = platform::SoundSink::Null, .defaultSound = ""})};
    TPlayerWave amp_{nullptr};
};

TEST_F(WavePlayOnRealServiceTest, TheClickReturnsOnlyAfterItHasPlayed) {
    using namespace std::chrono_literals;
    amp_.SetWaveName("c:\\windows\\dclick.wav");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(amp_.Play());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 40ms);
}

TEST_F(WavePlayOnRealServiceTest, MissingClickPlaysNothingAndReturns) {
    amp_.SetWaveName("c:\\windows\\no-such-click.wav");
    EXPECT_FALSE(amp_.Play());
    amp_.SetWaveName("");
    EXPECT_FALSE(amp_.Play());
}

}  // namespace
