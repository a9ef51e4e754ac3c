#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <optional>

#include "media/MPlayer.h"
#include "support/FakeMci.h"

using namespace platform;

namespace {

struct Notice {
    TMPNotifyValues value;
    bool notifyWhenHandled;
    friend bool operator==(const Notice&, const Notice&) = default;
};

class MPlayerTest : public testing::Test {
  protected:
    MPlayerTest() {
        display.SetColor(clBlack);
        mp.SetDisplay(&display);
        mp.SetFileName(QStringLiteral("C:\\media\\clip.avi"));
        mp.SetAutoRewind(false);
        mp.OnNotify = [this](TObject* sender) {
            EXPECT_EQ(sender, &mp);
            notices.push_back({mp.NotifyValue(), mp.Notify()});
        };
    }

    // Runs the event loop's queued notices.
    std::vector<Notice> TakeNotices() {
        QCoreApplication::sendPostedEvents();
        return std::exchange(notices, {});
    }

    unsigned LastFlags(unsigned message) const {
        const auto calls = mci->CallsOf(message);
        return calls.empty() ? ~0u : calls.back().flags;
    }

    FakeMciScope mci;
    TCustomControl display{nullptr};
    TMediaPlayer mp{nullptr};
    std::vector<Notice> notices;
};

// How a test sets a switch before a command: not at all, true or false.
using Setting = std::optional<bool>;

struct RuleCase {
    Setting notify;
    Setting wait;
    unsigned ruleA;
    unsigned ruleB;
};

const RuleCase kRuleCases[] = {
    {{}, {}, MCI_WAIT, MCI_NOTIFY},
    {true, {}, MCI_WAIT | MCI_NOTIFY, MCI_NOTIFY},
    {false, {}, MCI_WAIT, 0},
    {{}, true, MCI_WAIT, MCI_NOTIFY | MCI_WAIT},
    {{}, false, 0, MCI_NOTIFY},
    {true, true, MCI_WAIT | MCI_NOTIFY, MCI_NOTIFY | MCI_WAIT},
    {true, false, MCI_NOTIFY, MCI_NOTIFY},
    {false, true, MCI_WAIT, MCI_WAIT},
    {false, false, 0, 0},
};

void Apply(TMediaPlayer& mp, const RuleCase& c) {
    if (c.notify) mp.SetNotify(*c.notify);
    if (c.wait) mp.SetWait(*c.wait);
}

TEST_F(MPlayerTest, FlagWordsFollowRuleAAndRuleB) {
    const std::pair<unsigned, std::function<void(TMediaPlayer&)>> commands[] = {
        {MCI_OPEN, [](TMediaPlayer& p) { p.Open(); }},
        {MCI_STOP, [](TMediaPlayer& p) { p.Stop(); }},
        {MCI_PAUSE, [](TMediaPlayer& p) { p.Pause(); }},
        {MCI_CLOSE, [](TMediaPlayer& p) { p.Close(); }},
        {MCI_PLAY, [](TMediaPlayer& p) { p.Play(); }},
    };
    for (const RuleCase& c : kRuleCases) {
        for (const auto& [message, run] : commands) {
            if (message == MCI_OPEN && mp.IsOpen()) mp.Close();
            if (message != MCI_OPEN && !mp.IsOpen()) mp.Open();
            mci->mode = MCI_MODE_PLAY;  // so that Pause pauses
            Apply(mp, c);
            run(mp);
            const unsigned expected = message == MCI_PLAY ? c.ruleB : c.ruleA;
            SCOPED_TRACE(testing::Message()
                         << "command 0x" << std::hex << message << " notify "
                         << c.notify.value_or(2) << " wait " << c.wait.value_or(2));
            EXPECT_EQ(LastFlags(message) & (MCI_NOTIFY | MCI_WAIT), expected);
            EXPECT_FALSE(mp.NotifyPending());
            EXPECT_FALSE(mp.WaitPending());
            if (c.notify) {
                EXPECT_EQ(mp.Notify(), *c.notify);
            }
            if (c.wait) {
                EXPECT_EQ(mp.Wait(), *c.wait);
            }
        }
    }
}

TEST_F(MPlayerTest, OpenAddsElementTypeAndShareableFlags) {
    mp.Open();
    EXPECT_EQ(LastFlags(MCI_OPEN), MCI_WAIT | MCI_OPEN_ELEMENT);
    EXPECT_EQ(mci->CallsOf(MCI_OPEN).back().element, QStringLiteral("C:\\media\\clip.avi"));
    mp.SetDeviceType(dtWaveAudio);
    mp.SetShareable(true);
    mp.SetFileName({});
    mp.Open();
    EXPECT_EQ(LastFlags(MCI_OPEN), MCI_WAIT | MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE);
    EXPECT_EQ(mci->CallsOf(MCI_OPEN).back().type, QStringLiteral("WaveAudio"));
}

TEST_F(MPlayerTest, PendingNotifyFalseIsConsumedByTheCloseInsideOpen) {
    mp.Open();
    mci->ClearCalls();
    mp.SetNotify(false);
    mp.Open();
    mp.Play();
    ASSERT_EQ(mci->Messages()[0], MCI_CLOSE);
    EXPECT_EQ(LastFlags(MCI_CLOSE), MCI_WAIT);
    EXPECT_EQ(LastFlags(MCI_OPEN), MCI_WAIT | MCI_OPEN_ELEMENT);
    EXPECT_EQ(LastFlags(MCI_PLAY), MCI_NOTIFY);
}

TEST_F(MPlayerTest, PendingNotifyTrueGoesToTheInnerCloseOrElseToOpen) {
    for (const bool fileOpen : {true, false}) {
        if (fileOpen) mp.Open();
        mci->ClearCalls();
        mp.SetNotify(true);
        mp.Open();
        EXPECT_TRUE(notices.empty()) << "a notice must wait for the event loop";
        const unsigned carrier = fileOpen ? MCI_CLOSE : MCI_OPEN;
        EXPECT_TRUE(LastFlags(carrier) & MCI_NOTIFY);
        EXPECT_EQ(LastFlags(MCI_OPEN) & MCI_NOTIFY, fileOpen ? 0u : unsigned(MCI_NOTIFY));
        EXPECT_EQ(TakeNotices(), (std::vector<Notice>{{nrSuccessful, true}}));
        mp.Close();
    }
}

TEST_F(MPlayerTest, StoppedPlayPostsAbortedWhileNotifyStillReadsTrue) {
    mp.Open();
    mp.SetNotify(true);
    mp.Play();
    mp.Stop();
    EXPECT_EQ(LastFlags(MCI_PLAY), MCI_NOTIFY);
    EXPECT_EQ(LastFlags(MCI_STOP), MCI_WAIT);
    EXPECT_EQ(TakeNotices(), (std::vector<Notice>{{nrAborted, true}}));
}

TEST_F(MPlayerTest, NoticeResultsSetNotifyValueAndUnknownCodesLeaveIt) {
    mp.Open();
    const std::pair<unsigned, TMPNotifyValues> cases[] = {{MCI_NOTIFY_FAILURE, nrFailure},
                                                          {MCI_NOTIFY_SUPERSEDED, nrSuperseded},
                                                          {MCI_NOTIFY_ABORTED, nrAborted},
                                                          {0x40, nrAborted},
                                                          {MCI_NOTIFY_SUCCESSFUL, nrSuccessful}};
    for (const auto& [code, value] : cases) {
        // Delivered whatever device it names, also one never opened.
        PostNotify(&mp, code, 999);
        const auto got = TakeNotices();
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].value, value) << code;
    }
}

