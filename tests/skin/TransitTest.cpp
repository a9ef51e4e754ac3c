#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "skin/Transit.h"
#include "support/CaseName.h"
#include "support/EventLoop.h"
#include "support/FakeSound.h"
#include "support/Pictures.h"
#include "toolkit/Timer.h"
#include "toolkit/WinControl.h"

namespace {

using platform::SND_ASYNC;
using platform::SND_LOOP;

struct SoundCall {
    bool stop;  // a null sound name
    std::string name;
    unsigned flags;
    friend bool operator==(const SoundCall&, const SoundCall&) = default;
};

const SoundCall kStop{true, "", SND_ASYNC};

constexpr QRgb kParent = 0xFF3070B0;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kBlue = 0xFF0000FF;

// Left half 'left', right half 'right': shows which part of a picture landed where.
TBitmap Halves(int w, int h, QRgb left, QRgb right) {
    QImage image = Filled(w, h, right);
    QPainter(&image).fillRect(0, 0, w / 2, h, QColor::fromRgb(left));
    return BitmapOf(image);
}

class TransitionTest : public testing::Test {
  protected:
    void SetUp() override {
        form_ = std::make_unique<TCustomControl>(nullptr);
        form_->SetColor(QColorToColor(QColor::fromRgb(kParent)));
        form_->SetBounds(0, 0, 800, 600);
        effect_ = new TTransitionEffect(form_.get());
        form_->show();
        ProcessEvents();
    }
    void TearDown() override { form_.reset(); }

    // The control set up as the player's skin is, apart from the pictures.
    void UseSkinSettings(const TBitmap& picture, const TBitmap& background) {
        effect_->SetBounds(0, 1, 640, 480);
        effect_->SetBGBitmap(background);
        effect_->SetBGColor(clBlack);
        effect_->SetBGType(btColor);
        effect_->SetAutosize(asFitBoth);
        effect_->SetAutoSwap(true);
        effect_->SetBitmap(picture);
        effect_->SetInterval(10);
        effect_->SetSteps(5);
        effect_->SetSwap(true);
        effect_->SetTransition(StretchFromBottomRight);
    }

    // A small control whose ticks the test drives by hand.
    void UseSmallControl(TTETransition transition, int steps) {
        effect_->SetBounds(0, 0, 100, 100);
        effect_->SetAutosize(asFitBoth);
        effect_->SetBGType(btColor);
        effect_->SetInterval(60000);
        effect_->SetSteps(steps);
        effect_->SetTransition(transition);
    }

    void Tick(int count) {
        for (int i = 0; i < count; ++i) effect_->DrawStep();
    }

    QImage Shown() { return form_->grab().toImage(); }
    QRgb ShownAt(int x, int y) { return Shown().pixel(effect_->Left() + x, effect_->Top() + y); }
    // Pixels of the control as the window shows them now.
    void ExpectShown(std::initializer_list<Pixel> pixels) {
        ExpectPixels(Shown(), {effect_->Left(), effect_->Top()}, pixels);
    }

    // The sound calls so far, as the cases spell them.
    std::vector<SoundCall> Sounds() const {
        std::vector<SoundCall> sounds;
        for (const FakeSound::Call& call : sound_->Calls())
            sounds.push_back({call.sound == nullptr, call.name.value_or(""), call.flags});
        return sounds;
    }

