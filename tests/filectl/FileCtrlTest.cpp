#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>

#include "filectl/FileCtrl.h"
#include "filectl/FilePaths.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/LinuxFileSystem.h"
#include "support/ShownMessages.h"
#include "support/TempDrives.h"
#include "support/WidgetTesting.h"
#include "toolkit/Edit.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Label.h"

using namespace platform;

namespace {

QStringList ItemsOf(const TListItems& items) {
    return items.ToStringList();
}

// Clicks, double-clicks or presses keys on a row the way the user does.
QPoint RowCenter(TCustomListBox& list, int row) {
    return list.View()->visualRect(list.Items().index(row)).center();
}

void ClickRow(TCustomListBox& list, int row) {
    QTest::mouseClick(list.View()->viewport(), Qt::LeftButton, {}, RowCenter(list, row));
}

void DoubleClickRow(TCustomListBox& list, int row) {
    QTest::mouseDClick(list.View()->viewport(), Qt::LeftButton, {}, RowCenter(list, row));
}

void PickItem(TCustomComboBox& combo, int index) {
    combo.Combo()->setCurrentIndex(index);
    emit combo.Combo()->activated(index);
}

class FileCtrlTest : public testing::Test {
  protected:
    void SetUp() override {
        drives_.MakeFolder("e/MEDIA/CLIPS/NEW");
        drives_.MakeFolder("e/MEDIA/CLIPS/old");
        drives_.MakeFolder("e/MEDIA/CLIPS/.cache");
        drives_.MakeFolder("e/Games");
        for (const char* name : {"a.wav", "C.WAV", "b.avi", "notes.txt", "run.exe", ".hidden.wav"})
            drives_.MakeFile(QByteArray("e/MEDIA/") + name);
        drives_.MakeFolder("d/x/y");
        drives_.Enter(QStringLiteral("d:\\x\\y"));
        drives_.Enter(QStringLiteral("e:\\MEDIA\\CLIPS"));
        host_.resize(400, 400);
    }

    // A drive combo, a directory list and a file list linked in a chain, shown.
    std::tuple<TDriveComboBox*, TDirectoryListBox*, TFileListBox*> ShownChain() {
        auto* dc = new TDriveComboBox(&host_);
        auto* dl = new TDirectoryListBox(&host_);
        auto* fl = new TFileListBox(&host_);
        dc->SetDirList(dl);
        dl->SetFileList(fl);
        host_.show();
        return {dc, dl, fl};
    }