TEST_F(MPlayerTest, SupersededAndSuccessfulEndsOfPlay) {
    mp.Open();
    mp.Play();
    mp.Play();  // asks for a notice and takes over the first one
    mci->EndPlay();
    EXPECT_EQ(TakeNotices(), (std::vector<Notice>{{nrSuperseded, false}, {nrSuccessful, false}}));
}

TEST_F(MPlayerTest, CommandsWithoutAnOpenDeviceRaiseAndKeepThePendingSwitch) {
    const std::function<void()> commands[] = {[this] { mp.Play(); }, [this] { mp.Stop(); },
                                              [this] { mp.Pause(); }, [this] { mp.Resume(); }};
    mp.Open();
    mp.Close();
    mci->ClearCalls();
    mp.SetNotify(true);
    for (const auto& command : commands) {
        try {
            command();
            ADD_FAILURE() << "no error raised";
        } catch (const EMCIDeviceError& error) {
            EXPECT_EQ(error.Message(), QStringLiteral("No MCI device open"));
        }
        EXPECT_TRUE(mp.NotifyPending());
    }
    mp.Close();  // nothing open: nothing sent
    EXPECT_TRUE(mci->Calls().empty());
    EXPECT_TRUE(mp.NotifyPending());
}

TEST_F(MPlayerTest, OpenFailureRaisesTheLayersTextOrUnknownErrorCode) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("The file does not exist: C:\\media\\clip.avi"),
         QStringLiteral("The file does not exist: C:\\media\\clip.avi")},
        {QString(), QStringLiteral("Unknown error code")}};
    MCIERROR code = MCIERR_FILE_NOT_FOUND;
    for (const auto& [text, shown] : cases) {
        mci->FailNext(MCI_OPEN, code, text);
        mp.SetNotify(true);
        try {
            mp.Open();
            ADD_FAILURE() << "no error raised";
        } catch (const EMCIDeviceError& error) {
            EXPECT_EQ(error.Message(), shown);
        }
        EXPECT_EQ(mp.Error(), static_cast<int>(code));
        EXPECT_FALSE(mp.IsOpen());
        EXPECT_EQ(mp.DeviceID(), 0);
        EXPECT_FALSE(mp.NotifyPending());
        code = 9999;
    }
}