    FakeSoundScope sound_;
    std::unique_ptr<TCustomControl> form_;
    TTransitionEffect* effect_ = nullptr;  // owned by form_
};

TEST_F(TransitionTest, StartsWithTheStoredDefaults) {
    EXPECT_EQ(effect_->Steps(), 10);
    EXPECT_EQ(effect_->Interval(), 100);
    EXPECT_EQ(effect_->BGType(), btBitmap);
    EXPECT_EQ(effect_->Autosize(), asFitWidth);
    EXPECT_EQ(effect_->Transition(), StretchFromLeft);
    EXPECT_FALSE(effect_->Swap());
    EXPECT_FALSE(effect_->Timer().Enabled());
    EXPECT_EQ(effect_->Timer().Interval(), 100);
    EXPECT_EQ(effect_->Width(), 100);
    EXPECT_EQ(effect_->Height(), 100);
}

// The skin's own run on the real timer: six ticks, frame 0 to frame 5.
TEST_F(TransitionTest, SkinSettingsRevealThePictureInSixTicks) {
    UseSkinSettings(Solid(640, 480, kRed), Solid(640, 480, kRed));
    std::vector<QImage> frames;
    std::vector<std::string> events;
    effect_->OnBeforeStep = [&](TObject*) { events.push_back("before"); };
    effect_->OnAfterStep = [&](TObject*) {
        events.push_back("after");
        frames.push_back(effect_->Surface().copy());
    };
    effect_->OnNotify = [&](TObject*) {
        events.push_back("notify");
        EXPECT_FALSE(effect_->Timer().Enabled());
        EXPECT_EQ(effect_->CurrentStep(), 0);
    };
    effect_->Execute();
    EXPECT_EQ(effect_->StepWidth(), 128.0f);
    EXPECT_EQ(effect_->StepHeight(), 96.0f);
    EXPECT_EQ(effect_->Timer().Interval(), 10);
    EXPECT_TRUE(effect_->Timer().Enabled());

    (void)QTest::qWaitFor([&] { return events.size() >= 13; }, 5000);
    QTest::qWait(50);

    std::vector<std::string> expected;
    for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {"before", "after"});
    expected.push_back("notify");
    EXPECT_EQ(events, expected);
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[0].pixel(639, 479), kBlack);
    ExpectPixels(frames[1], {{512, 384, kRed}, {511, 479, kBlack}, {639, 383, kBlack}});
    ExpectPixels(frames[4], {{128, 96, kRed}, {127, 96, kBlack}});
    EXPECT_EQ(frames[5].pixel(0, 0), kRed);
    EXPECT_FALSE(effect_->Timer().Enabled());
    EXPECT_EQ(effect_->CurrentStep(), 0);
    EXPECT_FALSE(effect_->Swap()) << "the AutoSwap exchange after OnNotify";
}

TEST_F(TransitionTest, FramesAccumulateUntilTheNextRepaint) {
    UseSmallControl(StretchFromTopLeft, 4);
    effect_->SetBitmap(Halves(100, 100, kRed, kGreen));
    effect_->Execute();
    Tick(2);  // frames 0 and 1: the picture squeezed into 25 x 25 at the top left
    ProcessEvents();
    ExpectShown({{0, 0, kRed}, {24, 24, kGreen}, {25, 25, kBlack}});

    effect_->SetTransition(StretchFromBottomRight);
    Tick(1);  // frame 2 at (50, 50, 100, 100); frame 1 stays where it was
    ProcessEvents();
    ExpectShown({{0, 0, kRed}, {30, 30, kBlack}, {50, 50, kRed}, {99, 99, kGreen}});

    effect_->SetAutosize(asFitBoth);  // a repaint request: the background only
    ProcessEvents();
    ExpectShown({{0, 0, kBlack}, {99, 99, kBlack}});
}

TEST_F(TransitionTest, PushStylesDrawTheBackgroundPictureAheadOfThePicture) {
    UseSmallControl(PushFromLeft, 4);
    effect_->SetBitmap(Halves(100, 100, kRed, kGreen));
    effect_->SetBGBitmap(Halves(100, 100, kBlue, kBlack));
    effect_->Execute();
    Tick(1);
    ProcessEvents();
    EXPECT_EQ(ShownAt(0, 50), kBlue) << "frame 0 redraws the whole background picture";
    EXPECT_EQ(ShownAt(99, 50), kBlack);
    Tick(1);  // picture at (-75, 0, 25, 100), background at (25, 0, 125, 100)
    ProcessEvents();
    ExpectShown({{24, 50, kGreen}, {25, 50, kBlue}, {74, 50, kBlue}, {75, 50, kBlack}});
}

