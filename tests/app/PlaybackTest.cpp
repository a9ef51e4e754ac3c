#include <gtest/gtest.h>

#include "app/PlayerState.h"
#include "media/MPlayer.h"
#include "skin/TransBtn.h"
#include "support/CaseName.h"
#include "support/MainFormFixture.h"
#include "toolkit/Image.h"
#include "toolkit/Memo.h"
#include "toolkit/Panel.h"

namespace {

const QStringList kThree = {"C:\\clips\\one.avi", "C:\\clips\\two.avi", "C:\\clips\\three.avi"};

struct Playback : MainFormFixture {
    Playback() { SetPlaylist(kThree); }
    void Next() { form->bnextClick(nullptr); }
    void Previous() { form->bprevClick(nullptr); }
    void StopContinue() { form->bstopClick(nullptr); }
    void Replay() { form->breplayClick(nullptr); }
    // Starts entry 1 with Next and forgets the commands that took.
    void PlayFirst() {
        Next();
        ProcessEvents();
        mci->ClearCalls();
    }
};

TEST_F(Playback, EmptyPlaylistMakesNextAndPreviousDoNothingAtAll) {
    PlaylistCount = 0;
    Next();
    Previous();
    EXPECT_EQ(Clicks(), 0);
    EXPECT_FALSE(form->Image2->Visible());
    EXPECT_TRUE(mci->Calls().empty());
}

TEST_F(Playback, FirstNextWithNothingSetUpOnlyShowsTheBlackPictureAndClicks) {
    ResetPlayerState();
    PlaylistCount = 1;
    Next();
    EXPECT_TRUE(form->Image2->Visible());
    EXPECT_EQ(Clicks(), 1);
    EXPECT_EQ(PlaylistIndex, 1);
    EXPECT_TRUE(mci->Calls().empty());
    EXPECT_FALSE(IsPlaying);
}

struct Wrap {
    bool next;
    int from;
    int to;
};

class WrapAround : public Playback, public ::testing::WithParamInterface<Wrap> {};

TEST_P(WrapAround, IndexStaysWithinTheList) {
    PlaylistIndex = GetParam().from;
    GetParam().next ? Next() : Previous();
    EXPECT_EQ(PlaylistIndex, GetParam().to);
    EXPECT_EQ(form->mp->FileName(), kThree[GetParam().to - 1]);
}

INSTANTIATE_TEST_SUITE_P(ThreeEntries, WrapAround,
                         ::testing::Values(Wrap{true, 3, 1}, Wrap{false, 1, 3}, Wrap{true, 0, 1},
                                           Wrap{false, 0, 3}, Wrap{true, 7, 1}, Wrap{false, 7, 3},
                                           Wrap{false, 2, 1}),
                         [](const testing::TestParamInfo<Wrap>& info) {
                             return (info.param.next ? "NextFrom" : "BackFrom") +
                                    std::to_string(info.param.from);
                         });

struct CommandRow {
    const char* name;
    void (*act)(Playback&);
    const char* commands;
};

class CommandTable : public Playback, public ::testing::WithParamInterface<CommandRow> {};

TEST_P(CommandTable, HandlersSendTheStatedCommands) {
    GetParam().act(*this);
    EXPECT_EQ(Commands(), GetParam().commands);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandTable,
    ::testing::Values(
        CommandRow{"NextFromNothing", [](Playback& t) { t.Next(); }, "OPEN PUT PLAY+N"},
        CommandRow{"NextWhilePlaying",
                   [](Playback& t) {
                       t.PlayFirst();
                       t.Next();
                   },
                   "STOP CLOSE OPEN PUT PLAY+N"},
        CommandRow{"PreviousFromNothing", [](Playback& t) { t.Previous(); }, "OPEN+N PUT PLAY+N"},
        CommandRow{"PreviousWhilePlaying",
                   [](Playback& t) {
                       t.PlayFirst();
                       t.Previous();
                   },
                   "STOP CLOSE+N OPEN PUT PLAY+N"},
        CommandRow{"Pausing",
                   [](Playback& t) {
                       t.PlayFirst();
                       t.StopContinue();
                   },
                   "STOP"},
        CommandRow{"Resuming",
                   [](Playback& t) {
                       t.PlayFirst();
                       t.StopContinue();
                       t.mci->ClearCalls();
                       t.StopContinue();
                   },
                   "PLAY"},
        CommandRow{"ReplayWhilePlaying",
                   [](Playback& t) {
                       t.PlayFirst();
                       t.Replay();
                   },
                   "CLOSE OPEN PLAY+N"},
        CommandRow{"ReplayAfterAResume",
                   [](Playback& t) {
                       t.PlayFirst();
                       t.StopContinue();
                       t.StopContinue();
                       t.mci->ClearCalls();
                       t.Replay();
                   },
                   "CLOSE+N OPEN PLAY+N"},
        CommandRow{"PanelClick",
                   [](Playback& t) {
                       t.PlayFirst();
                       t.form->panel1Click(nullptr);
                   },
                   "CLOSE"},
        CommandRow{"HelpWhilePlaying",
                   [](Playback& t) {
                       t.PlayFirst();
                       t.form->bhelpClick(nullptr);
                   },
                   "STOP"},
        CommandRow{"SetupWhilePlaying",
                   [](Playback& t) {
                       t.PlayFirst();
                       t.form->bsetupClick(nullptr);
                   },
                   "STOP"}),
    [](const ::testing::TestParamInfo<CommandRow>& info) { return info.param.name; });

TEST_F(Playback, AClipStartedByNextEndsWithoutStartingTheNextOne) {
    PlayFirst();
    mci->EndPlay();
    ProcessEvents();
    EXPECT_TRUE(mci->Calls().empty() || Commands().isEmpty());
    EXPECT_EQ(PlaylistIndex, 1);
    EXPECT_TRUE(IsPlaying);
}

TEST_F(Playback, PreviousRunsNextFromItsNoticeAndEndsWhereItStarted) {
    Next();
    Next();
    ProcessEvents();
    ASSERT_EQ(PlaylistIndex, 2);
    Previous();
    EXPECT_EQ(PlaylistIndex, 1);
    ProcessEvents();
    EXPECT_EQ(PlaylistIndex, 2);
    EXPECT_EQ(form->mp->FileName(), kThree[1]);
}

TEST_F(Playback, PreviousFromTheStartEndsOnEntryOne) {
    Previous();
    ProcessEvents();
    EXPECT_EQ(PlaylistIndex, 1);
}

TEST_F(Playback, HelpWhileAClipPlaysLetsTheNextEntryStartBehindTheText) {
    PlayFirst();
    form->bhelpClick(nullptr);
    EXPECT_FALSE(form->panel1->Visible());
    ProcessEvents();
    EXPECT_EQ(PlaylistIndex, 2);
    EXPECT_TRUE(form->panel1->Visible());
    EXPECT_TRUE(form->Image2->Visible());
    EXPECT_TRUE(form->Memo1->Visible());
}

TEST_F(Playback, PauseResumeThenReplayPlaysTheNextEntryInstead) {
    PlayFirst();
    StopContinue();
    StopContinue();
    Replay();
    ProcessEvents();
    EXPECT_EQ(PlaylistIndex, 2);
    EXPECT_EQ(form->mp->FileName(), kThree[1]);
}

struct PanelCase {
    bool next;
    bool video;
    QSize size;
    QRect panel;
};

class PanelGeometry : public Playback, public ::testing::WithParamInterface<PanelCase> {};

TEST_P(PanelGeometry, SizedToTheClipAndCentred) {
    mci->hasVideo = GetParam().video;
    mci->naturalSize = GetParam().size;
    GetParam().next ? Next() : Previous();
    const QRect panel(form->panel1->Left(), form->panel1->Top(), form->panel1->Width(),
                      form->panel1->Height());
    EXPECT_EQ(panel, GetParam().panel);
    EXPECT_TRUE(form->panel1->Visible());
}

INSTANTIATE_TEST_SUITE_P(Clips, PanelGeometry,
                         ::testing::Values(PanelCase{true, true, {160, 120}, {173, 122, 160, 120}},
                                           PanelCase{false, true, {160, 120}, {233, 120, 160, 120}},
                                           PanelCase{true, true, {161, 121}, {173, 122, 161, 121}},
                                           PanelCase{true, false, {0, 0}, {253, 182, 0, 0}},
                                           PanelCase{false, false, {0, 0}, {313, 180, 0, 0}}),
                         [](const testing::TestParamInfo<PanelCase>& info) {
                             const PanelCase& c = info.param;
                             return std::string(c.next ? "Next" : "Back") +
                                    (c.video ? "Video" : "Audio") + std::to_string(c.size.width()) +
                                    "x" + std::to_string(c.size.height());
                         });

TEST_F(Playback, NextEnablesThePlayerButtons) {
    form->bsetupClick(nullptr);
    form->okClick(nullptr);
    EXPECT_FALSE(form->bsave->Enabled());
    SetPlaylist(kThree);
    Next();
    for (TTransparentButton* b : {form->bnext, form->bprev, form->bstop, form->breplay, form->bsave,
                                  form->bload, form->bsetup, form->bexit, form->bhelp})
        EXPECT_TRUE(b->Enabled()) << b->Name().toStdString();
}

TEST_F(Playback, AFailedOpenStopsTheHandlerAndKeepsWhatWasDone) {
    PlayFirst();
    mci->FailNext(platform::MCI_OPEN, 275, "The file does not exist");
    try {
        Next();
        FAIL() << "no error";
    } catch (const EMCIDeviceError& error) {
        EXPECT_EQ(error.Message(), "The file does not exist");
    }
    EXPECT_EQ(PlaylistIndex, 2);
    EXPECT_EQ(form->mp->FileName(), kThree[1]);
    EXPECT_FALSE(IsPlaying);
}

TEST_F(Playback, StopContinueAfterAPanelClickReportsNoDeviceOpen) {
    PlayFirst();
    form->panel1Click(nullptr);
    EXPECT_FALSE(form->panel1->Visible());
    try {
        StopContinue();
        FAIL() << "no error";
    } catch (const EMCIDeviceError& error) {
        EXPECT_EQ(error.Message(), "No MCI device open");
    }
}

TEST_F(Playback, ReplayAfterAPanelClickPlaysUnseen) {
    PlayFirst();
    form->panel1Click(nullptr);
    Replay();
    EXPECT_TRUE(IsPlaying);
    EXPECT_FALSE(form->panel1->Visible());
    EXPECT_EQ(Commands(), "CLOSE OPEN PLAY+N");
}

}  // namespace
