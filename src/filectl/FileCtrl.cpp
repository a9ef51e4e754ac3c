#include "filectl/FileCtrl.h"

#include <QLoggingCategory>
#include <algorithm>

#include "filectl/FilePaths.h"
#include "platform/files/FileSystem.h"
#include "platform/files/NativeNames.h"
#include "toolkit/Edit.h"
#include "toolkit/Exceptions.h"
#include "toolkit/HourGlass.h"
#include "toolkit/Label.h"

Q_LOGGING_CATEGORY(lcFileCtrl, "brelmo.filectl", QtWarningMsg)

using platform::FileSystem;

namespace {

// Holds back the views of a list while it is rebuilt.
class UpdateScope {
  public:
    explicit UpdateScope(TListItems& items) : items_(items) { items_.BeginUpdate(); }
    ~UpdateScope() { items_.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

  private:
    TListItems& items_;
};

// Sets a flag for the life of the scope and clears it afterwards in every case.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

void LoadGlyph(TBitmap& glyph, const char* name) {
    if (!glyph.LoadFromFile(QStringLiteral(":/glyphs/%1.xpm").arg(QLatin1String(name))))
        qCWarning(lcFileCtrl) << "missing glyph" << name;
}

// Copies a glyph with its transparent colour (the bottom-left pixel) replaced
// by the canvas's brush colour.
void DrawGlyph(TCanvas& canvas, const TBitmap& glyph, int x, int y) {
    if (glyph.Empty()) return;
    QImage image = glyph.Image().convertToFormat(QImage::Format_RGB32);
    const QRgb transparent = image.pixel(0, image.height() - 1);
    const QRgb brush = ColorToQColor(canvas.Brush().Color).rgb();
    for (int row = 0; row < image.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        std::replace(line, line + image.width(), transparent, brush);
    }
    canvas.Draw(x, y, image);
}

int GlyphTop(const TRect& rect, const TBitmap& glyph) {
    return (rect.Top + rect.Bottom - glyph.Height()) / 2;
}

// Points 'link' at 'target' and keeps the back link in the linked control:
// the old target forgets 'self', the new one remembers it, and both hear
// when the other is destroyed.
template <class Self, class Target>
void Relink(Self* self, Target*& link, Target* target, Self* Target::*backLink) {
    if (link) link->*backLink = nullptr;
    link = target;
    if (!target) return;
    target->*backLink = self;
    target->FreeNotification(self);
}

template <class T>
void Forget(T*& link, TComponent* gone) {
    if (link && static_cast<TComponent*>(link) == gone) link = nullptr;
}

bool IsProgram(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return false;
    static const QStringList kExtensions = {QStringLiteral(".exe"), QStringLiteral(".com"),
                                            QStringLiteral(".bat"), QStringLiteral(".pif")};
    return kExtensions.contains(name.mid(dot).toLower());
}

bool EqualsIgnoringCase(QChar a, QChar b) {
    return a.toLower() == b.toLower();
}

}  // namespace

// ---------------------------------------------------------------------------
// Drive combo

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
    SetStyle(csOwnerDrawFixed);
    LoadGlyph(floppyGlyph_, "FLOPPY");
    LoadGlyph(hardGlyph_, "HARD");
    LoadGlyph(networkGlyph_, "NETWORK");
    LoadGlyph(cdromGlyph_, "CDROM");
    LoadGlyph(ramGlyph_, "RAM");
    const QString current = GetCurrentDir();
    drive_ = current.isEmpty() ? QLatin1Char('c') : current[0];
    ResetItemHeight();
}

TDriveComboBox::~TDriveComboBox() = default;

void TDriveComboBox::FillDrives() {
    Items().Clear();
    platform::IFileSystem& fileSystem = FileSystem();
    const unsigned drives = fileSystem.GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (!(drives & (1u << bit))) continue;
        QChar letter(char16_t(u'a' + bit));
        const unsigned type = fileSystem.GetDriveType(QString(letter) + QStringLiteral(":\\"));
        if (textCase_ == tcUpperCase) letter = letter.toUpper();
        const QString name = QString(letter) + QLatin1Char(':');
        switch (type) {
            case platform::DRIVE_REMOVABLE:
                Items().AddObject(name, &floppyGlyph_);
                break;
            case platform::DRIVE_FIXED:
                Items().AddObject(name + QLatin1Char(' ') + VolumeText(letter), &hardGlyph_);
                break;
            case platform::DRIVE_REMOTE:
                Items().AddObject(name + QLatin1Char(' ') + RemoteText(letter), &networkGlyph_);
                break;
            case platform::DRIVE_CDROM:
                Items().AddObject(name + QLatin1Char(' ') + VolumeText(letter), &cdromGlyph_);
                break;
            case platform::DRIVE_RAMDISK:
                Items().AddObject(name + QLatin1Char(' ') + VolumeText(letter), &ramGlyph_);
                break;
            default:
                break;
        }
    }
    qCDebug(lcFileCtrl) << "drives" << Items().ToStringList();
}