TEST_F(TransitionTest, EventsComeInOrderAndNotifyPrecedesTheAutoSwap) {
    UseSmallControl(StretchFromLeft, 2);
    const TBitmap a = Solid(100, 100, kRed), b = Solid(100, 100, kGreen);
    effect_->SetBitmap(a);
    effect_->SetBGBitmap(b);
    effect_->SetAutoSwap(true);
    std::vector<std::string> events;
    effect_->OnBeforeStep = [&](TObject* s) { events.push_back(s == effect_ ? "before" : "?"); };
    effect_->OnAfterStep = [&](TObject*) {
        events.push_back("after" + std::to_string(effect_->CurrentStep()));
    };
    effect_->OnNotify = [&](TObject*) {
        events.push_back(effect_->Bitmap().Image().pixel(0, 0) == kRed ? "notify" : "swapped");
    };
    effect_->Execute();
    Tick(3);
    const std::vector<std::string> expected{"before", "after1", "before", "after2",
                                            "before", "after3", "notify"};
    EXPECT_EQ(events, expected);
    EXPECT_TRUE(effect_->Swap());
    EXPECT_EQ(effect_->Bitmap().Image().pixel(0, 0), kGreen);
    EXPECT_EQ(effect_->BGBitmap().Image().pixel(0, 0), kRed);
}

TEST_F(TransitionTest, LoopWithAutoSwapAlternatesThePicturesAndKeepsTheSoundLooping) {
    UseSmallControl(StretchFromLeft, 2);
    effect_->SetBitmap(Solid(100, 100, kRed));
    effect_->SetBGBitmap(Solid(100, 100, kGreen));
    effect_->SetLoop(true);
    effect_->SetAutoSwap(true);
    effect_->SetPlaySound(true);
    effect_->SetSoundFile(QStringLiteral("c:\\windows\\tada.wav"));
    int notifies = 0;
    effect_->OnNotify = [&](TObject*) { ++notifies; };
    effect_->Execute();
    const std::vector<SoundCall> started{kStop, {false, "c:\\windows\\tada.wav", 9}};
    EXPECT_EQ(Sounds(), started);

    Tick(3);  // frames 0 to 2
    EXPECT_EQ(effect_->Bitmap().Image().pixel(0, 0), kGreen);
    EXPECT_EQ(effect_->CurrentStep(), 1);
    Tick(2);  // frames 1 and 2
    EXPECT_EQ(effect_->Bitmap().Image().pixel(0, 0), kRed);
    Tick(2);
    EXPECT_EQ(effect_->Bitmap().Image().pixel(0, 0), kGreen);
    EXPECT_EQ(notifies, 0);
    EXPECT_TRUE(effect_->Timer().Enabled());
    EXPECT_EQ(Sounds(), started);

    effect_->StopTransition();
    EXPECT_EQ(Sounds().back(), kStop);
    EXPECT_EQ(effect_->CurrentStep(), 0);
}

TEST_F(TransitionTest, ExecuteDuringARunGoesOnFromTheCurrentFrame) {
    UseSmallControl(StretchFromLeft, 4);
    effect_->SetBitmap(Solid(100, 100, kRed));
    effect_->Execute();
    Tick(3);
    effect_->SetInterval(50);
    EXPECT_EQ(effect_->Timer().Interval(), 60000) << "the timer keeps its interval";
    effect_->Execute();
    EXPECT_EQ(effect_->CurrentStep(), 3);
    EXPECT_EQ(effect_->Timer().Interval(), 50);
}

TEST_F(TransitionTest, AControlResizedDuringARunKeepsItsStepSizes) {
    UseSmallControl(StretchFromLeft, 4);
    effect_->SetBitmap(Solid(100, 100, kRed));
    effect_->Execute();
    Tick(2);
    effect_->SetBounds(0, 0, 200, 60);
    EXPECT_EQ(effect_->StepWidth(), 25.0f);
    Tick(3);  // frames 2 to 4 on the new size, 25 columns a step
    EXPECT_EQ(effect_->CurrentStep(), 0);
    ProcessEvents();
    EXPECT_EQ(ShownAt(99, 59), kRed);
    EXPECT_EQ(ShownAt(100, 30), kBlack) << "the background was repainted at the new size";
    EXPECT_EQ(ShownAt(199, 59), kBlack);
    EXPECT_EQ(effect_->Surface().size(), QSize(200, 60));
}

