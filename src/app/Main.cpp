#include "app/Main.h"

#include <QFile>
#include <QTimer>

#include "app/AfterReveal.h"
#include "app/Just1_32.h"
#include "app/PlayerState.h"
#include "app/PlaylistFile.h"
#include "app/SkinArt.h"
#include "art/Layout.h"
#include "filectl/FileCtrl.h"
#include "media/MPlayer.h"
#include "media/Volumes.h"
#include "media/WavePlay.h"
#include "platform/MediaWarmUp.h"
#include "platform/files/FileSystem.h"
#include "skin/Label3D.h"
#include "skin/TransBtn.h"
#include "skin/Transit.h"
#include "toolkit/Application.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Image.h"
#include "toolkit/ListBox.h"
#include "toolkit/Memo.h"
#include "toolkit/Panel.h"
#include "toolkit/TrackBar.h"

TForm1* Form1 = nullptr;

namespace {

QStringList HelpLines() {
    QFile file(QStringLiteral(":/help/help.txt"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    return text.split(QLatin1Char('\n'));
}

TFont CaptionFont() {
    TFont font;
    font.Name = QStringLiteral("Arial");
    font.Height = -9;
    font.Color = clMaroon;
    return font;
}

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
    Form1 = this;
    SetName(QStringLiteral("Form1"));
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    SetBounds(234, 76, 657, 495);
    SetColor(clGray);
    SetCaption(QStringLiteral("Brelmo Vers. 1.1a"));
    TFont font;
    font.Name = QStringLiteral("MS Sans Serif");
    font.Height = -11;
    font.Color = clWindowText;
    SetFont(font);
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnActivate = [this](TObject* sender) { FormActivate(sender); };

    CreateSkin();
    CreateButtons();
    CreateLabels();
    CreateSliderAndFilePickers();
    CreatePlaybackControls();
    CreateHelpAndSound();
    ChainTabOrder();
    JustOne321 = new TJustOne32(this);
    JustOne321->SetName(QStringLiteral("JustOne321"));
    DoCreate();
    AfterReveal(*image1, this, [this] {
        VolumeControl1->SearchDevices();
        platform::PrepareGStreamerInBackground();
    });
}

TForm1::~TForm1() {
    if (Form1 == this) Form1 = nullptr;
}

template <class T>
T* TForm1::Place(const char* name, const TRect& bounds) {
    T* control = new T(this);
    control->SetName(QString::fromLatin1(name));
    control->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    return control;
}

TTransparentButton* TForm1::PlaceButton(const char* name, const TRect& bounds, const char* hint,
                                        void (TForm1::*handler)(TObject*)) {
    auto* button = Place<TTransparentButton>(name, bounds);
    button->SetFrameStyle(fsNone);
    button->SetBorderWidth(0);
    button->SetHint(QString::fromLatin1(hint));
    button->SetShowHint(true);
    if (handler) button->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
    return button;
}

TLabel3D* TForm1::PlaceLabel(const char* name, const TRect& bounds, const char* caption) {
    auto* label = Place<TLabel3D>(name, bounds);
    label->SetAutoSize(false);
    label->SetTransparent(true);
    label->SetAlignment(taCenter);
    label->SetCaption(QString::fromLatin1(caption));
    label->Hide();
    return label;
}

void TForm1::CreateSkin() {
    image1 = Place<TTransitionEffect>("image1", layout::kImage1);
    const TBitmap skin = SkinPicture(devicePixelRatioF());
    image1->SetBGBitmap(skin);
    image1->SetBGColor(clBlack);
    image1->SetBGType(btColor);
    image1->SetAutosize(asFitBoth);
    image1->SetAutoSwap(true);
    image1->SetBitmap(skin);
    image1->SetInterval(10);
    image1->SetLoop(false);
    image1->SetPlaySound(false);
    image1->SetSteps(5);
    image1->SetSwap(true);
    image1->SetTransition(StretchFromBottomRight);
    image1->OnNotify = [this](TObject* sender) { image1Notify(sender); };
}

void TForm1::CreateButtons() {
    using namespace layout;
    bexit = PlaceButton("bexit", kBexit, "Exit the Brelmo", &TForm1::bexitClick);
    bstop = PlaceButton("bstop", kBstop, "Stop/continue", &TForm1::bstopClick);
    bprev = PlaceButton("bprev", kBprev, "Play the previous file in the list", &TForm1::bprevClick);
    bnext = PlaceButton("bnext", kBnext, "Play the next file in the list", &TForm1::bnextClick);
    breplay = PlaceButton("breplay", kBreplay, "Re-play the current file", &TForm1::breplayClick);
    bsetup = PlaceButton("bsetup", kBsetup, "Setup control file", &TForm1::bsetupClick);
    ok = PlaceButton("ok", kOk, "Accept selections and exit.", &TForm1::okClick);
    ok->SetBorderWidth(1);
    ok->Hide();
    Cancel = PlaceButton("Cancel", kCancel, "Cancel all selections", &TForm1::CancelClick);
    Cancel->SetBorderWidth(1);
    Cancel->Hide();
    bsave = PlaceButton("bsave", kBsave, "Save control file", &TForm1::bsaveClick);
    bload = PlaceButton("bload", kBload, "Load control file", &TForm1::bloadClick);
    bhelp = PlaceButton("bhelp", kBhelp, "Help me", &TForm1::bhelpClick);
    remove = PlaceButton("remove", kRemove, "Remove from list box", &TForm1::removeClick);
    remove->Hide();
}

void TForm1::CreateLabels() {
    using namespace layout;
    lb2 = PlaceLabel("lb2", kLb2, "Filelist Box");
    lb3 = PlaceLabel("lb3", kLb3, "Files selected");
    ld1 = PlaceLabel("ld1", kLd1, "Filelist Box");
    ld1->SetAlignment(taLeftJustify);
    Label3D3 = PlaceLabel("Label3D3", kLabel3D3, "Drive");
    Image2 = Place<TImage>("Image2", kImage2);
    Image2->SetPicture(BlackPicture(devicePixelRatioF()));
    Image2->Hide();
    new TSkinResolution(this, image1, Image2, devicePixelRatioF());
    lsave = PlaceLabel("lsave", kLsave, "not saved");
    lload = PlaceLabel("lload", kLload, "not loaded");
    // Unlike the setup view's labels these keep AutoSize: each caption
    // sizes its label from the left edge the form data gives.
    for (TLabel3D* label : {lsave, lload}) {
        label->SetFont(CaptionFont());
        label->SetShowAccelChar(false);
        label->SetAutoSize(true);
        label->Show();
    }
}

void TForm1::CreateSliderAndFilePickers() {
    using namespace layout;
    TrackBar1 = Place<TTrackBar>("TrackBar1", kTrackBar1);
    TrackBar1->SetHint(QStringLiteral("Volume Control"));
    TrackBar1->SetShowHint(true);
    TrackBar1->SetOrientation(trVertical);
    TrackBar1->SetMax(255);
    TrackBar1->SetPosition(117);
    TrackBar1->SetFrequency(1);
    TrackBar1->SetTickMarks(tmBoth);
    TrackBar1->SetTickStyle(tsManual);

    fl1 = Place<TFileListBox>("fl1", kFl1);
    fl1->SetHint(QStringLiteral("Click to select"));
    fl1->SetShowHint(true);
    fl1->SetMask(QStringLiteral("*.wav;*.avi;"));
    fl1->SetItemHeight(13);
    fl1->OnClick = [this](TObject* sender) { fl1DblClick(sender); };
    fl1->Hide();

    dl1 = Place<TDirectoryListBox>("dl1", kDl1);
    dl1->SetFileList(fl1);
    dl1->SetItemHeight(16);
    const TNotifyEvent folderChanged = [this](TObject* sender) { ld1DblClick(sender); };
    dl1->OnChange = folderChanged;
    dl1->OnClick = folderChanged;
    dl1->OnDblClick = folderChanged;
    dl1->Hide();

    dc1 = Place<TDriveComboBox>("dc1", kDc1);
    dc1->SetDirList(dl1);
    dc1->Hide();

    fc1 = Place<TFilterComboBox>("fc1", kFc1);
    fc1->SetFileList(fl1);
    fc1->SetFilter(QStringLiteral("Multimedia fiiles|*.wav;*.avi;"));
    fc1->Hide();
}

void TForm1::CreatePlaybackControls() {
    using namespace layout;
    mp = Place<TMediaPlayer>("mp", kMp);
    mp->SetAutoRewind(false);
    mp->OnNotify = [this](TObject* sender) { mpNotify(sender); };
    mp->Hide();

    lb1 = Place<TListBox>("lb1", kLb1);
    lb1->SetItemHeight(13);
    lb1->OnDblClick = [this](TObject* sender) { removeClick(sender); };
    lb1->Hide();

    panel1 = Place<TPanel>("panel1", kPanel1);
    panel1->SetHint(QStringLiteral("Click to make me invisible"));
    panel1->SetShowHint(true);
    panel1->SetCaption(QStringLiteral("panel1"));
    panel1->SetColor(clBlack);
    panel1->OnClick = [this](TObject* sender) { panel1Click(sender); };
    panel1->Hide();
    mp->SetDisplay(panel1);
}

void TForm1::CreateHelpAndSound() {
    Memo1 = Place<TMemo>("Memo1", layout::kMemo1);
    Memo1->SetLines(HelpLines());
    Memo1->SetCentredLines(0, 2);
    Memo1->OnClick = [this](TObject* sender) { Memo1Click(sender); };
    Memo1->Hide();

    // The mixer (and the sound server's plugin behind it) opens once the skin
    // is on screen; the slider shows its start position until then.
    VolumeControl1 = new TVolumeControl(this, TVolumeControl::dsOnRequest);
    VolumeControl1->SetName(QStringLiteral("VolumeControl1"));
    VolumeControl1->SetInterval(20);
    VolumeControl1->SetWaveTrackBar(TrackBar1);

    amp = new TPlayerWave(this);
    amp->SetName(QStringLiteral("amp"));
    amp->SetWaveName(QStringLiteral("c:\\windows\\dclick.wav"));
    amp->SetLoop(false);
    amp->SetAsync(false);
}

void TForm1::ChainTabOrder() {
    const std::initializer_list<TWinControl*> order = {TrackBar1, fl1, dl1,    dc1,  fc1,
                                                       mp,        lb1, panel1, Memo1};
    int index = 0;
    QWidget* previous = nullptr;
    for (TWinControl* control : order) {
        control->SetTabOrder(index++);
        if (previous) QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

// --- Window events, exit and help ---

void TForm1::FormCreate(TObject*) {
    SetWidth(layout::kWindowWidth);
    SetHeight(layout::kWindowHeight);
}

void TForm1::FormActivate(TObject*) {
    PlaylistCount = 1;
    ld1->SetCaption(dl1->Directory());
    IsPlaying = false;
    SetWidth(layout::kWindowWidth);
    SetHeight(layout::kWindowHeight);
    HelpShown = false;
    image1->Execute();
    if (!savedPlaylistChecked_) {
        savedPlaylistChecked_ = true;
        // After the reveal has started: the saved playlist, as the help text promises.
        QTimer::singleShot(0, this, [this] { Guarded([this] { LoadSavedPlaylist(true); }); });
    }
}

void TForm1::image1Notify(TObject*) {
    image1->SendToBack();
    image1->SetBGType(btBitmap);
}

void TForm1::bexitClick(TObject*) {
    amp->Play();
    Close();
}

void TForm1::bhelpClick(TObject*) {
    if (IsPlaying) mp->Stop();
    panel1->Hide();
    Image2->Hide();
    IsPlaying = false;
    mp->SetNotify(true);
    amp->Play();
    Memo1->Show();
    HelpShown = true;
    Cancel->Show();
}

void TForm1::Memo1Click(TObject*) {
    Memo1->Hide();
    Cancel->Hide();
}

void TForm1::ld1DblClick(TObject*) {
    ld1->SetCaption(dl1->Directory());
}

// --- Playback ---

void TForm1::bnextClick(TObject*) {
    StepThroughPlaylist(Step::Next);
}

void TForm1::bprevClick(TObject*) {
    StepThroughPlaylist(Step::Previous);
}

void TForm1::StepThroughPlaylist(Step step) {
    if (PlaylistCount < 1) return;
    Image2->Show();
    Image2->Repaint();
    amp->Play();
    if (IsPlaying) {
        mp->Stop();
        amp->Play();
        IsPlaying = false;
    }
    mp->SetNotify(step == Step::Previous);
    if (step == Step::Next) {
        ++PlaylistIndex;
        if (PlaylistIndex > PlaylistCount || PlaylistIndex <= 0) PlaylistIndex = 1;
    } else {
        --PlaylistIndex;
        if (PlaylistIndex <= 0 || PlaylistIndex > PlaylistCount) PlaylistIndex = PlaylistCount;
    }
    mp->SetFileName(Playlist[PlaylistIndex]);
    if (mp->FileName().isEmpty()) return;
    mp->Open();
    IsPlaying = true;
    mp->SetDisplayRect({0, 0, 0, 0});
    SizeAndCentrePanel(step == Step::Next ? layout::kNextCentre : layout::kPrevCentre);
    EnablePlayerButtons();
    TrackBar1->Show();
    mp->Play();
    panel1->Show();
}

void TForm1::SizeAndCentrePanel(TPoint centre) {
    // The device reports origin plus extent: Right and Bottom are the size.
    panel1->SetHeight(mp->DisplayRect().Bottom);
    panel1->SetWidth(mp->DisplayRect().Right);
    panel1->SetLeft(centre.X - panel1->Width() / 2);
    panel1->SetTop(centre.Y - panel1->Height() / 2);
}

void TForm1::EnablePlayerButtons() {
    for (TTransparentButton* button :
         {bnext, bprev, bstop, breplay, bsave, bload, bsetup, bexit, bhelp})
        button->SetEnabled(true);
}

void TForm1::bstopClick(TObject*) {
    if (mp->FileName().isEmpty()) {
        amp->Play();
        return;
    }
    mp->SetNotify(false);
    if (IsPlaying) {
        mp->Stop();
        amp->Play();
        IsPlaying = false;
    } else {
        amp->Play();
        mp->Play();
        mp->SetNotify(true);
        IsPlaying = true;
        panel1->Show();
    }
}

void TForm1::breplayClick(TObject*) {
    if (mp->FileName().isEmpty()) {
        amp->Play();
        return;
    }
    if (IsPlaying) mp->Close();
    amp->Play();
    mp->Open();
    mp->Play();
    IsPlaying = true;
}

void TForm1::panel1Click(TObject*) {
    panel1->Hide();
    mp->Close();
    IsPlaying = false;
    amp->Play();
}

void TForm1::mpNotify(TObject* Sender) {
    if (mp->Notify()) bnextClick(Sender);
}

// --- Setup ---

void TForm1::ShowSetupControls(bool visible) {
    for (TControl* control : std::initializer_list<TControl*>{dl1, fl1, dc1, fc1, lb2, lb3, lb1, ok,
                                                              ld1, remove, Cancel})
        control->SetVisible(visible);
}

void TForm1::bsetupClick(TObject*) {
    if (IsPlaying) mp->Stop();
    amp->Play();
    Image2->Hide();
    IsPlaying = false;
    ShowSetupControls(true);
    panel1->Hide();
    for (TTransparentButton* button :
         {bnext, bprev, bstop, breplay, bsave, bload, bsetup, bexit, bhelp})
        button->SetEnabled(false);
    PlaylistCount = 1;
}

void TForm1::fl1DblClick(TObject*) {
    const int row = fl1->ItemIndex();
    PlaylistIndex = row;
    if (PlaylistCount < 1 || PlaylistCount > TPlaylist::kSlots || row == -1) return;
    const QString path = ld1->Caption() + QLatin1Char('\\') + fl1->Items()[row];
    lb1->Items().Add(path);
    Playlist.Set(PlaylistCount, path);
    ++PlaylistCount;
}

void TForm1::removeClick(TObject*) {
    const int row = lb1->ItemIndex();
    PlaylistIndex = row;
    if (row != -1) lb1->Items().Delete(row);
    --PlaylistCount;
}

void TForm1::okClick(TObject*) {
    if (IsPlaying) mp->Stop();
    amp->Play();
    for (TControl* control :
         std::initializer_list<TControl*>{dl1, fl1, dc1, fc1, lb1, lb2, lb3, ok})
        control->Hide();
    --PlaylistCount;
    remove->Hide();
    Cancel->Hide();
    bnext->SetEnabled(true);
    bprev->SetEnabled(true);
    bstop->SetEnabled(true);
    ld1->Hide();
    breplay->SetEnabled(true);
    TrackBar1->Show();
    bsetup->SetEnabled(true);
    bexit->SetEnabled(true);
    bhelp->SetEnabled(true);
    lsave->SetCaption(QStringLiteral("Not saved"));
}

void TForm1::CancelClick(TObject*) {
    amp->Play();
    if (HelpShown) {
        HelpShown = false;
        Memo1->Hide();
        Cancel->Hide();
    }
    ShowSetupControls(false);
    lb1->Items().Clear();
    TrackBar1->Show();
    for (TTransparentButton* button : {bnext, bprev, bstop, breplay, bsetup, bexit, bhelp})
        button->SetEnabled(true);
    lsave->SetCaption(QStringLiteral("not saved"));
    lload->SetCaption(QStringLiteral("not loaded"));
    PlaylistCount = 0;
}

// --- Save and Load ---

void TForm1::bsaveClick(TObject*) {
    amp->Play();
    QList<QByteArray> paths;
    for (int slot = 1; slot <= std::min(PlaylistCount, TPlaylist::kSlots); ++slot)
        if (!Playlist[slot].isEmpty())
            paths.append(platform::FileSystem().NativePath(Playlist[slot]));
    if (paths.isEmpty())
        throw Exception(QStringLiteral("There is nothing to save: the playlist is empty."));
    TPlaylistFile().Save(paths);
    lsave->SetCaption(QStringLiteral("saved"));
}

void TForm1::bloadClick(TObject*) {
    amp->Play();
    LoadSavedPlaylist(false);
}

void TForm1::LoadSavedPlaylist(bool quietWhenMissing) {
    const TPlaylistFile file;
    if (quietWhenMissing && !file.Exists()) return;
    QString warning;
    const QList<QByteArray> paths = file.Load(&warning);
    lb1->Items().Clear();
    int slot = 0;
    for (const QByteArray& native : paths) {
        const QString path = platform::FileSystem().DrivePath(native);
        if (path.isEmpty()) continue;  // no drive holds it: never an empty slot
        Playlist.Set(++slot, path);
        lb1->Items().Add(path);
    }
    PlaylistCount = slot;
    PlaylistIndex = 0;
    lload->SetCaption(QStringLiteral("loaded"));
    if (!warning.isEmpty()) Application->ShowException(warning);
}