TEST_F(MPlayerTest, FailingCommandsOnAnOpenDeviceAreRecordedNotRaised) {
    mp.Open();
    for (const unsigned message : {MCI_PLAY, MCI_STOP, MCI_CLOSE}) {
        mci->FailNext(message, MCIERR_HARDWARE);
        if (message == MCI_PLAY) mp.Play();
        if (message == MCI_STOP) mp.Stop();
        if (message == MCI_CLOSE) mp.Close();
        EXPECT_EQ(mp.Error(), static_cast<int>(MCIERR_HARDWARE));
    }
    EXPECT_TRUE(mp.IsOpen()) << "a failed close leaves the device open";
    mp.Close();
    EXPECT_EQ(mp.Error(), 0);
    EXPECT_FALSE(mp.IsOpen());
}

TEST_F(MPlayerTest, OpenQueriesCapabilitiesSizeAndAttachesTheDisplay) {
    mci->naturalSize = QSize(161, 121);
    mp.Open();
    EXPECT_TRUE(mp.HasVideo());
    EXPECT_TRUE(mp.Capabilities().CanPlay);
    EXPECT_EQ(mp.NaturalWidth(), 161);
    EXPECT_EQ(mp.NaturalHeight(), 121);
    const auto windows = mci->CallsOf(MCI_WINDOW);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].window, &display);
    EXPECT_EQ(windows[0].flags, MCI_DGV_WINDOW_HWND | MCI_WAIT);
}

TEST_F(MPlayerTest, AllZeroDisplayRectMeansNaturalSizeAtTheOrigin) {
    mp.Open();
    mp.SetDisplayRect(Rect(0, 0, 0, 0));
    EXPECT_EQ(mci->CallsOf(MCI_PUT).back().rect, QRect(0, 0, 160, 120));
    EXPECT_EQ(LastFlags(MCI_PUT), MCI_DGV_RECT | MCI_DGV_PUT_DESTINATION);
    EXPECT_EQ(mp.DisplayRect(), Rect(0, 0, 160, 120));
    mp.SetDisplayRect(Rect(5, 7, 0, 0));
    EXPECT_EQ(mp.DisplayRect(), Rect(5, 7, 160, 120));
    mp.SetDisplayRect(Rect(1, 2, 30, 40));
    EXPECT_EQ(mp.DisplayRect(), Rect(1, 2, 30, 40));
}