TEST_F(TransitionTest, ATickWithAnEmptyPictureStops) {
    UseSmallControl(StretchFromLeft, 4);
    int before = 0, after = 0, notify = 0;
    effect_->OnBeforeStep = [&](TObject*) { ++before; };
    effect_->OnAfterStep = [&](TObject*) { ++after; };
    effect_->OnNotify = [&](TObject*) { ++notify; };
    effect_->Execute();
    Tick(1);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after + notify, 0);
    EXPECT_FALSE(effect_->Timer().Enabled());
    EXPECT_EQ(effect_->CurrentStep(), 0);
    EXPECT_EQ(effect_->LastError(), QStringLiteral("Bitmap empty"));
}

TEST_F(TransitionTest, SwapExchangesOnlyWhenBothPicturesExist) {
    effect_->SetBitmap(Solid(100, 100, kRed));
    effect_->SetSwap(true);
    EXPECT_FALSE(effect_->Swap()) << "BGBitmap is empty";
    EXPECT_EQ(effect_->Bitmap().Image().pixel(0, 0), kRed);

    effect_->SetBGBitmap(Solid(50, 50, kGreen));
    effect_->SetSwap(true);
    EXPECT_TRUE(effect_->Swap());
    EXPECT_EQ(effect_->Bitmap().Width(), 50);
    EXPECT_EQ(effect_->BGBitmap().Image().pixel(0, 0), kRed);

    effect_->SetSwap(true);  // unchanged: no exchange
    EXPECT_EQ(effect_->Bitmap().Width(), 50);
    effect_->SetSwap(false);
    EXPECT_EQ(effect_->Bitmap().Width(), 100);
}

TEST_F(TransitionTest, FirstPaintExchangesThePicturesBackAndFiresOnLoadOnce) {
    auto* effect = new TTransitionEffect(form_.get());  // not painted yet
    effect->SetAutosize(asFitBoth);
    effect->SetBGBitmap(Solid(10, 10, kGreen));  // as a stored form loads them
    effect->SetBitmap(Solid(20, 20, kRed));
    effect->SetSwap(true);
    EXPECT_EQ(effect->Bitmap().Width(), 10);
    int loads = 0;
    effect->OnLoad = [&](TObject*) {
        ++loads;
        EXPECT_EQ(effect->Bitmap().Width(), 20);
    };
    EXPECT_TRUE(effect->FirstPaint());
    ProcessEvents();
    effect->Repaint();
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(effect->FirstPaint());
    EXPECT_TRUE(effect->Swap());
    EXPECT_EQ(effect->Bitmap().Width(), 20);
    EXPECT_EQ(effect->BGBitmap().Width(), 10);
}

TEST_F(TransitionTest, StepsAndIntervalRejectOutOfRangeValues) {
    const QString stepsError =
        QStringLiteral("invalid Steps Value, must be 0 < steps < Width and 0 < steps < Height");
    effect_->SetBounds(0, 0, 100, 80);
    for (int bad : {0, -3, 80, 100, 1000}) {
        effect_->SetSteps(bad);
        EXPECT_EQ(effect_->Steps(), 10) << bad;
        EXPECT_EQ(effect_->LastError(), stepsError);
    }
    effect_->SetSteps(79);
    EXPECT_EQ(effect_->Steps(), 79);
    effect_->SetBounds(0, 0, 100, 120);
    effect_->SetSteps(99);
    EXPECT_EQ(effect_->Steps(), 99);

    for (int bad : {0, -10}) {
        effect_->SetInterval(bad);
        EXPECT_EQ(effect_->Interval(), 100);
        EXPECT_EQ(effect_->LastError(),
                  QStringLiteral("invalid Interval Value, must be 0 < Interval"));
    }
    effect_->SetInterval(1);
    EXPECT_EQ(effect_->Interval(), 1);
    EXPECT_FALSE(effect_->Timer().Enabled());
    EXPECT_EQ(effect_->Timer().Interval(), 100) << "applied only by Execute";
}

struct AutosizeCase {
    TTEAutoSize mode;
    int width, height;
    int fittedWidth, fittedHeight;
};

class TransitionAutosize : public TransitionTest,
                           public testing::WithParamInterface<AutosizeCase> {};