void TDriveComboBox::DrivesChanged() {
    FillDrives();
    const int index = IndexOfDrive(drive_);
    if (index >= 0)
        SetItemIndex(index);
    else
        SetDrive(QLatin1Char('c'));
}

int TDriveComboBox::IndexOfDrive(QChar letter) const {
    for (int i = 0; i < Items().Count(); ++i) {
        const QString& item = Items()[i];
        if (item.size() >= 2 && EqualsIgnoringCase(item[0], letter) && item[1] == QLatin1Char(':'))
            return i;
    }
    return -1;
}

void TDriveComboBox::SetDrive(QChar letter) {
    if (ItemIndex() >= 0 && EqualsIgnoringCase(letter, drive_)) return;
    drive_ = textCase_ == tcUpperCase ? letter.toUpper() : letter.toLower();
    const int index = IndexOfDrive(drive_);
    if (index >= 0) SetItemIndex(index);
    if (dirList_) dirList_->SetDrive(drive_);
    if (OnChange) OnChange(this);
}

void TDriveComboBox::SetDirList(TDirectoryListBox* dirList) {
    Relink(this, dirList_, dirList, &TDirectoryListBox::driveCombo_);
}

void TDriveComboBox::SetTextCase(TTextCase textCase) {
    if (textCase == textCase_) return;
    textCase_ = textCase;
    const QChar oldDrive = drive_;
    FillDrives();
    SetDrive(oldDrive);
}

void TDriveComboBox::CreateWnd() {
    FillDrives();
    SetDrive(drive_);
    if (!driveWatch_) driveWatch_ = FileSystem().WatchDrives([this] { DrivesChanged(); });
}

void TDriveComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState) {
    TCanvas& canvas = Canvas();
    canvas.FillRect(rect);
    int glyphWidth = 16;
    if (const auto* glyph = dynamic_cast<const TBitmap*>(Items().Objects(index))) {
        glyphWidth = glyph->Width();
        DrawGlyph(canvas, *glyph, rect.Left + 2, GlyphTop(rect, *glyph));
    }
    TRect textRect = rect;
    textRect.Left = rect.Left + glyphWidth + 6;
    canvas.DrawText(platform::DisplayName(Items()[index]), textRect,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TDriveComboBox::Click() {
    TCustomComboBox::Click();
    if (ItemIndex() >= 0 && !Text().isEmpty()) SetDrive(Text()[0]);
}

void TDriveComboBox::FontChanged() {
    TCustomComboBox::FontChanged();
    ResetItemHeight();
    RecreateWnd();
}

void TDriveComboBox::ResetItemHeight() {
    SetItemHeight(std::max(FontItemHeight(Font()), floppyGlyph_.Height()));
}

void TDriveComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove) Forget(dirList_, AComponent);
}

// ---------------------------------------------------------------------------
// Directory list

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
    SetWidth(145);
    SetStyle(lbOwnerDrawFixed);
    SetSorted(false);
    LoadGlyph(openGlyph_, "OPENFOLDER");
    LoadGlyph(currentGlyph_, "CURRENTFOLDER");
    LoadGlyph(closedGlyph_, "CLOSEDFOLDER");
    directory_ = GetCurrentDir();
    ResetItemHeight();
}

TDirectoryListBox::~TDirectoryListBox() = default;

void TDirectoryListBox::SetDirectory(const QString& path) {
    if (path.isEmpty()) return;
    const Qt::CaseSensitivity sensitivity =
        caseSensitive_ ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (path.compare(directory_, sensitivity) == 0) return;
    const TPathParts parts = SplitEntry(path);
    if (!EqualsIgnoringCase(parts.Drive, Drive())) {
        const FlagScope inChange(inSetDir_);
        if (driveCombo_)
            driveCombo_->SetDrive(parts.Drive);
        else
            SetDrive(parts.Drive);
    }
    FileSystem().SetCurrentDirectory(directory_);  // a failure here is passed over
    ChDir(parts.DirPart);
    directory_ = GetCurrentDir();
    FillFolders();
    Change();
}

