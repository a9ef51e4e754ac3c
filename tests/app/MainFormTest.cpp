#include <gtest/gtest.h>

#include <memory>

#include "app/Main.h"
#include "app/PlayerState.h"
#include "filectl/FileCtrl.h"
#include "media/MPlayer.h"
#include "media/Volumes.h"
#include "media/WavePlay.h"
#include "skin/Label3D.h"
#include "skin/TransBtn.h"
#include "skin/Transit.h"
#include "support/MainFormFixture.h"
#include "toolkit/Image.h"
#include "toolkit/ListBox.h"
#include "toolkit/Memo.h"
#include "toolkit/Panel.h"
#include "toolkit/TrackBar.h"

namespace {

struct FormRow {
    const char* name;
    TRect bounds;  // left, top, width, height as the form data gives them
    const char* hint;
    bool shownAtStart;
    bool sizedByCaption = false;  // AutoSize: the size is the caption's, not the stored one
};

// The form data, written out again here so that a slip in the layout
// constants shows.
const FormRow kRows[] = {
    {"image1", {0, 1, 640, 480}, "", true},
    {"bexit", {349, 369, 40, 36}, "Exit the Brelmo", true},
    {"bstop", {517, 124, 41, 27}, "Stop/continue", true},
    {"bprev", {515, 162, 42, 28}, "Play the previous file in the list", true},
    {"bnext", {567, 125, 43, 28}, "Play the next file in the list", true},
    {"breplay", {566, 162, 42, 28}, "Re-play the current file", true},
    {"bsetup", {565, 243, 41, 29}, "Setup control file", true},
    {"ok", {265, 367, 66, 41}, "Accept selections and exit.", false},
    {"Cancel", {193, 366, 64, 40}, "Cancel all selections", false},
    {"bsave", {515, 202, 43, 26}, "Save control file", true},
    {"bload", {565, 202, 42, 26}, "Load control file", true},
    {"bhelp", {515, 244, 41, 28}, "Help me", true},
    {"remove", {51, 363, 64, 42}, "Remove from list box", false},
    {"lb2", {168, 40, 142, 13}, "", false},
    {"lb3", {314, 40, 292, 13}, "", false},
    {"ld1", {13, 40, 147, 13}, "", false},
    {"Label3D3", {20, 172, 136, 13}, "", false},
    {"Image2", {98, 54, 324, 243}, "", false},
    {"lsave", {515, 230, 42, 12}, "", true, true},
    {"lload", {564, 230, 43, 12}, "", true, true},
    {"TrackBar1", {568, 391, 45, 86}, "Volume Control", true},
    {"fl1", {166, 56, 143, 112}, "Click to select", false},
    {"dl1", {13, 58, 139, 111}, "", false},
    {"dc1", {15, 170, 135, 19}, "", false},
    {"fc1", {167, 170, 142, 21}, "", false},
    {"mp", {24, 205, 29, 30}, "", false},
    {"lb1", {325, 58, 238, 267}, "", false},
    {"panel1", {3, 3, 11, 12}, "Click to make me invisible", false},
    {"Memo1", {96, 54, 326, 243}, "", false},
};

using MainForm = MainFormFixture;

TEST_F(MainForm, ControlsStandWhereTheFormDataPutsThem) {
    for (const FormRow& row : kRows) {
        SCOPED_TRACE(row.name);
        auto* control = dynamic_cast<TControl*>(form->FindComponent(row.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->Left(), row.bounds.Left);
        EXPECT_EQ(control->Top(), row.bounds.Top);
        if (!row.sizedByCaption) {
            EXPECT_EQ(control->Width(), row.bounds.Right);
            EXPECT_EQ(control->Height(), row.bounds.Bottom);
        }
        EXPECT_EQ(control->Hint(), QString::fromLatin1(row.hint));
        EXPECT_EQ(control->Visible(), row.shownAtStart);
        if (*row.hint) {
            EXPECT_TRUE(control->ShowHint());
            EXPECT_FALSE(control->ParentShowHint());
        }
    }
}

TEST_F(MainForm, SaveAndLoadLabelsSizeThemselvesToTheirCaptions) {
    for (TLabel3D* label : {form->lsave, form->lload}) {
        SCOPED_TRACE(label->Name().toStdString());
        const int left = label->Left();
        const int width = label->Width();
        label->SetCaption(label->Caption() + " and more");
        EXPECT_GT(label->Width(), width);
        EXPECT_EQ(label->Left(), left);
    }
}

TEST_F(MainForm, ComponentsAreCreatedInFormDataOrderWithTheGuardLast) {
    QStringList names;
    for (int i = 0; i < form->ComponentCount(); ++i) names << form->Components(i)->Name();
    QStringList expected;
    for (const FormRow& row : kRows) expected << row.name;
    expected << "VolumeControl1"
             << "amp"
             << "JustOne321";
    EXPECT_EQ(names, expected);
}

TEST_F(MainForm, Form1NamesTheWindowOnlyWhileItLives) {
    EXPECT_EQ(Form1, form.get());
    form.reset();
    EXPECT_EQ(Form1, nullptr);
}

TEST_F(MainForm, WindowIsABorderless640By480GreyWindow) {
    EXPECT_EQ(form->Width(), 640);
    EXPECT_EQ(form->Height(), 480);
    EXPECT_EQ(form->BorderStyle(), bsNone);
    EXPECT_EQ(form->Color(), clGray);
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(MainForm, ButtonsAreBorderlessHotSpots) {
    for (TTransparentButton* b :
         {form->bexit, form->bstop, form->bprev, form->bnext, form->breplay, form->bsetup, form->ok,
          form->Cancel, form->bsave, form->bload, form->bhelp, form->remove}) {
        EXPECT_EQ(b->FrameStyle(), fsNone);
        EXPECT_TRUE(b->Transparent());
        const bool keepsDefault = b == form->ok || b == form->Cancel;
        EXPECT_EQ(b->BorderWidth(), keepsDefault ? 1 : 0) << b->Name().toStdString();
    }
}

TEST_F(MainForm, WindowedControlsLieAboveEveryWindowlessOne) {
    bool windowedSeen = false;
    for (QObject* child : form->children()) {
        auto* control = dynamic_cast<TControl*>(child);
        if (!control) continue;
        if (control->IsWindowed())
            windowedSeen = true;
        else
            EXPECT_FALSE(windowedSeen)
                << control->Name().toStdString() << " is above a windowed one";
    }
}

TEST_F(MainForm, TabOrderRunsThroughTheWindowedControls) {
    const std::vector<QWidget*> order = {form->TrackBar1, form->fl1,    form->dl1,
                                         form->dc1,       form->fc1,    form->mp,
                                         form->lb1,       form->panel1, form->Memo1};
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(static_cast<TWinControl*>(order[i])->TabOrder(), static_cast<int>(i));
}

TEST_F(MainForm, SettingsOfTheSkinAndTheComponents) {
    EXPECT_EQ(form->image1->Transition(), StretchFromBottomRight);
    EXPECT_EQ(form->image1->Steps(), 5);
    EXPECT_EQ(form->image1->Interval(), 10);
    EXPECT_EQ(form->image1->Autosize(), asFitBoth);
    EXPECT_TRUE(form->image1->AutoSwap());
    EXPECT_TRUE(form->image1->Swap());
    EXPECT_EQ(form->image1->Bitmap().Width(), 640);
    EXPECT_EQ(form->Image2->Picture().Width(), 400);
    EXPECT_EQ(form->amp->WaveName(), "c:\\windows\\dclick.wav");
    EXPECT_FALSE(form->amp->Async());
    EXPECT_FALSE(form->mp->AutoRewind());
    EXPECT_EQ(form->fl1->Mask(), "*.wav;*.avi;");
    EXPECT_EQ(form->fc1->Filter(), "Multimedia fiiles|*.wav;*.avi;");
    EXPECT_EQ(form->VolumeControl1->Interval(), 20);
    EXPECT_EQ(form->VolumeControl1->WaveTrackBar(), form->TrackBar1);
    EXPECT_EQ(form->TrackBar1->Orientation(), trVertical);
    EXPECT_EQ(form->TrackBar1->Max(), 255);
    EXPECT_EQ(form->lsave->Caption(), "not saved");
    EXPECT_EQ(form->lload->Caption(), "not loaded");
    EXPECT_EQ(form->lsave->Font().Color, clMaroon);
    EXPECT_EQ(form->Memo1->Lines().size(), 46);
    EXPECT_EQ(form->Memo1->Lines()[2], "NOTE:");
}

TEST_F(MainForm, ActivationResetsTheStateAndStartsTheReveal) {
    PlaylistCount = 7;
    IsPlaying = true;
    HelpShown = true;
    form->FormActivate(form.get());
    EXPECT_EQ(PlaylistCount, 1);
    EXPECT_FALSE(IsPlaying);
    EXPECT_FALSE(HelpShown);
    EXPECT_EQ(form->ld1->Caption(), form->dl1->Directory());
    EXPECT_TRUE(form->image1->Timer().Enabled());
}

TEST_F(MainForm, EndOfTheRevealPutsTheSkinBehindEverything) {
    form->image1Notify(form.get());
    EXPECT_EQ(form->image1->BGType(), btBitmap);
    for (QObject* child : form->children()) {
        if (auto* control = dynamic_cast<TControl*>(child)) {
            EXPECT_EQ(control, form->image1);
            break;
        }
    }
}

TEST_F(MainForm, HelpOpensOverAnythingAndAClickOnItClosesIt) {
    form->bhelpClick(form.get());
    EXPECT_TRUE(form->Memo1->Visible());
    EXPECT_TRUE(form->Cancel->Visible());
    EXPECT_TRUE(HelpShown);
    EXPECT_TRUE(form->mp->Notify());
    EXPECT_EQ(Clicks(), 1);
    form->Memo1Click(form.get());
    EXPECT_FALSE(form->Memo1->Visible());
    EXPECT_FALSE(form->Cancel->Visible());
    EXPECT_TRUE(HelpShown);
}

}  // namespace