TEST_F(MPlayerTest, WaveFileHasNoDisplayRect) {
    mci->hasVideo = false;
    mp.SetFileName(QStringLiteral("C:\\media\\tone.wav"));
    mp.SetNotify(true);
    mp.Open();
    mci->ClearCalls();
    mp.SetDisplayRect(Rect(0, 0, 0, 0));
    EXPECT_EQ(mp.DisplayRect(), Rect(0, 0, 0, 0));
    EXPECT_TRUE(mci->Calls().empty());
    EXPECT_EQ(mp.NaturalWidth(), 0);
    EXPECT_TRUE(mci->CallsOf(MCI_WINDOW).empty());
}

TEST_F(MPlayerTest, AutoRewindSeeksToStartOnlyAtTheEndWithoutPositions) {
    struct Case {
        bool autoRewind;
        std::uint32_t position;
        bool startGiven;
        bool seeks;
    };
    const Case cases[] = {{true, 1000, false, true},
                          {true, 500, false, false},
                          {false, 1000, false, false},
                          {true, 1000, true, false}};
    for (const Case& c : cases) {
        mp.Open();
        mci->ClearCalls();
        mci->position = c.position;
        mp.SetAutoRewind(c.autoRewind);
        if (c.startGiven) mp.SetStartPos(200);
        mp.Play();
        const auto seeks = mci->CallsOf(MCI_SEEK);
        EXPECT_EQ(seeks.size(), c.seeks ? 1u : 0u);
        if (c.seeks) {
            EXPECT_EQ(seeks[0].flags, MCI_SEEK_TO_START | MCI_WAIT);
        }
        EXPECT_EQ(LastFlags(MCI_PLAY) & MCI_FROM, c.startGiven ? unsigned(MCI_FROM) : 0u);
        mp.Close();
        TakeNotices();
    }
}

TEST_F(MPlayerTest, PlayAtTheEndWithoutAutoRewindFinishesAtOnce) {
    mp.Open();
    mci->position = mci->length;
    mp.Play();
    EXPECT_EQ(TakeNotices(), (std::vector<Notice>{{nrSuccessful, false}}));
}

TEST_F(MPlayerTest, PauseTogglesAndResumeFallsBackToPlay) {
    mp.Open();
    mp.Play();
    mp.Pause();
    EXPECT_EQ(mci->mode, MCI_MODE_PAUSE);
    mp.Pause();
    EXPECT_EQ(mci->Messages().back(), MCI_RESUME);
    EXPECT_EQ(mci->mode, MCI_MODE_PLAY);
    mp.Stop();
    mci->ClearCalls();
    mp.Resume();  // refused when stopped: plays instead
    EXPECT_EQ(mci->Messages(), (std::vector<unsigned>{MCI_RESUME, MCI_PLAY}));
}

TEST_F(MPlayerTest, DisplayIsAttachedOnlyToAnOpenVideoAndGivenBackWhenItGoes) {
    auto* panel = new TCustomControl(nullptr);
    mp.SetDisplay(panel);
    EXPECT_TRUE(mci->CallsOf(MCI_WINDOW).empty()) << "nothing open: only stored";
    mp.Open();
    ASSERT_EQ(mci->CallsOf(MCI_WINDOW).back().window, panel);
    delete panel;
    EXPECT_EQ(mp.Display(), nullptr);
    EXPECT_EQ(mci->CallsOf(MCI_WINDOW).back().window, nullptr);
    EXPECT_EQ(LastFlags(MCI_WINDOW), MCI_DGV_WINDOW_HWND | MCI_WAIT);
}

TEST_F(MPlayerTest, RefusedWindowLeavesNoDisplay) {
    mci->FailNext(MCI_WINDOW, MCIERR_UNSUPPORTED_FUNCTION);
    mp.Open();
    EXPECT_EQ(mp.Display(), nullptr);
}