void TDirectoryListBox::SetDrive(QChar letter) {
    if (EqualsIgnoringCase(letter, Drive())) return;
    ChDir(QString(letter) + QLatin1Char(':'));
    directory_ = GetCurrentDir();
    if (inSetDir_) return;
    FillFolders();
    Change();
}

void TDirectoryListBox::SetFileList(TFileListBox* fileList) {
    Relink(this, fileList_, fileList, &TFileListBox::dirList_);
}

void TDirectoryListBox::SetDirLabel(TLabel* label) {
    dirLabel_ = label;
    if (label) label->FreeNotification(this);
    UpdateDirLabel();
}

QString TDirectoryListBox::FolderItemPath(int index) const {
    if (index < 0 || index >= Items().Count()) return {};
    if (index == 0) return QString(Drive()) + QStringLiteral(":\\");
    if (FolderKind(index) == fkClosed) return JoinPath(directory_, Items()[index]);
    if (FolderKind(index) == fkCurrent) return directory_;
    int separators = 0;
    for (qsizetype i = 0; i < directory_.size(); ++i) {
        if (directory_[i] == QLatin1Char('\\') && ++separators == index + 1)
            return directory_.left(i);
    }
    return directory_;
}

void TDirectoryListBox::OpenSelectedFolder() {
    SetDirectory(FolderItemPath(ItemIndex()));
}

QStringList TDirectoryListBox::SubfolderNames() const {
    QStringList names;
    ForEachEntry(JoinPath(directory_, QStringLiteral("*.*")), platform::faDirectory,
                 [&](const platform::TSearchRec& found) {
                     if ((found.Attr & platform::faDirectory) && found.Name != QLatin1String(".") &&
                         found.Name != QLatin1String(".."))
                         names.append(found.Name);
                 });
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

void TDirectoryListBox::FillFolders() {
    {
        const UpdateScope update(Items());
        Items().Clear();
        unsigned flags = 0;
        const QString root = QString(Drive()) + QStringLiteral(":\\");
        if (!FileSystem().GetVolumeInformation(root, nullptr, &flags)) flags = 0;
        preserveCase_ = (flags & 3) != 0;
        caseSensitive_ = (flags & 1) != 0;
        if (directory_.endsWith(QLatin1Char('\\'))) {
            currentItem_ = AddFolder(directory_, fkCurrent);
        } else {
            QStringList pieces = directory_.split(QLatin1Char('\\'));
            pieces.front() += QLatin1Char('\\');
            for (qsizetype i = 0; i + 1 < pieces.size(); ++i) AddFolder(pieces[i], fkOpen);
            currentItem_ = AddFolder(pieces.back(), fkCurrent);
        }
        for (const QString& name : SubfolderNames()) AddFolder(name, fkClosed);
    }
    if (HandleAllocated()) SetItemIndex(currentItem_);
}

int TDirectoryListBox::AddFolder(const QString& text, TFolderKind kind) {
    TFolderBitmap* const glyphs[] = {&openGlyph_, &currentGlyph_, &closedGlyph_};
    return Items().AddObject(text, glyphs[kind], kind);
}

TFolderKind TDirectoryListBox::FolderKind(int index) const {
    return static_cast<TFolderKind>(Items().Kinds(index));
}

void TDirectoryListBox::Change() {
    if (fileList_) fileList_->SetDirectory(directory_);
    UpdateDirLabel();
    if (OnChange) OnChange(this);
}

void TDirectoryListBox::UpdateDirLabel() {
    if (!dirLabel_) return;
    TCanvas canvas;
    canvas.SetFont(dirLabel_->Font());
    const int width = dirLabel_->AutoSize() ? Width() : dirLabel_->Width();
    dirLabel_->SetCaption(platform::DisplayName(ShortenPath(directory_, canvas, width)));
}

void TDirectoryListBox::CreateWnd() {
    FillFolders();
    SetItemIndex(currentItem_);
}

void TDirectoryListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState) {
    TCanvas& canvas = Canvas();
    canvas.FillRect(rect);
    const auto* glyph = dynamic_cast<const TBitmap*>(Items().Objects(index));
    const int offset =
        FolderKind(index) == fkClosed ? PathLevel(directory_) * 4 + 6 : index * 4 + 2;
    int glyphWidth = 16;
    if (glyph) {
        glyphWidth = glyph->Width();
        DrawGlyph(canvas, *glyph, rect.Left + offset, GlyphTop(rect, *glyph));
    }
    QString text = Items()[index];
    if (!preserveCase_ && !caseSensitive_) text = text.toLower();
    canvas.TextOut(rect.Left + glyphWidth + offset + 4, rect.Top, platform::DisplayName(text));
}

