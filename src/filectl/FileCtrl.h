#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>

#include "platform/files/FileSystem.h"

#include "toolkit/Bitmap.h"
#include "toolkit/ComboBox.h"
#include "toolkit/ListBox.h"

class TLabel;
class TEdit;
class TDirectoryListBox;
class TFileListBox;
class TFilterComboBox;

// The linked drive, folder, file and filter pickers. Each change is pushed
// to the control linked after it: drive combo -> directory list -> file
// list, and filter combo -> file list's mask. Every navigation changes the
// process's current directory and reads it back, so after any navigation the
// current directory is the folder shown. A change the system refuses raises
// EInOutError; what had already changed stays changed.

enum TTextCase { tcLowerCase = 0, tcUpperCase = 1 };

enum TFileAttr { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };

// A set of TFileAttr.
class TFileType {
  public:
    constexpr TFileType(std::initializer_list<TFileAttr> attrs) {
        for (TFileAttr attr : attrs) bits_ |= 1u << attr;
    }
    constexpr bool Contains(TFileAttr attr) const { return bits_ & (1u << attr); }
    friend constexpr bool operator==(TFileType, TFileType) = default;

  private:
    unsigned bits_ = 0;
};

// What a row of the directory list stands for: a folder on the way down
// from the root, the current folder, or one of its subfolders.
enum TFolderKind { fkOpen = 0, fkCurrent = 1, fkClosed = 2 };

// A folder glyph: 16 x 16 until its picture is loaded.
class TFolderBitmap : public TBitmap {
  public:
    TFolderBitmap() { SetSize(16, 16); }
};

// The machine's drives, one item per drive with its glyph; picking one moves
// the linked directory list to that drive's current folder.
class TDriveComboBox : public TCustomComboBox {
    Q_OBJECT

  public:
    explicit TDriveComboBox(TComponent* AOwner);
    ~TDriveComboBox() override;

    QChar Drive() const { return drive_; }
    void SetDrive(QChar letter);
    TDirectoryListBox* DirList() const { return dirList_; }
    void SetDirList(TDirectoryListBox* dirList);
    TTextCase TextCase() const { return textCase_; }
    void SetTextCase(TTextCase textCase);

    // Refills the items from the drive table.
    void FillDrives();
    // Refills the items after something was mounted or unmounted (the
    // control watches for it once its window exists). The current drive
    // stays where it still exists; otherwise the combo and its lists go to
    // the system drive.
    void DrivesChanged();

    TNotifyEvent OnChange;

  protected:
    void CreateWnd() override;
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    void Click() override;
    void FontChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    void ResetItemHeight();
    // The item of a drive letter, or -1.
    int IndexOfDrive(QChar letter) const;

    QChar drive_;
    TDirectoryListBox* dirList_ = nullptr;
    TTextCase textCase_ = tcLowerCase;
    TBitmap floppyGlyph_, hardGlyph_, networkGlyph_, cdromGlyph_, ramGlyph_;
    std::unique_ptr<platform::DriveWatch> driveWatch_;
};

// The chain of folders from the drive root down to Directory, then
// Directory's subfolders. A single click only selects; a double click or
// Enter opens the selected folder.
class TDirectoryListBox : public TCustomListBox {
    Q_OBJECT

  public:
    explicit TDirectoryListBox(TComponent* AOwner);
    ~TDirectoryListBox() override;

    const QString& Directory() const { return directory_; }
    void SetDirectory(const QString& path);
    QChar Drive() const { return directory_.isEmpty() ? QChar() : directory_[0]; }
    void SetDrive(QChar letter);
    TFileListBox* FileList() const { return fileList_; }
    void SetFileList(TFileListBox* fileList);
    TLabel* DirLabel() const { return dirLabel_; }
    void SetDirLabel(TLabel* label);
    TDriveComboBox* DriveCombo() const { return driveCombo_; }

