#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFile>
#include <QTest>

#include "app/PlayerState.h"
#include "app/PlaylistFile.h"
#include "filectl/FileCtrl.h"
#include "media/MPlayer.h"
#include "skin/Label3D.h"
#include "skin/TransBtn.h"
#include "support/CaseName.h"
#include "support/MainFormFixture.h"
#include "support/TempDrives.h"
#include "toolkit/Exceptions.h"
#include "toolkit/ListBox.h"
#include "toolkit/Memo.h"

namespace {

// A drive C: of our own whose folder C:\clips holds the files setup offers;
// it comes before the window, which starts in the current folder.
struct ClipDrive {
    TempDrives drives{{'c'}};
    explicit ClipDrive(int files = 8) {
        drives.MakeFolder("c/clips");
        for (int i = 0; i < files; ++i)
            drives.MakeFile("c/clips/clip" + QByteArray::number(10 + i) + ".wav");
        drives.MakeFile("c/clips/notes.txt");
        drives.MakeFile("c/root.avi");
        drives.Enter("C:\\clips");
    }
};

struct Setup : ClipDrive, MainFormFixture {
    explicit Setup(int files = 8) : ClipDrive(files) {
        form->fl1->HandleNeeded();
        form->dl1->HandleNeeded();
        form->ld1DblClick(nullptr);
        form->bsetupClick(nullptr);
    }
    void Choose(int row) {
        form->fl1->SetItemIndex(row);
        form->fl1DblClick(nullptr);
    }
    void RemoveRow(int row) {
        form->lb1->SetItemIndex(row);
        form->removeClick(nullptr);
    }
    static QString Clip(int row) { return QString("C:\\clips\\clip%1.wav").arg(10 + row); }
};

TEST_F(Setup, OpensTheSetupViewWithThePlayerButtonsDisabled) {
    EXPECT_TRUE(form->fl1->Visible());
    EXPECT_TRUE(form->lb1->Visible());
    EXPECT_FALSE(form->Label3D3->Visible());
    EXPECT_EQ(PlaylistCount, 1);
    for (TTransparentButton* b : {form->bnext, form->bprev, form->bstop, form->breplay, form->bsave,
                                  form->bload, form->bsetup, form->bexit, form->bhelp})
        EXPECT_FALSE(b->Enabled()) << b->Name().toStdString();
    EXPECT_EQ(form->fl1->Items().Count(), 8);
    EXPECT_EQ(form->ld1->Caption(), "C:\\clips");
}

TEST_F(Setup, ChooseThreeRemoveTheMiddleOneAndAcceptPlaysTheFirstTwo) {
    Choose(0);
    Choose(1);
    Choose(2);
    EXPECT_EQ(PlaylistCount, 4);
    RemoveRow(1);
    EXPECT_EQ(PlaylistCount, 3);
    EXPECT_EQ(form->lb1->Items().ToStringList(), (QStringList{Clip(0), Clip(2)}));
    form->okClick(nullptr);
    EXPECT_EQ(PlaylistCount, 2);
    EXPECT_EQ(Playlist[1], Clip(0));
    EXPECT_EQ(Playlist[2], Clip(1));
    EXPECT_EQ(form->lsave->Caption(), "Not saved");
    EXPECT_FALSE(form->bsave->Enabled());
}

TEST_F(Setup, TwoRemovesWithNothingSelectedTakeTheCountBelowZero) {
    form->removeClick(nullptr);
    form->removeClick(nullptr);
    EXPECT_EQ(PlaylistCount, -1);
    Choose(0);
    EXPECT_EQ(form->lb1->Items().Count(), 0);
    EXPECT_EQ(PlaylistIndex, 0);
}

TEST_F(Setup, ArrowKeysThroughTheFileListAddEveryFileTheyLandOn) {
    form->show();
    Choose(0);
    auto* view = form->fl1->findChild<QAbstractItemView*>();
    ASSERT_NE(view, nullptr);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(form->lb1->Items().ToStringList(), (QStringList{Clip(0), Clip(1), Clip(2)}));
}

TEST_F(Setup, TheSameFileChosenTwiceIsAddedTwice) {
    Choose(3);
    Choose(3);
    EXPECT_EQ(form->lb1->Items().Count(), 2);
    EXPECT_EQ(Playlist[2], Clip(3));
}

struct FirstNext {
    int rows[2];
    int expectedSlot;
};

class FirstNextAfterAccept : public Setup, public ::testing::WithParamInterface<FirstNext> {};

TEST_P(FirstNextAfterAccept, PlaysTheSlotAfterTheLastClickedRow) {
    Choose(GetParam().rows[0]);
    Choose(GetParam().rows[1]);
    form->okClick(nullptr);
    form->bnextClick(nullptr);
    EXPECT_EQ(PlaylistIndex, GetParam().expectedSlot);
}

INSTANTIATE_TEST_SUITE_P(Rows, FirstNextAfterAccept,
                         ::testing::Values(FirstNext{{0, 1}, 2}, FirstNext{{5, 6}, 1}),
                         [](const testing::TestParamInfo<FirstNext>& info) {
                             return "Rows" + std::to_string(info.param.rows[0]) + "And" +
                                    std::to_string(info.param.rows[1]);
                         });

struct FullSetup : Setup {
    FullSetup() : Setup(21) {}
};

TEST_F(FullSetup, TheTwentyFirstFileIsIgnored) {
    for (int row = 0; row < 21; ++row) Choose(row);
    EXPECT_EQ(form->lb1->Items().Count(), 20);
    EXPECT_EQ(PlaylistCount, 21);
    form->okClick(nullptr);
    EXPECT_EQ(PlaylistCount, 20);
}

TEST_F(Setup, AFileInTheDriveRootGetsTwoBackslashes) {
    form->dl1->SetDirectory("C:\\");
    EXPECT_EQ(form->ld1->Caption(), "C:\\");
    Choose(0);
    EXPECT_EQ(Playlist[1], "C:\\\\root.avi");
}

TEST_F(Setup, ASecondSetupStoresFromSlotOneWhileTheListKeepsTheFirst) {
    Choose(0);
    form->okClick(nullptr);
    form->bsetupClick(nullptr);
    Choose(4);
    EXPECT_EQ(Playlist[1], Clip(4));
    EXPECT_EQ(form->lb1->Items().ToStringList(), (QStringList{Clip(0), Clip(4)}));
}

TEST_F(Setup, CancelEmptiesThePlaylistAndTheList) {
    Choose(0);
    form->CancelClick(nullptr);
    EXPECT_EQ(PlaylistCount, 0);
    EXPECT_EQ(form->lb1->Items().Count(), 0);
    EXPECT_FALSE(form->fl1->Visible());
    EXPECT_TRUE(form->bnext->Enabled());
    EXPECT_FALSE(form->bsave->Enabled());
    EXPECT_EQ(form->lload->Caption(), "not loaded");
}

TEST_F(Setup, CancelAlsoClosesTheHelpTextShownOverSetup) {
    form->bhelpClick(nullptr);
    EXPECT_TRUE(form->Memo1->Visible());
    form->CancelClick(nullptr);
    EXPECT_FALSE(HelpShown);
    EXPECT_FALSE(form->Memo1->Visible());
    EXPECT_FALSE(form->Cancel->Visible());
}

struct SaveAndLoad : Setup {
    void AcceptTwoAndPlay() {
        Choose(0);
        Choose(1);
        form->okClick(nullptr);
        form->bnextClick(nullptr);
    }
};

TEST_F(SaveAndLoad, SaveWritesNativePathsAndLoadBringsThemBack) {
    AcceptTwoAndPlay();
    ASSERT_TRUE(form->bsave->Enabled());
    form->bsaveClick(nullptr);
    EXPECT_EQ(form->lsave->Caption(), "saved");
    QFile saved(TPlaylistFile::DefaultPath());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "#EXTM3U\n" + drives.Native("c/clips/clip10.wav") + "\n" +
                                   drives.Native("c/clips/clip11.wav") + "\n");