TEST(MPlayerLifetime, DestructionClosesWithWaitOnly) {
    FakeMciScope mci;
    {
        TMediaPlayer mp(nullptr);
        mp.SetFileName(QStringLiteral("x.avi"));
        mp.Open();
        mp.SetNotify(true);
    }
    EXPECT_EQ(mci->Calls().back().message, MCI_CLOSE);
    EXPECT_EQ(mci->Calls().back().flags, MCI_WAIT);
}

// The command sequences of the player's handlers, and the notices they
// produce with the Notify value read when each is handled.
TEST_F(MPlayerTest, PlayerHandlerSequencesGiveTheirNotices) {
    const auto next = [this](bool notify, bool playing) {
        if (playing) mp.Stop();
        mp.SetNotify(notify);
        mp.Open();
        mp.SetDisplayRect(Rect(0, 0, 0, 0));
        EXPECT_EQ(mp.DisplayRect().Bottom, 120);
        EXPECT_EQ(mp.DisplayRect().Right, 160);
        mp.Play();
    };
    // Next plays to its end: the notice comes with Notify false.
    next(false, false);
    mci->EndPlay();
    EXPECT_EQ(TakeNotices(), (std::vector<Notice>{{nrSuccessful, false}}));
    // Next again: the ended clip's stop and the open ask for nothing.
    next(false, true);
    EXPECT_TRUE(TakeNotices().empty());
    // Previous while that clip plays: it is aborted, and the inner Close
    // carries the pending true Notify; both are handled with Notify true.
    next(true, true);
    EXPECT_EQ(TakeNotices(), (std::vector<Notice>{{nrAborted, true}, {nrSuccessful, true}}));
    // Stop/continue pausing, then resuming: no notice for the resumed play,
    // and the pending true Notify goes to the next Close (Replay).
    mp.SetNotify(false);
    mp.Stop();
    EXPECT_EQ(TakeNotices(), (std::vector<Notice>{{nrAborted, false}}));
    mp.SetNotify(false);
    mp.Play();
    mp.SetNotify(true);
    EXPECT_EQ(LastFlags(MCI_PLAY), 0u);
    mp.Close();
    EXPECT_EQ(TakeNotices(), (std::vector<Notice>{{nrSuccessful, true}}));
    // Help while a clip plays: Stop, then Notify true; the aborted notice
    // is handled with Notify true.
    mp.Open();
    mp.Play();
    mp.Stop();
    mp.SetNotify(true);
    EXPECT_EQ(TakeNotices(), (std::vector<Notice>{{nrAborted, true}}));
}

}  // namespace

namespace {

// An open that waits shows the hourglass once the wait is longer than a
// moment, and never leaves it behind.
struct OpenWaitCase {
    const char* name;
    int waitedMs;
    bool fails;
    bool hourGlass;
};

class MPlayerOpenWaitTest : public MPlayerTest, public testing::WithParamInterface<OpenWaitCase> {};

bool HourGlassShown() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

TEST_P(MPlayerOpenWaitTest, ShowsTheHourGlassOnlyWhileALongOpenWaits) {
    std::optional<bool> shownWhileWaiting;
    mci->whileOpening = [&] {
        ReportOpenWait(GetParam().waitedMs);
        shownWhileWaiting = HourGlassShown();
    };
    if (GetParam().fails)
        mci->FailNext(MCI_OPEN, MCIERR_DEVICE_NOT_READY, OpenTimeLimitText("clip.avi"));
    try {
        mp.Open();
    } catch (const EMCIDeviceError& error) {
        EXPECT_EQ(error.Message(), "The media file did not open within 5 seconds: clip.avi");
    }
    EXPECT_EQ(shownWhileWaiting, GetParam().hourGlass);
    EXPECT_FALSE(HourGlassShown());
    ReportOpenWait(1000);
    EXPECT_FALSE(HourGlassShown()) << "a wait reported after the open shows nothing";
}

INSTANTIATE_TEST_SUITE_P(Waits, MPlayerOpenWaitTest,
                         testing::Values(OpenWaitCase{"AMoment", 50, false, false},
                                         OpenWaitCase{"Longer", 300, false, true},
                                         OpenWaitCase{"UntilTheLimit", kOpenTimeLimitMs, true,
                                                      true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