TEST_P(TransitionAutosize, FitsTheBackgroundPicturesRatioHeldAsAFloat) {
    const AutosizeCase& c = GetParam();
    effect_->SetBounds(0, 0, c.width, c.height);
    effect_->SetAutosize(c.mode);
    effect_->SetBGBitmap(Solid(640, 480, kRed));
    ProcessEvents();
    EXPECT_EQ(effect_->Width(), c.fittedWidth);
    EXPECT_EQ(effect_->Height(), c.fittedHeight);
    EXPECT_EQ(ShownAt(c.fittedWidth - 1, c.fittedHeight - 1), kRed);
}

std::string AutosizeName(const testing::TestParamInfo<AutosizeCase>& info) {
    static const char* const kMode[] = {"FitWidth", "FitHeight", "FitBoth"};
    const AutosizeCase& c = info.param;
    return kMode[c.mode] + std::to_string(c.width) + "x" + std::to_string(c.height);
}

INSTANTIATE_TEST_SUITE_P(Modes, TransitionAutosize,
                         testing::Values(AutosizeCase{asFitWidth, 640, 100, 640, 479},
                                         AutosizeCase{asFitWidth, 320, 100, 320, 239},
                                         AutosizeCase{asFitHeight, 10, 480, 640, 480},
                                         AutosizeCase{asFitBoth, 300, 200, 300, 200}),
                         AutosizeName);

TEST_F(TransitionTest, AnEmptyOrZeroWidthBackgroundLeavesTheSizeAlone) {
    effect_->SetBounds(0, 0, 120, 90);
    TBitmap zeroWidth;
    zeroWidth.SetSize(0, 50);
    for (const TBitmap& background : {TBitmap(), zeroWidth}) {
        effect_->SetBGBitmap(background);
        ProcessEvents();
        EXPECT_EQ(effect_->Width(), 120);
        EXPECT_EQ(effect_->Height(), 90);
        EXPECT_EQ(effect_->LastError(), QStringLiteral("BGBitmap Empty or BGBitmap.height=0"));
        EXPECT_EQ(ShownAt(60, 45), kParent) << "btBitmap without a picture paints nothing";
    }
}

TEST_F(TransitionTest, BackgroundFollowsBGType) {
    effect_->SetBounds(10, 10, 100, 100);
    effect_->SetAutosize(asFitBoth);
    effect_->Canvas().Pen().Color = clRed;
    effect_->SetBGColor(clBlue);
    effect_->SetBGType(btColor);
    effect_->SetBGBitmap(Halves(10, 10, kGreen, kRed));  // requests the repaint
    ProcessEvents();
    for (auto [x, y] : {std::pair{0, 0}, {99, 99}, {0, 99}, {50, 50}})
        EXPECT_EQ(ShownAt(x, y), kBlue) << x << "," << y;

    effect_->SetBGType(btBitmap);
    effect_->SetAutosize(asFitBoth);
    ProcessEvents();
    ExpectShown({{49, 0, kGreen}, {50, 99, kRed}});

    effect_->SetBGType(btTransparant);
    effect_->SetAutosize(asFitBoth);
    ProcessEvents();
    EXPECT_EQ(ShownAt(50, 50), kParent);
}

TEST_F(TransitionTest, SoundCallsFollowPlaySoundAndSoundFile) {
    UseSmallControl(StretchFromLeft, 4);
    effect_->SetBitmap(Solid(100, 100, kRed));
    effect_->SetPlaySound(true);
    effect_->Execute();
    effect_->StopTransition();
    EXPECT_TRUE(Sounds().empty()) << "no sound file: no calls";

    effect_->SetSoundFile(QStringLiteral("/tmp/ding.wav"));
    effect_->SetPlaySound(false);
    effect_->Execute();
    effect_->StopTransition();
    EXPECT_TRUE(Sounds().empty());

    effect_->SetPlaySound(true);
    effect_->Execute();
    effect_->Execute();
    Tick(5);
    const std::vector<SoundCall> expected{kStop,
                                          {false, "/tmp/ding.wav", SND_ASYNC | SND_LOOP},
                                          kStop,
                                          {false, "/tmp/ding.wav", SND_ASYNC | SND_LOOP},
                                          kStop};
    EXPECT_EQ(Sounds(), expected);
}

TEST_F(TransitionTest, DestructionStopsAnySoundPlaying) {
    delete effect_;
    effect_ = nullptr;
    EXPECT_EQ(Sounds(), std::vector<SoundCall>{kStop});
}

}  // namespace