    form->bsetupClick(nullptr);
    form->CancelClick(nullptr);
    ASSERT_EQ(PlaylistCount, 0);
    form->bloadClick(nullptr);
    EXPECT_EQ(PlaylistCount, 2);
    EXPECT_EQ(PlaylistIndex, 0);
    EXPECT_EQ(Playlist[2], Clip(1));
    EXPECT_EQ(form->lb1->Items().ToStringList(), (QStringList{Clip(0), Clip(1)}));
    EXPECT_EQ(form->lload->Caption(), "loaded");
}

TEST_F(SaveAndLoad, AnEmptyPlaylistIsNotSavedOverTheSavedOne) {
    AcceptTwoAndPlay();
    form->bsaveClick(nullptr);
    form->CancelClick(nullptr);
    EXPECT_THROW(form->bsaveClick(nullptr), Exception);
    TPlaylistFile file;
    QString warning;
    EXPECT_EQ(file.Load(&warning).size(), 2);
}

TEST_F(SaveAndLoad, LoadWithoutASavedPlaylistSaysSoAndChangesNothing) {
    Choose(0);
    EXPECT_THROW(form->bloadClick(nullptr), Exception);
    EXPECT_EQ(form->lb1->Items().Count(), 1);
    EXPECT_EQ(PlaylistCount, 2);
}

}  // namespace