void TDirectoryListBox::DblClick() {
    TCustomListBox::DblClick();
    OpenSelectedFolder();
}

void TDirectoryListBox::KeyPress(QChar& key) {
    TCustomListBox::KeyPress(key);
    if (key == QChar(13)) OpenSelectedFolder();
}

void TDirectoryListBox::FontChanged() {
    TCustomListBox::FontChanged();
    ResetItemHeight();
}

void TDirectoryListBox::ResetItemHeight() {
    SetItemHeight(std::max(FontItemHeight(Font()), openGlyph_.Height() + 1));
}

void TDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomListBox::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    Forget(fileList_, AComponent);
    Forget(dirLabel_, AComponent);
    Forget(driveCombo_, AComponent);
}

// ---------------------------------------------------------------------------
// File list

TFileListBox::TFileListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
    SetWidth(145);
    directory_ = GetCurrentDir();
    LoadGlyph(executableGlyph_, "EXECUTABLE");
    LoadGlyph(closedGlyph_, "CLOSEDFOLDER");
    LoadGlyph(unknownGlyph_, "UNKNOWNFILE");
    SetSorted(true);
    SetStyle(lbOwnerDrawFixed);
    ResetItemHeight();
}

TFileListBox::~TFileListBox() = default;

void TFileListBox::SetDirectory(const QString& path) {
    // Exact comparison: on a case-sensitive drive "MEDIA" and "media" are two
    // folders, and re-reading the same one is harmless.
    if (path == directory_) return;
    // The old folder is only the base for a relative path; if it has gone,
    // that must not keep the list from moving on.
    FileSystem().SetCurrentDirectory(directory_);
    ChDir(path);
    directory_ = GetCurrentDir();
    FillFiles();
}

void TFileListBox::SetMask(const QString& mask) {
    if (mask == mask_) return;
    mask_ = mask;
    FillFiles();
}

void TFileListBox::SetFileType(TFileType fileType) {
    if (fileType == fileType_) return;
    fileType_ = fileType;
    FillFiles();
}

void TFileListBox::SetShowGlyphs(bool showGlyphs) {
    if (showGlyphs == showGlyphs_) return;
    showGlyphs_ = showGlyphs;
    if (showGlyphs_ && ItemHeight() < executableGlyph_.Height() + 1) ResetItemHeight();
    Invalidate();
}

QString TFileListBox::FileName() const {
    const int index = ItemIndex();
    return index >= 0 ? JoinPath(directory_, Items()[index]) : QString();
}

void TFileListBox::SetFileName(const QString& text) {
    // Exact comparison, not one that ignores case: on a case-sensitive drive
    // "A.wav" and "a.wav" are two files, and with a.wav selected a request for
    // A.wav must go on and select it. On a drive that ignores case the only
    // cost is the same file selected once more.
    if (text.isEmpty() || text == FileName()) return;
    const TPathParts parts = SplitEntry(text);
    const QString folder = QString(parts.Drive) + QLatin1Char(':') + parts.DirPart;
    if (dirList_)
        dirList_->SetDirectory(folder);
    else
        SetDirectory(folder);
    const QString& file = parts.FilePart;
    if (file.contains(QLatin1Char('*')) || file.contains(QLatin1Char('?'))) {
        SetMask(file);
        return;
    }
    if (file.isEmpty()) return;
    SelectName(file);
    Change();
    if (!FileExists(file))
        throw EInvalidOperation(QStringLiteral("Invalid file name - %1").arg(text));
    if (ItemIndex() < 0) {
        SetMask(file);
        SelectName(file);
    }
}

void TFileListBox::SelectName(const QString& name) {
    int index = Items().IndexOf(name);
    for (int i = 0; index < 0 && i < Items().Count(); ++i)
        if (Items()[i].compare(name, Qt::CaseInsensitive) == 0) index = i;
    SetItemIndex(index);
}

void TFileListBox::SetFileEdit(TEdit* edit) {
    fileEdit_ = edit;
    if (edit) edit->FreeNotification(this);
    UpdateFileEdit();
}

void TFileListBox::AddEntry(const QString& name, unsigned attr) {
    if (attr & platform::faDirectory)
        Items().AddObject(QLatin1Char('[') + name + QLatin1Char(']'),
                          showGlyphs_ ? &closedGlyph_ : nullptr);
    else
        Items().AddObject(name, IsProgram(name) ? &executableGlyph_ : &unknownGlyph_);
}