    // The folder an item stands for; empty for an index outside the list.
    QString FolderItemPath(int index) const;
    void OpenSelectedFolder();
    // Rebuilds the items: the chain down to Directory, then its subfolders.
    void FillFolders();

    bool PreserveCase() const { return preserveCase_; }
    bool CaseSensitive() const { return caseSensitive_; }

    TNotifyEvent OnChange;

  protected:
    void CreateWnd() override;
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    void DblClick() override;
    void KeyPress(QChar& key) override;
    void FontChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    friend class TDriveComboBox;

    void Change();
    void ResetItemHeight();
    void UpdateDirLabel();
    QStringList SubfolderNames() const;
    // Adds a row of that kind with the kind's glyph; returns its index.
    int AddFolder(const QString& text, TFolderKind kind);
    TFolderKind FolderKind(int index) const;

    QString directory_;
    TFileListBox* fileList_ = nullptr;
    TLabel* dirLabel_ = nullptr;
    TDriveComboBox* driveCombo_ = nullptr;
    bool inSetDir_ = false;
    bool preserveCase_ = false;
    bool caseSensitive_ = false;
    int currentItem_ = 0;
    TFolderBitmap openGlyph_, currentGlyph_, closedGlyph_;
};

// The entries of Directory that match Mask (pieces split at ";") and
// FileType, sorted. Names are read only while the window exists.
class TFileListBox : public TCustomListBox {
    Q_OBJECT

  public:
    explicit TFileListBox(TComponent* AOwner);
    ~TFileListBox() override;

    const QString& Directory() const { return directory_; }
    void SetDirectory(const QString& path);
    const QString& Mask() const { return mask_; }
    void SetMask(const QString& mask);
    TFileType FileType() const { return fileType_; }
    void SetFileType(TFileType fileType);
    bool ShowGlyphs() const { return showGlyphs_; }
    void SetShowGlyphs(bool showGlyphs);
    // Directory joined with the selected name; empty when nothing is selected.
    QString FileName() const;
    void SetFileName(const QString& text);
    TEdit* FileEdit() const { return fileEdit_; }
    void SetFileEdit(TEdit* edit);
    TDirectoryListBox* DirList() const { return dirList_; }
    TFilterComboBox* FilterCombo() const { return filterCombo_; }

    // Re-reads the names of Directory that match Mask and FileType; does
    // nothing until the window exists.
    void FillFiles();

    TNotifyEvent OnChange;

  protected:
    void CreateWnd() override;
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    void Click() override;
    void FontChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    friend class TDirectoryListBox;
    friend class TFilterComboBox;

    void Change();
    void ResetItemHeight();
    void UpdateFileEdit();
    void SelectName(const QString& name);
    void AddEntry(const QString& name, unsigned attr);

    QString directory_;
    QString mask_ = QStringLiteral("*.*");
    TFileType fileType_ = {ftNormal};
    bool showGlyphs_ = false;
    int lastSelection_ = -1;
    TEdit* fileEdit_ = nullptr;
    TDirectoryListBox* dirList_ = nullptr;
    TFilterComboBox* filterCombo_ = nullptr;
    TBitmap executableGlyph_, closedGlyph_, unknownGlyph_;
};

// Named masks from Filter ("name|mask|name|mask"); the picked mask goes to
// the linked file list.
class TFilterComboBox : public TCustomComboBox {
    Q_OBJECT

  public:
    explicit TFilterComboBox(TComponent* AOwner);
    ~TFilterComboBox() override;

    const QString& Filter() const { return filter_; }
    void SetFilter(const QString& filter);
    TFileListBox* FileList() const { return fileList_; }
    void SetFileList(TFileListBox* fileList);
    // The selected entry's mask ("*.*" when there are no entries).
    QString Mask();
    const QStringList& Masks() const { return masks_; }

    void FillFilters();

    TNotifyEvent OnChange;

  protected:
    void CreateWnd() override;
    void Click() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    friend class TFileListBox;

    void Change();

    QString filter_;
    QStringList masks_;
    TFileListBox* fileList_ = nullptr;
};