    TempDrives drives_{
        {.Letter = 'c'},
        {.Letter = 'd', .Type = DRIVE_REMOVABLE, .Label = QStringLiteral("Stick")},
        {.Letter = 'e', .Label = QStringLiteral("System")},
        {.Letter = 'f', .Type = DRIVE_REMOTE, .RemoteName = QStringLiteral("\\\\Server\\Share")},
        {.Letter = 'g', .Type = DRIVE_REMOTE, .Label = QStringLiteral("Backup")},
        {.Letter = 'h', .CreateRoot = false},
        {.Letter = 'r', .Type = DRIVE_RAMDISK},
        {.Letter = 's', .Type = DRIVE_CDROM, .Label = QStringLiteral("Films")}};
    TWinControl host_{nullptr};
};

// ---------------------------------------------------------------------------
// Drive combo

TEST_F(FileCtrlTest, DriveItemsCarryLabelsRemoteNamesAndGlyphs) {
    auto* dc = new TDriveComboBox(&host_);
    dc->HandleNeeded();
    EXPECT_EQ(ItemsOf(dc->Items()),
              (QStringList{"c: []", "d:", "e: [system]", "f: \\\\server\\share", "g: [backup]",
                           "h: []", "r: []", "s: [films]"}));
    EXPECT_EQ(dc->Drive(), QLatin1Char('e'));
    EXPECT_EQ(dc->ItemIndex(), 2);
    EXPECT_EQ(FileSystem().SetErrorMode(0), 0u);  // the label queries put the mode back
    const auto glyphSize = [&](int i) {
        const auto* glyph = dynamic_cast<const TBitmap*>(dc->Items().Objects(i));
        return glyph ? QSize(glyph->Width(), glyph->Height()) : QSize();
    };
    for (int i = 0; i < dc->Items().Count(); ++i) EXPECT_EQ(glyphSize(i), QSize(16, 11)) << i;
    EXPECT_NE(dc->Items().Objects(1), dc->Items().Objects(0));  // removable vs fixed
    EXPECT_EQ(dc->Items().Objects(4), dc->Items().Objects(3));  // both remote

    dc->SetBounds(0, 0, 145, 24);
    EXPECT_FALSE(dc->grab().toImage().isNull());  // the owner-drawn face paints

    dc->SetTextCase(tcUpperCase);
    EXPECT_EQ(dc->Items()[2], QStringLiteral("E: [SYSTEM]"));
    EXPECT_EQ(dc->Items()[3], QStringLiteral("F: \\\\SERVER\\SHARE"));
    EXPECT_EQ(dc->Drive(), QLatin1Char('E'));
    EXPECT_EQ(dc->ItemIndex(), 2);
}

TEST_F(FileCtrlTest, PickingADriveGoesToItsRememberedFolderDownTheChain) {
    TDriveComboBox* dc;
    TDirectoryListBox* dl;
    TFileListBox* fl;
    std::tie(dc, dl, fl) = ShownChain();
    QStringList events;
    dc->OnClick = [&](TObject*) { events << "combo click"; };
    dc->OnChange = [&](TObject*) { events << "combo change " + dl->Directory(); };
    dl->OnChange = [&](TObject*) { events << "list change " + fl->Directory(); };

    PickItem(*dc, 1);
    EXPECT_EQ(events,
              (QStringList{"combo click", "list change D:\\x\\y", "combo change D:\\x\\y"}));
    EXPECT_EQ(dl->Directory(), QStringLiteral("D:\\x\\y"));
    EXPECT_EQ(ItemsOf(dl->Items()), (QStringList{"D:\\", "x", "y"}));
    EXPECT_EQ(TempDrives::ProcessDirectory(), drives_.Native("d/x/y"));

    events.clear();
    PickItem(*dc, 1);  // the same drive again changes nothing
    EXPECT_EQ(events, QStringList{"combo click"});
}

TEST_F(FileCtrlTest, AFailedDriveChangeLeavesTheComboOnTheNewDriveAndTheListsWhereTheyWere) {
    TDriveComboBox* dc;
    TDirectoryListBox* dl;
    TFileListBox* fl;
    std::tie(dc, dl, fl) = ShownChain();
    ShownMessages shown;
    PickItem(*dc, 5);  // h: is not mounted; the error goes to the box, not through Qt
    ProcessEvents();
    EXPECT_EQ(shown, QStringList{SysErrorMessage(ENOENT)});
    EXPECT_EQ(dc->Drive(), QLatin1Char('h'));
    EXPECT_EQ(dc->ItemIndex(), 5);
    EXPECT_EQ(dl->Directory(), QStringLiteral("E:\\MEDIA\\CLIPS"));
    EXPECT_EQ(fl->Directory(), QStringLiteral("E:\\MEDIA\\CLIPS"));
}

// ---------------------------------------------------------------------------
// Directory list

TEST_F(FileCtrlTest, FolderChainThenSortedVisibleSubfolders) {
    auto* dl = new TDirectoryListBox(&host_);
    dl->HandleNeeded();
    EXPECT_EQ(ItemsOf(dl->Items()), (QStringList{"E:\\", "MEDIA", "CLIPS", "NEW", "old"}));
    EXPECT_EQ(dl->ItemIndex(), 2);
    const struct {
        int index;
        const char* path;
    } paths[] = {{-1, ""},
                 {0, "E:\\"},
                 {1, "E:\\MEDIA"},
                 {2, "E:\\MEDIA\\CLIPS"},
                 {3, "E:\\MEDIA\\CLIPS\\NEW"},
                 {4, "E:\\MEDIA\\CLIPS\\old"},
                 {5, ""}};
    for (const auto& c : paths)
        EXPECT_EQ(dl->FolderItemPath(c.index), QString::fromUtf8(c.path)) << c.index;
    EXPECT_TRUE(dl->PreserveCase());
    EXPECT_TRUE(dl->CaseSensitive());
    EXPECT_EQ(dl->ItemHeight(), std::max(16, QFontMetrics(dl->Font().ToQFont()).height()));
}

TEST_F(FileCtrlTest, AtARootTheRootIsTheCurrentItem) {
    drives_.Enter(QStringLiteral("e:\\"));
    auto* dl = new TDirectoryListBox(&host_);
    dl->HandleNeeded();
    EXPECT_EQ(ItemsOf(dl->Items()), (QStringList{"E:\\", "Games", "MEDIA"}));
    EXPECT_EQ(dl->ItemIndex(), 0);
    EXPECT_EQ(dl->FolderItemPath(0), QStringLiteral("E:\\"));
    EXPECT_EQ(dl->FolderItemPath(1), QStringLiteral("E:\\Games"));
}

TEST_F(FileCtrlTest, SingleClickOnlySelectsDoubleClickOpens) {
    auto* dl = new TDirectoryListBox(&host_);
    auto* fl = new TFileListBox(&host_);
    dl->SetFileList(fl);
    host_.show();
    QStringList events;
    dl->OnClick = [&](TObject*) { events << "click " + dl->Directory(); };
    dl->OnDblClick = [&](TObject*) { events << "dblclick " + dl->Directory(); };
    dl->OnChange = [&](TObject*) { events << "change " + dl->Directory(); };

    ClickRow(*dl, 1);
    EXPECT_EQ(dl->Directory(), QStringLiteral("E:\\MEDIA\\CLIPS"));
    EXPECT_EQ(dl->ItemIndex(), 1);
    ASSERT_EQ(events, QStringList{"click E:\\MEDIA\\CLIPS"});

    events.clear();
    DoubleClickRow(*dl, 1);
    EXPECT_EQ(events.mid(events.size() - 2),
              (QStringList{"dblclick E:\\MEDIA\\CLIPS", "change E:\\MEDIA"}));
    EXPECT_EQ(dl->Directory(), QStringLiteral("E:\\MEDIA"));
    EXPECT_EQ(ItemsOf(dl->Items()), (QStringList{"E:\\", "MEDIA", "CLIPS"}));
    EXPECT_EQ(fl->Directory(), QStringLiteral("E:\\MEDIA"));
    EXPECT_EQ(ItemsOf(fl->Items()),
              (QStringList{"a.wav", "b.avi", "C.WAV", "notes.txt", "run.exe"}));
    EXPECT_EQ(TempDrives::ProcessDirectory(), drives_.Native("e/MEDIA"));
}

TEST_F(FileCtrlTest, EnterOpensTheSelectedFolderAfterOnKeyPress) {
    auto* dl = new TDirectoryListBox(&host_);
    host_.show();
    QStringList events;
    dl->OnKeyPress = [&](TObject*, QChar& key) {
        events << QStringLiteral("key %1").arg(key.unicode());
    };
    dl->OnChange = [&](TObject*) { events << "change " + dl->Directory(); };
    dl->SetItemIndex(3);
    QTest::keyClick(dl->View(), Qt::Key_Return);
    EXPECT_EQ(events, (QStringList{"key 13", "change E:\\MEDIA\\CLIPS\\NEW"}));
}

TEST_F(FileCtrlTest, SettingDirectoryByPathMovesTheDriveThroughTheCombo) {
    auto* dc = new TDriveComboBox(&host_);
    auto* dl = new TDirectoryListBox(&host_);
    dc->SetDirList(dl);
    host_.show();
    int listChanges = 0;
    dl->OnChange = [&](TObject*) { ++listChanges; };

    dl->SetDirectory(QStringLiteral("d:\\x"));
    EXPECT_EQ(dl->Directory(), QStringLiteral("D:\\x"));
    EXPECT_EQ(dc->Drive(), QLatin1Char('d'));
    EXPECT_EQ(listChanges, 1);  // the drive change inside did not rebuild on its own

    // On a case-sensitive drive another spelling is another folder.
    EXPECT_THROW(dl->SetDirectory(QStringLiteral("D:\\X")), EInOutError);
    EXPECT_THROW(dl->SetDirectory(QStringLiteral("d:\\nowhere")), EInOutError);
    EXPECT_EQ(dl->Directory(), QStringLiteral("D:\\x"));
}

TEST_F(FileCtrlTest, FoldersDifferingOnlyInCaseAreTwoFolders) {
    drives_.MakeFolder("e/media");
    drives_.MakeFile("e/media/lower.wav");
    drives_.Enter(QStringLiteral("e:\\MEDIA"));
    auto* dl = new TDirectoryListBox(&host_);
    auto* fl = new TFileListBox(&host_);
    dl->SetFileList(fl);
    dl->HandleNeeded();
    fl->HandleNeeded();
    dl->SetDirectory(QStringLiteral("E:\\media"));
    EXPECT_EQ(fl->Directory(), QStringLiteral("E:\\media"));
    EXPECT_EQ(ItemsOf(fl->Items()), QStringList{"lower.wav"});
}

TEST_F(FileCtrlTest, DirLabelShowsTheShortenedDirectory) {
    auto* dl = new TDirectoryListBox(&host_);
    auto* label = new TLabel(&host_);
    dl->SetDirLabel(label);
    EXPECT_EQ(label->Caption(), QStringLiteral("E:\\MEDIA\\CLIPS"));
    label->SetAutoSize(false);
    label->SetWidth(1);
    dl->SetDirectory(QStringLiteral("NEW"));
    EXPECT_EQ(label->Caption(), QStringLiteral("NEW"));
    delete label;
    EXPECT_EQ(dl->DirLabel(), nullptr);
    dl->SetDirectory(QStringLiteral(".."));  // no label to update any more
}

// ---------------------------------------------------------------------------
// File list

TEST_F(FileCtrlTest, MaskPiecesAreListedSortedTogether) {
    drives_.Enter(QStringLiteral("e:\\MEDIA"));
    auto* fl = new TFileListBox(&host_);
    fl->SetMask(QStringLiteral("*.wav;*.avi;"));
    EXPECT_EQ(fl->Items().Count(), 0);  // no window yet: nothing read
    fl->HandleNeeded();
    EXPECT_EQ(ItemsOf(fl->Items()), (QStringList{"a.wav", "b.avi", "C.WAV"}));
    fl->SetMask(QStringLiteral("*.avi;*.AVI"));
    EXPECT_EQ(ItemsOf(fl->Items()), (QStringList{"b.avi", "b.avi"}));
    fl->SetMask(QString());
    EXPECT_EQ(fl->Items().Count(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FileCtrlTest, DirectoryFileTypeListsBracketedFoldersWithDots) {
    auto* fl = new TFileListBox(&host_);
    fl->SetFileType({ftDirectory});
    fl->HandleNeeded();
    EXPECT_EQ(ItemsOf(fl->Items()), (QStringList{"[..]", "[.]", "[NEW]", "[old]"}));
    fl->SetFileType({ftDirectory, ftHidden});
    EXPECT_EQ(ItemsOf(fl->Items()), (QStringList{"[..]", "[.]", "[.cache]", "[NEW]", "[old]"}));
}

TEST_F(FileCtrlTest, GlyphsFollowTheKindOfEntry) {
    drives_.Enter(QStringLiteral("e:\\MEDIA"));
    auto* fl = new TFileListBox(&host_);
    fl->SetFileType({ftNormal, ftDirectory});
    fl->HandleNeeded();
    ASSERT_EQ(ItemsOf(fl->Items()), (QStringList{"[..]", "[.]", "[CLIPS]", "a.wav", "b.avi",
                                                 "C.WAV", "notes.txt", "run.exe"}));
    const TObject* unknown = fl->Items().Objects(3);
    const TObject* program = fl->Items().Objects(7);
    EXPECT_TRUE(unknown && program);
    EXPECT_NE(program, unknown);
    EXPECT_EQ(fl->Items().Objects(6), unknown);
    EXPECT_EQ(fl->Items().Objects(2), nullptr)
        << "folder rows get their glyph only with ShowGlyphs";

    const int plain = fl->ItemHeight();
    fl->SetShowGlyphs(true);
    EXPECT_EQ(fl->ItemHeight(), std::max(plain, 16));
    fl->FillFiles();
    const TObject* folder = fl->Items().Objects(2);
    EXPECT_NE(folder, nullptr);
    EXPECT_NE(folder, unknown);
}

TEST_F(FileCtrlTest, ClickRunsTheChangeStepOnlyWhenTheSelectionMoved) {
    drives_.Enter(QStringLiteral("e:\\MEDIA"));
    auto* fl = new TFileListBox(&host_);
    auto* edit = new TEdit(&host_);
    fl->SetFileEdit(edit);
    EXPECT_EQ(edit->Text(), QStringLiteral("*.*"));
    host_.show();
    QStringList events;
    fl->OnClick = [&](TObject*) { events << "click"; };
    fl->OnChange = [&](TObject*) { events << "change " + fl->FileName(); };

    ClickRow(*fl, 1);
    EXPECT_EQ(events, (QStringList{"click", "change E:\\MEDIA\\b.avi"}));
    EXPECT_EQ(edit->Text(), QStringLiteral("b.avi"));
    EXPECT_EQ(edit->SelText(), QStringLiteral("b.avi"));
    events.clear();
    ClickRow(*fl, 1);
    EXPECT_EQ(events, QStringList{"click"});
    events.clear();
    QTest::keyClick(fl->View(), Qt::Key_Down);
    EXPECT_EQ(events, (QStringList{"click", "change E:\\MEDIA\\C.WAV"}));
}

TEST_F(FileCtrlTest, FileNameNavigatesFiltersOrSelects) {
    auto* dl = new TDirectoryListBox(&host_);
    auto* fl = new TFileListBox(&host_);
    dl->SetFileList(fl);
    dl->HandleNeeded();
    fl->HandleNeeded();

    fl->SetFileName(QStringLiteral("e:\\MEDIA\\a.wav"));
    EXPECT_EQ(dl->Directory(), QStringLiteral("E:\\MEDIA"));
    EXPECT_EQ(fl->FileName(), QStringLiteral("E:\\MEDIA\\a.wav"));
    // Names that differ only in case are two files here.
    drives_.MakeFile("e/MEDIA/A.WAV");
    fl->FillFiles();
    fl->SetFileName(QStringLiteral("E:\\MEDIA\\A.WAV"));
    EXPECT_EQ(fl->FileName(), QStringLiteral("E:\\MEDIA\\A.WAV"));

    fl->SetFileName(QStringLiteral("*.avi"));
    EXPECT_EQ(fl->Mask(), QStringLiteral("*.avi"));
    EXPECT_EQ(ItemsOf(fl->Items()), QStringList{"b.avi"});

    // A name that is no file is taken for a folder, and that change fails.
    EXPECT_THROW(fl->SetFileName(QStringLiteral("missing.wav")), EInOutError);
    EXPECT_EQ(dl->Directory(), QStringLiteral("E:\\MEDIA"));
    EXPECT_EQ(GetCurrentDir(), QStringLiteral("E:\\MEDIA"));
    fl->SetFileName(QStringLiteral("notes.txt"));  // exists but the mask hides it
    EXPECT_EQ(fl->Mask(), QStringLiteral("notes.txt"));
    EXPECT_EQ(fl->FileName(), QStringLiteral("E:\\MEDIA\\notes.txt"));
}

TEST_F(FileCtrlTest, OddNamesAreListedExactlyAndOpenTheSameBytes) {
    const QByteArray names[] = {"new\nline.wav", "bad\xff.wav", "back\\slash.wav"};
    for (const QByteArray& name : names) drives_.MakeFile("e/MEDIA/CLIPS/" + name);
    auto* fl = new TFileListBox(&host_);
    fl->HandleNeeded();
    ASSERT_EQ(fl->Items().Count(), 3);
    for (int i = 0; i < 3; ++i) {
        fl->SetItemIndex(i);
        const QByteArray native = FileSystem().NativePath(fl->FileName());
        const QByteArray name = native.mid(native.lastIndexOf('/') + 1);
        EXPECT_TRUE(std::find(std::begin(names), std::end(names), name) != std::end(names))
            << name.toHex().constData();
    }
}

// Passes every call on to the real service, noting whether the hourglass is
// up at each found name, and can fail the search after a number of names.
class CursorSpy : public IFileSystem {
  public:
    explicit CursorSpy(IFileSystem& real) : real_(real) {}

    std::vector<bool> busyAtName;
    int failAfter = -1;

    QByteArray NativePath(const QString& p) override { return real_.NativePath(p); }
    QString DrivePath(const QByteArray& p) const override { return real_.DrivePath(p); }
    unsigned GetLogicalDrives() override { return real_.GetLogicalDrives(); }
    unsigned GetDriveType(const QString& r) override { return real_.GetDriveType(r); }
    bool GetVolumeInformation(const QString& r, QString* n, unsigned* f) override {
        return real_.GetVolumeInformation(r, n, f);
    }
    bool WNetGetConnection(const QString& l, QString& r) override {
        return real_.WNetGetConnection(l, r);
    }
    unsigned SetErrorMode(unsigned m) override { return real_.SetErrorMode(m); }
    std::unique_ptr<DriveWatch> WatchDrives(std::function<void()> c) override {
        return real_.WatchDrives(std::move(c));
    }
    FindHandle FindFirstFile(const QString& p, unsigned a, TSearchRec& f) override {
        const FindHandle handle = real_.FindFirstFile(p, a, f);
        if (handle != INVALID_HANDLE_VALUE) Note();
        return handle;
    }
    bool FindNextFile(FindHandle h, TSearchRec& f) override {
        const bool found = real_.FindNextFile(h, f);
        if (found) {
            if (failAfter >= 0 && int(busyAtName.size()) >= failAfter)
                throw std::runtime_error("the disk went away");
            Note();
        }
        return found;
    }
    bool FindClose(FindHandle h) override { return real_.FindClose(h); }
    int GetFileAttributes(const QString& p) override { return real_.GetFileAttributes(p); }
    bool SetCurrentDirectory(const QString& p) override { return real_.SetCurrentDirectory(p); }
    QString GetCurrentDirectory() override { return real_.GetCurrentDirectory(); }
    int GetLastError() override { return real_.GetLastError(); }

  private:
    void Note() { busyAtName.push_back(QApplication::overrideCursor() != nullptr); }

    IFileSystem& real_;
};

TEST_F(FileCtrlTest, TheHourglassShowsFromTheHundredAndFirstNameUntilTheReadingEnds) {
    for (int i = 0; i < 150; ++i)
        drives_.MakeFile("e/MEDIA/CLIPS/f" + QByteArray::number(i) + ".wav");
    auto* fl = new TFileListBox(&host_);
    const ServiceScope<SetFileSystem, CursorSpy> spy(std::make_unique<CursorSpy>(FileSystem()));

    fl->HandleNeeded();
    ASSERT_EQ(spy->busyAtName.size(), 150u);
    EXPECT_EQ(std::count(spy->busyAtName.begin(), spy->busyAtName.end(), true), 150 - 101);
    EXPECT_FALSE(spy->busyAtName[100]);
    EXPECT_TRUE(spy->busyAtName[101]);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    spy->busyAtName.clear();
    spy->failAfter = 120;
    EXPECT_THROW(fl->FillFiles(), std::runtime_error);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FileCtrlTest, AFolderDeletedBehindOurBackCanBeLeft) {
    drives_.MakeFolder("e/MEDIA/CLIPS/NEW/gone");
    auto* dl = new TDirectoryListBox(&host_);
    auto* fl = new TFileListBox(&host_);
    dl->SetFileList(fl);
    dl->SetDirectory(QStringLiteral("e:\\MEDIA\\CLIPS\\NEW\\gone"));
    ASSERT_EQ(rmdir(drives_.Native("e/MEDIA/CLIPS/NEW/gone").constData()), 0);
    dl->HandleNeeded();
    EXPECT_THROW(fl->HandleNeeded(), EInOutError);
    dl->SetDirectory(QStringLiteral("e:\\MEDIA"));
    EXPECT_EQ(fl->Directory(), QStringLiteral("E:\\MEDIA"));
    EXPECT_EQ(fl->Items().Count(), 5);
}

// ---------------------------------------------------------------------------
// Filter combo

TEST_F(FileCtrlTest, FilterEntriesTable) {
    auto* fc = new TFilterComboBox(&host_);
    fc->HandleNeeded();
    const struct {
        const char* filter;
        QStringList names;
        QStringList masks;
        const char* mask;
    } cases[] = {
        {"Multimedia fiiles|*.wav;*.avi;", {"Multimedia fiiles"}, {"*.wav;*.avi;"}, "*.wav;*.avi;"},
        {"A|*.a|B", {"A"}, {"*.a"}, "*.a"},
        {"A|*.a|B|*.b", {"A", "B"}, {"*.a", "*.b"}, "*.a"},
        {"no bar", {}, {}, "*.*"},
        {"Empty|", {"Empty"}, {""}, ""},
    };
    for (const auto& c : cases) {
        fc->SetFilter(QString::fromUtf8(c.filter));
        EXPECT_EQ(ItemsOf(fc->Items()), c.names) << c.filter;
        EXPECT_EQ(fc->Masks(), c.masks) << c.filter;
        EXPECT_EQ(fc->Mask(), QString::fromUtf8(c.mask)) << c.filter;
    }
}

TEST_F(FileCtrlTest, FilterDrivesTheFileListMask) {
    auto* fc = new TFilterComboBox(&host_);
    auto* fl = new TFileListBox(&host_);
    fc->SetFileList(fl);
    int changes = 0;
    fc->OnChange = [&](TObject*) { ++changes; };
    fc->SetFilter(QStringLiteral("Multimedia fiiles|*.wav;*.avi;"));
    EXPECT_EQ(fl->Mask(), QStringLiteral("*.wav;*.avi;"));
    EXPECT_EQ(changes, 1);
    fc->SetFilter(QStringLiteral("MULTIMEDIA FIILES|*.WAV;*.AVI;"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(fl->Mask(), QStringLiteral("*.wav;*.avi;"));

    fc->SetFilter(QStringLiteral("A|*.a|B|*.b"));
    host_.show();
    PickItem(*fc, 1);
    EXPECT_EQ(fl->Mask(), QStringLiteral("*.b"));
}

// ---------------------------------------------------------------------------
// Links

TEST_F(FileCtrlTest, LinksKeepBackLinksAndDropDestroyedControls) {
    auto* dc = new TDriveComboBox(&host_);
    auto* dl = new TDirectoryListBox(&host_);
    auto* other = new TDirectoryListBox(&host_);
    auto* fl = new TFileListBox(&host_);
    auto* fc = new TFilterComboBox(&host_);
    dc->SetDirList(dl);
    dl->SetFileList(fl);
    fc->SetFileList(fl);
    EXPECT_EQ(dl->DriveCombo(), dc);
    EXPECT_EQ(fl->DirList(), dl);
    EXPECT_EQ(fl->FilterCombo(), fc);

    dc->SetDirList(other);
    EXPECT_EQ(dl->DriveCombo(), nullptr);
    EXPECT_EQ(other->DriveCombo(), dc);

    delete fl;
    EXPECT_EQ(dl->FileList(), nullptr);
    EXPECT_EQ(fc->FileList(), nullptr);
    delete other;
    EXPECT_EQ(dc->DirList(), nullptr);
    delete dc;
    EXPECT_EQ(dl->DriveCombo(), nullptr);
}

// ---------------------------------------------------------------------------
// Drawing

TEST_F(FileCtrlTest, FolderGlyphsSitAtTheirOffsetsOnTheRowColour) {
    drives_.Enter(QStringLiteral("e:\\"));
    auto* dl = new TDirectoryListBox(&host_);
    dl->SetBounds(0, 0, 200, 100);
    host_.show();
    dl->SetItemIndex(-1);
    const QImage image = dl->grab().toImage();
    const QColor window = ColorToQColor(clWindow);
    const auto pixel = [&](int row, int x, int glyphY) {
        const TRect r = dl->ItemRect(row);
        return image.pixelColor(r.Left + x, (r.Top + r.Bottom - 15) / 2 + glyphY);
    };
    // Row 0, the root as current folder: glyph at index * 4 + 2, its bottom
    // row dark and its transparent corner in the row's colour.
    EXPECT_EQ(pixel(0, 2, 12), QColor(Qt::black));
    EXPECT_EQ(pixel(0, 2, 14), window);
    // Row 1, a subfolder of a root: glyph at PathLevel * 4 + 6 = 10.
    EXPECT_EQ(pixel(1, 9, 4), window);
    EXPECT_EQ(pixel(1, 10, 4), QColor(Qt::black));
}

TEST_F(FileCtrlTest, FileTextStartsAfterTheGlyphOnlyWhenGlyphsAreShown) {
    drives_.Enter(QStringLiteral("e:\\MEDIA"));
    auto* fl = new TFileListBox(&host_);
    fl->SetBounds(0, 0, 200, 100);
    host_.show();
    const QColor window = ColorToQColor(clWindow);
    // The first column of row 0 holding anything but the row's colour.
    const auto firstInk = [&] {
        const QImage image = fl->grab().toImage();
        const TRect r = fl->ItemRect(0);
        for (int x = r.Left; x < r.Right; ++x)
            for (int y = r.Top; y < r.Bottom; ++y)
                if (image.pixelColor(x, y) != window) return x - r.Left;
        return -1;
    };
    const int plain = firstInk();
    EXPECT_GE(plain, 2);
    EXPECT_LE(plain, 4);
    fl->SetShowGlyphs(true);
    EXPECT_EQ(firstInk(), 2 + 2);  // the glyph at 2, whose art starts in its third column
    const QImage image = fl->grab().toImage();
    const TRect r = fl->ItemRect(0);
    for (int x = 18; x < 22; ++x)  // between the glyph and the text at 16 + 6
        for (int y = r.Top; y < r.Bottom; ++y)
            EXPECT_EQ(image.pixelColor(r.Left + x, y), window) << x << "," << y;
}

TEST_F(FileCtrlTest, GlyphResourcesAreSixteenColourArtWithTheirSizes) {
    const struct {
        const char* name;
        int height;
    } glyphs[] = {{"FLOPPY", 11},        {"HARD", 11},         {"NETWORK", 11},
                  {"CDROM", 11},         {"RAM", 11},          {"OPENFOLDER", 15},
                  {"CURRENTFOLDER", 15}, {"CLOSEDFOLDER", 15}, {"EXECUTABLE", 15},
                  {"UNKNOWNFILE", 15},   {"KNOWNFILE", 15}};
    for (const auto& glyph : glyphs) {
        const QImage image(QStringLiteral(":/glyphs/%1.xpm").arg(QLatin1String(glyph.name)));
        ASSERT_FALSE(image.isNull()) << glyph.name;
        EXPECT_EQ(image.size(), QSize(16, glyph.height)) << glyph.name;
        EXPECT_LE(image.colorCount(), 16) << glyph.name;
    }
}

// ---------------------------------------------------------------------------
// Drive combo after a change of the mount table

struct RefillCase {
    const char* name;
    QStringList mountedAfter;  // discs under the temporary folder, mounted once started
    QStringList items;
    char drive;
};

// Starts with disc "cd1" mounted as d: and the combo on it.
class DriveRefillTest : public testing::TestWithParam<RefillCase> {
  protected:
    void SetUp() override {
        for (const char* disc : {"cd0", "cd1"}) QDir(temp_.path()).mkdir(disc);
        mounted_ = {"cd1"};
        fileSystem_.emplace(std::make_unique<LinuxFileSystem>([this] { return MountTable(); },
                                                              BlockDeviceProbe{}, QByteArray()));
        ASSERT_TRUE(FileSystem().SetCurrentDirectory(QStringLiteral("d:\\")));
    }
    void TearDown() override { QDir::setCurrent(savedDirectory_); }

    QByteArray MountTable() const {
        QByteArray table = "27 1 254:0 / / rw - ext4 /dev/vda rw\n";
        for (const QString& disc : mounted_)
            table += "60 27 11:0 / " + QFile::encodeName(temp_.path() + '/' + disc) +
                     " ro - iso9660 /dev/sr0 ro\n";
        return table;
    }

    QTemporaryDir temp_;
    QString savedDirectory_ = QDir::currentPath();
    std::optional<ServiceScope<SetFileSystem>> fileSystem_;
    QStringList mounted_;
};

TEST_P(DriveRefillTest, KeepsTheCurrentDriveWhereItStillExists) {
    TWinControl host(nullptr);
    auto* dc = new TDriveComboBox(&host);
    auto* dl = new TDirectoryListBox(&host);
    dc->SetDirList(dl);
    dl->HandleNeeded();
    dc->HandleNeeded();
    ASSERT_EQ(ItemsOf(dc->Items()), (QStringList{"c: []", "d: []"}));

    mounted_ = GetParam().mountedAfter;
    dc->DrivesChanged();
    EXPECT_EQ(ItemsOf(dc->Items()), GetParam().items);
    EXPECT_EQ(dc->Drive(), QLatin1Char(GetParam().drive));
    EXPECT_EQ(dc->Text().left(1), QString(QLatin1Char(GetParam().drive)));
    EXPECT_EQ(dl->Drive().toLower(), QLatin1Char(GetParam().drive));
}

INSTANTIATE_TEST_SUITE_P(Mounts, DriveRefillTest,
                         testing::Values(RefillCase{"DiscAddedBeforeTheCurrentOne",
                                                    {"cd0", "cd1"},
                                                    {"c: []", "d: []", "e: []"},
                                                    'd'},
                                         RefillCase{"CurrentDiscRemoved", {}, {"c: []"}, 'c'}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