void TFileListBox::FillFiles() {
    if (!HandleAllocated()) return;
    static constexpr std::pair<TFileAttr, unsigned> kSearchBits[] = {
        {ftReadOnly, platform::faReadOnly},   {ftHidden, platform::faHidden},
        {ftSystem, platform::faSysFile},      {ftVolumeID, platform::faVolumeID},
        {ftDirectory, platform::faDirectory}, {ftArchive, platform::faArchive}};
    unsigned attrs = 0;
    for (const auto& [fileAttr, bit] : kSearchBits)
        if (fileType_.Contains(fileAttr)) attrs |= bit;
    const bool normal = fileType_.Contains(ftNormal);

    ChDir(directory_);
    {
        THourGlass hourGlass;
        const UpdateScope update(Items());
        Items().Clear();
        for (const QString& piece : mask_.split(QLatin1Char(';'))) {
            ForEachEntry(piece, attrs, [&](const platform::TSearchRec& found) {
                if (!normal && !(found.Attr & attrs)) return;
                AddEntry(found.Name, found.Attr);
                // The 101st name: this folder is a large one.
                if (Items().Count() == 101) hourGlass.Show();
            });
        }
    }
    Change();
}

void TFileListBox::Change() {
    lastSelection_ = ItemIndex();
    UpdateFileEdit();
    if (OnChange) OnChange(this);
}

void TFileListBox::UpdateFileEdit() {
    if (!fileEdit_) return;
    const int index = ItemIndex();
    fileEdit_->SetText(index >= 0 ? Items()[index] : mask_);
    fileEdit_->SelectAll();
}

void TFileListBox::CreateWnd() {
    FillFiles();
}

void TFileListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState) {
    TCanvas& canvas = Canvas();
    canvas.FillRect(rect);
    int offset = 2;
    const auto* glyph = dynamic_cast<const TBitmap*>(Items().Objects(index));
    if (showGlyphs_ && glyph) {
        DrawGlyph(canvas, *glyph, rect.Left + 2, GlyphTop(rect, *glyph));
        offset = glyph->Width() + 6;
    }
    canvas.TextOut(rect.Left + offset, rect.Top, platform::DisplayName(Items()[index]));
}

void TFileListBox::Click() {
    TCustomListBox::Click();
    if (ItemIndex() != lastSelection_) Change();
}

void TFileListBox::FontChanged() {
    TCustomListBox::FontChanged();
    ResetItemHeight();
}

void TFileListBox::ResetItemHeight() {
    int height = FontItemHeight(Font());
    if (showGlyphs_) height = std::max(height, executableGlyph_.Height() + 1);
    SetItemHeight(height);
}

void TFileListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomListBox::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    Forget(fileEdit_, AComponent);
    Forget(dirList_, AComponent);
    Forget(filterCombo_, AComponent);
}

// ---------------------------------------------------------------------------
// Filter combo

TFilterComboBox::TFilterComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner), filter_(QStringLiteral("All files (*.*)|*.*")) {
    SetStyle(csDropDownList);
}

TFilterComboBox::~TFilterComboBox() = default;

void TFilterComboBox::SetFilter(const QString& filter) {
    if (filter.compare(filter_, Qt::CaseInsensitive) == 0) return;
    filter_ = filter;
    FillFilters();
    Change();
}

void TFilterComboBox::SetFileList(TFileListBox* fileList) {
    Relink(this, fileList_, fileList, &TFileListBox::filterCombo_);
}

void TFilterComboBox::FillFilters() {
    Items().Clear();
    masks_.clear();
    QString rest = filter_;
    const QChar bar = QLatin1Char('|');
    while (rest.contains(bar)) {
        const QString name = rest.left(rest.indexOf(bar));
        rest.remove(0, name.size() + 1);
        const qsizetype end = rest.indexOf(bar);
        const QString mask = end >= 0 ? rest.left(end) : rest;
        rest.remove(0, end >= 0 ? end + 1 : rest.size());
        Items().Add(name);
        masks_.append(mask);
    }
    SetItemIndex(0);
}

QString TFilterComboBox::Mask() {
    if (ItemIndex() < 0) SetItemIndex(Items().Count() - 1);
    const int index = ItemIndex();
    return index < 0 ? QStringLiteral("*.*") : masks_.value(index);
}

void TFilterComboBox::Change() {
    if (fileList_) fileList_->SetMask(Mask());
    if (OnChange) OnChange(this);
}

void TFilterComboBox::CreateWnd() {
    FillFilters();
}

void TFilterComboBox::Click() {
    TCustomComboBox::Click();
    Change();
}

void TFilterComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove) Forget(fileList_, AComponent);
}
