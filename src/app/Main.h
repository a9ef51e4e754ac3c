#pragma once

#include "toolkit/Form.h"
#include "toolkit/Types.h"

class TTransitionEffect;
class TTransparentButton;
class TLabel3D;
class TImage;
class TTrackBar;
class TFileListBox;
class TDirectoryListBox;
class TDriveComboBox;
class TFilterComboBox;
class TMediaPlayer;
class TListBox;
class TPanel;
class TMemo;
class TVolumeControl;
class TPlayerWave;
class TJustOne32;

// The player's only window: the skin with its hot spots and the controls of
// the playback, setup and help views. The view modes are not stored; each
// handler shows, hides, enables and disables what it needs, in a fixed order.
// The state the handlers share lives in the process-wide player state.
class TForm1 : public TForm {
    Q_OBJECT

  public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;

    // The controls, in the order in which the form creates them.
    TTransitionEffect* image1;
    TTransparentButton* bexit;
    TTransparentButton* bstop;
    TTransparentButton* bprev;
    TTransparentButton* bnext;
    TTransparentButton* breplay;
    TTransparentButton* bsetup;
    TTransparentButton* ok;
    TTransparentButton* Cancel;
    TTransparentButton* bsave;
    TTransparentButton* bload;
    TTransparentButton* bhelp;
    TTransparentButton* remove;
    TLabel3D* lb2;
    TLabel3D* lb3;
    TLabel3D* ld1;
    TLabel3D* Label3D3;
    TImage* Image2;
    TLabel3D* lsave;
    TLabel3D* lload;
    TTrackBar* TrackBar1;
    TFileListBox* fl1;
    TDirectoryListBox* dl1;
    TDriveComboBox* dc1;
    TFilterComboBox* fc1;
    TMediaPlayer* mp;
    TListBox* lb1;
    TPanel* panel1;
    TMemo* Memo1;
    TVolumeControl* VolumeControl1;
    TPlayerWave* amp;
    TJustOne32* JustOne321;

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void image1Notify(TObject* Sender);
    void bexitClick(TObject* Sender);
    void bhelpClick(TObject* Sender);
    void Memo1Click(TObject* Sender);
    void ld1DblClick(TObject* Sender);

    void bnextClick(TObject* Sender);
    void bprevClick(TObject* Sender);
    void bstopClick(TObject* Sender);
    void breplayClick(TObject* Sender);
    void panel1Click(TObject* Sender);
    void mpNotify(TObject* Sender);

    void bsetupClick(TObject* Sender);
    void fl1DblClick(TObject* Sender);
    void removeClick(TObject* Sender);
    void okClick(TObject* Sender);
    void CancelClick(TObject* Sender);
    void bsaveClick(TObject* Sender);
    void bloadClick(TObject* Sender);

  private:
    enum class Step { Next, Previous };

    template <class T>
    T* Place(const char* name, const TRect& bounds);
    TTransparentButton* PlaceButton(const char* name, const TRect& bounds, const char* hint,
                                    void (TForm1::*handler)(TObject*));
    TLabel3D* PlaceLabel(const char* name, const TRect& bounds, const char* caption);
    void CreateSkin();
    void CreateButtons();
    void CreateLabels();
    void CreateSliderAndFilePickers();
    void CreatePlaybackControls();
    void CreateHelpAndSound();
    void ChainTabOrder();

    void StepThroughPlaylist(Step step);
    void SizeAndCentrePanel(TPoint centre);
    void EnablePlayerButtons();
    void ShowSetupControls(bool visible);
    void LoadSavedPlaylist(bool quietWhenMissing);

    bool savedPlaylistChecked_ = false;
};

extern TForm1* Form1;
