#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>

#include "platform/files/DataFolders.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/LinuxFileSystem.h"
#include "platform/files/NativeNames.h"
#include "support/CaseName.h"
#include "support/TempDrives.h"

using namespace platform;

namespace {

struct MaskCase {
    const char* name;
    const char* mask;
    bool matches;
};

class MaskTest : public testing::TestWithParam<MaskCase> {};

TEST_P(MaskTest, MatchesLikeDriveLetterWildcards) {
    const MaskCase& c = GetParam();
    EXPECT_EQ(MatchesMask(QString::fromUtf8(c.name), QString::fromUtf8(c.mask)), c.matches)
        << c.name << " ~ " << c.mask;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MaskTest,
    testing::Values(MaskCase{"song.wav", "*.wav", true}, MaskCase{"SONG.WAV", "*.wav", true},
                    MaskCase{"song.wave", "*.wav", false}, MaskCase{"song.wav.bak", "*.wav", false},
                    MaskCase{"README", "*.*", true}, MaskCase{"a.b.c", "*.*", true},
                    MaskCase{".", "*.*", true}, MaskCase{"clip", "clip.*", true},
                    MaskCase{"clip.avi", "cl?p.avi", true}, MaskCase{"clp.avi", "cl?p.avi", false},
                    MaskCase{"a", "", false}, MaskCase{"abc", "a*c*", true},
                    MaskCase{"aXbXc", "a*b*c", true}, MaskCase{"aXbX", "a*b*c", false},
                    MaskCase{"\xc3\x84rger.wav", "\xc3\xa4*.WAV", true},
                    MaskCase{"x.avi", "*.wav", false}, MaskCase{"*x.avi", "*.avi", true},
                    MaskCase{"*star.wav", "*.wav", true}, MaskCase{"a*b", "a?b", true}),
    [](const testing::TestParamInfo<MaskCase>& info) {
        return CaseName(std::string(info.param.name) + (info.param.matches ? "_in_" : "_not_in_") +
                        info.param.mask);
    });

// ---------------------------------------------------------------------------

BlockDeviceProbe FakeProbe() {
    BlockDeviceProbe probe;
    probe.IsRemovable = [](const QByteArray& majorMinor) { return majorMinor == "8:17"; };
    probe.LabelOf = [](const QByteArray& device) {
        return device == "/dev/sdb1" ? QStringLiteral("STICK") : QString();
    };
    return probe;
}

TEST(DriveTableTest, ShowsWhatAFileManagerShowsInMountPointOrder) {
    const QByteArray mountInfo =
        "22 27 0:21 / /proc rw - proc proc rw\n"
        "27 1 254:0 / / rw - ext4 /dev/vda rw\n"
        "25 24 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
        "31 23 0:28 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n"
        "40 27 8:17 / /media/me/STICK rw - vfat /dev/sdb1 rw\n"
        "41 27 11:0 / /media/me/My\\040Disc ro - iso9660 /dev/sr0 ro\n"
        "42 27 0:50 / /mnt/share rw - cifs //server/music rw\n"
        "43 27 0:51 / /mnt/nfs rw shared:5 - nfs4 host:/export rw\n"
        "44 27 0:52 / /mnt/sandbox ro - tmpfs none ro\n"
        "45 27 8:2 / /mnt/data rw - ext4 /dev/sda2 rw\n"
        "46 27 0:53 / /home/me/remote rw - fuse.sshfs me@box:/srv rw\n";
    const std::vector<DriveInfo> drives = ParseMountInfo(mountInfo, FakeProbe());
    struct Expected {
        char letter;
        const char* root;
        unsigned type;
        const char* remote;
    };
    const Expected expected[] = {
        {'c', "/", DRIVE_FIXED, ""},
        {'d', "/dev/shm", DRIVE_RAMDISK, ""},
        {'e', "/home/me/remote", DRIVE_REMOTE, "me@box:/srv"},
        {'f', "/media/me/My Disc", DRIVE_CDROM, ""},
        {'g', "/media/me/STICK", DRIVE_REMOVABLE, ""},
        {'h', "/mnt/data", DRIVE_FIXED, ""},
        {'i', "/mnt/nfs", DRIVE_REMOTE, "host:/export"},
        {'j', "/mnt/share", DRIVE_REMOTE, "\\\\server\\music"},
    };
    ASSERT_EQ(drives.size(), std::size(expected));
    for (size_t i = 0; i < drives.size(); ++i) {
        EXPECT_EQ(drives[i].Letter, expected[i].letter) << i;
        EXPECT_EQ(drives[i].Root, QByteArray(expected[i].root)) << i;
        EXPECT_EQ(drives[i].Type, expected[i].type) << i;
        EXPECT_EQ(drives[i].RemoteName, QString::fromUtf8(expected[i].remote)) << i;
    }
    EXPECT_EQ(drives[4].Label, QStringLiteral("STICK"));
}

// Drive tables written as "c:/ d:/media/a": letter and root of each drive.
std::vector<DriveInfo> Drives(const char* text) {
    std::vector<DriveInfo> drives;
    for (const QString& entry : QString::fromLatin1(text).split(' ', Qt::SkipEmptyParts)) {
        DriveInfo drive;
        drive.Letter = entry[0].toLatin1();
        drive.Root = entry.mid(2).toLatin1();
        drives.push_back(drive);
    }
    return drives;
}

QString Text(const std::vector<DriveInfo>& drives) {
    QStringList entries;
    for (const DriveInfo& d : drives) entries << QChar(d.Letter) + QStringLiteral(":") + d.Root;
    return entries.join(' ');
}

struct LetterCase {
    const char* name;
    const char* previous;
    const char* fresh;  // as the mount table gives them now, in mount-point order
    const char* expected;
};

class KeepLettersTest : public testing::TestWithParam<LetterCase> {};

TEST_P(KeepLettersTest, AMountKeepsItsLetterWhileItStaysMounted) {
    const LetterCase& c = GetParam();
    EXPECT_EQ(Text(KeepLetters(Drives(c.previous), Drives(c.fresh))),
              QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, KeepLettersTest,
    testing::Values(LetterCase{"FirstReadInMountPointOrder", "", "c:/ d:/media/a e:/media/b",
                               "c:/ d:/media/a e:/media/b"},
                    LetterCase{"NewMountSortingFirstTakesTheNextLetter", "c:/ d:/media/b",
                               "c:/ d:/media/a e:/media/b", "c:/ d:/media/b e:/media/a"},
                    LetterCase{"UnmountedDriveGivesItsLetterUp", "c:/ d:/media/a e:/media/b",
                               "c:/ d:/media/b", "c:/ e:/media/b"},
                    LetterCase{"NewMountTakesTheLowestFreeLetter", "c:/ e:/media/b",
                               "c:/ d:/media/b e:/media/c", "c:/ d:/media/c e:/media/b"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DriveTableTest, DriveQueriesReadTheMountTableAfresh) {
    const QByteArray system = "27 1 254:0 / / rw - ext4 /dev/vda rw\n";
    QByteArray table = system;
    LinuxFileSystem fileSystem([&] { return table; }, FakeProbe(), {});
    EXPECT_EQ(fileSystem.GetLogicalDrives(), 1u << ('c' - 'a'));

    table += "50 27 0:60 / /media/stick rw - tmpfs stick rw\n";
    EXPECT_EQ(fileSystem.GetLogicalDrives(), (1u << ('c' - 'a')) | (1u << ('d' - 'a')));
    EXPECT_EQ(fileSystem.GetDriveType(QStringLiteral("d:\\")), unsigned{DRIVE_RAMDISK});

    table = system;
    EXPECT_EQ(fileSystem.GetDriveType(QStringLiteral("d:\\")), unsigned{DRIVE_NO_ROOT_DIR});
    EXPECT_FALSE(fileSystem.GetVolumeInformation(QStringLiteral("d:\\"), nullptr, nullptr));
}

TEST(DriveTableTest, AlwaysHasTheSystemDrive) {
    const std::vector<DriveInfo> drives = ParseMountInfo("garbage\n\n", FakeProbe());
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].Root, QByteArray("/"));
}

TEST(SystemFileSystemTest, DriveCIsTheRootAndItsWindowsFolderTheDataFolder) {
    LinuxFileSystem system;
    EXPECT_TRUE(system.GetLogicalDrives() & (1u << 2));
    EXPECT_EQ(system.NativePath(QStringLiteral("c:\\windows\\dclick.wav")),
              DataFolder() + "/dclick.wav");
    EXPECT_EQ(system.NativePath(QStringLiteral("C:\\usr\\share")), QByteArray("/usr/share"));
    EXPECT_EQ(system.DrivePath("/usr/share"), QStringLiteral("C:\\usr\\share"));
}

// ---------------------------------------------------------------------------

class FileSystemTest : public testing::Test {
  protected:
    TempDrives drives_{
        {.Letter = 'c'},
        {.Letter = 'd', .Type = DRIVE_REMOVABLE, .FileSystemType = QStringLiteral("vfat")},
        {.Letter = 'e', .Label = QStringLiteral("System")},
        {.Letter = 'f', .Type = DRIVE_REMOTE, .RemoteName = QStringLiteral("\\\\srv\\share")},
        {.Letter = 'h', .CreateRoot = false}};
    IFileSystem& fs_ = FileSystem();

    QStringList Find(const QString& pattern, unsigned attr) {
        QStringList names;
        TSearchRec found;
        const FindHandle handle = fs_.FindFirstFile(pattern, attr, found);
        if (handle == INVALID_HANDLE_VALUE) return names;
        do names.append(found.Name);
        while (fs_.FindNextFile(handle, found));
        EXPECT_TRUE(fs_.FindClose(handle));
        names.sort();
        return names;
    }
};

TEST_F(FileSystemTest, DrivesAndTheirQueries) {
    EXPECT_EQ(fs_.GetLogicalDrives(), 0b10111100u);
    EXPECT_EQ(fs_.GetDriveType(QStringLiteral("D:\\")), DRIVE_REMOVABLE);
    EXPECT_EQ(fs_.GetDriveType(QStringLiteral("z:\\")), DRIVE_NO_ROOT_DIR);

    QString label;
    unsigned flags = 0;
    ASSERT_TRUE(fs_.GetVolumeInformation(QStringLiteral("e:\\"), &label, &flags));
    EXPECT_EQ(label, QStringLiteral("System"));
    EXPECT_EQ(flags, FILE_CASE_PRESERVED_NAMES | FILE_CASE_SENSITIVE_SEARCH);
    ASSERT_TRUE(fs_.GetVolumeInformation(QStringLiteral("d:\\"), nullptr, &flags));
    EXPECT_EQ(flags, unsigned(FILE_CASE_PRESERVED_NAMES));
    // An unmounted drive: the query fails and says why.
    EXPECT_FALSE(fs_.GetVolumeInformation(QStringLiteral("h:\\"), &label, &flags));
    EXPECT_EQ(fs_.GetLastError(), ENOENT);

    QString remote;
    ASSERT_TRUE(fs_.WNetGetConnection(QStringLiteral("f:"), remote));
    EXPECT_EQ(remote, QStringLiteral("\\\\srv\\share"));
    EXPECT_FALSE(fs_.WNetGetConnection(QStringLiteral("e:"), remote));

    EXPECT_EQ(fs_.SetErrorMode(SEM_FAILCRITICALERRORS), 0u);
    EXPECT_EQ(fs_.SetErrorMode(0), unsigned(SEM_FAILCRITICALERRORS));
}

TEST_F(FileSystemTest, TranslatesDriveLetterPathsToNativeOnes) {
    drives_.MakeFolder("e/media");
    const struct {
        const char* path;
        QByteArray native;
    } cases[] = {
        {"e:\\media\\a.wav", drives_.Native("e/media/a.wav")},
        {"E:/media/../media/./a.wav", drives_.Native("e/media/a.wav")},
        {"e:\\..\\..\\x", drives_.Native("e/x")},
        {"c:\\windows\\dclick.wav", drives_.Native("windows/dclick.wav")},
        {"C:\\WINDOWS", drives_.Native("windows")},
        {"e:\\a\xef\x81\x9c"
         "b",
         drives_.Native("e/a\\b")},
        {"z:\\x", QByteArray()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fs_.NativePath(QString::fromUtf8(c.path)), c.native) << c.path;
    EXPECT_EQ(fs_.DrivePath(drives_.Native("e/media")), QStringLiteral("E:\\media"));
    EXPECT_EQ(fs_.DrivePath(drives_.Native("e")), QStringLiteral("E:\\"));
    EXPECT_EQ(fs_.DrivePath(drives_.Native("e/a\\b")), QString::fromUtf8("E:\\a\xef\x81\x9c"
                                                                         "b"));
    EXPECT_EQ(fs_.DrivePath("/elsewhere"), QString());
    drives_.Enter(QStringLiteral("e:\\media"));
    EXPECT_EQ(fs_.NativePath(QStringLiteral("\\x")), drives_.Native("e/x"));
    EXPECT_EQ(fs_.NativePath(QStringLiteral("sub\\y")), drives_.Native("e/media/sub/y"));
}

TEST_F(FileSystemTest, KeepsACurrentFolderPerDriveAndMovesTheProcess) {
    drives_.MakeFolder("d/x/y");
    drives_.MakeFolder("e/media/clips");
    drives_.Enter(QStringLiteral("d:\\x\\y"));
    drives_.Enter(QStringLiteral("E:\\media"));
    drives_.Enter(QStringLiteral("clips"));
    EXPECT_EQ(fs_.GetCurrentDirectory(), QStringLiteral("E:\\media\\clips"));
    EXPECT_EQ(TempDrives::ProcessDirectory(), drives_.Native("e/media/clips"));

    drives_.Enter(QStringLiteral("d:"));
    EXPECT_EQ(fs_.GetCurrentDirectory(), QStringLiteral("D:\\x\\y"));
    EXPECT_EQ(TempDrives::ProcessDirectory(), drives_.Native("d/x/y"));
    drives_.Enter(QStringLiteral(".."));
    EXPECT_EQ(fs_.GetCurrentDirectory(), QStringLiteral("D:\\x"));
    drives_.Enter(QStringLiteral("e:"));
    EXPECT_EQ(fs_.GetCurrentDirectory(), QStringLiteral("E:\\media\\clips"));
}

TEST_F(FileSystemTest, ARememberedFolderThatHasGoneFallsBackToTheRoot) {
    drives_.MakeFolder("d/gone");
    drives_.Enter(QStringLiteral("d:\\gone"));
    drives_.Enter(QStringLiteral("e:\\"));
    ASSERT_EQ(rmdir(drives_.Native("d/gone").constData()), 0);
    drives_.Enter(QStringLiteral("d:"));
    EXPECT_EQ(fs_.GetCurrentDirectory(), QStringLiteral("D:\\"));
}

TEST_F(FileSystemTest, ACurrentFolderDeletedBehindOurBackIsStillReported) {
    drives_.MakeFolder("e/gone");
    drives_.Enter(QStringLiteral("e:\\gone"));
    ASSERT_EQ(rmdir(drives_.Native("e/gone").constData()), 0);
    EXPECT_EQ(fs_.GetCurrentDirectory(), QStringLiteral("E:\\gone"));
    EXPECT_EQ(Find(QStringLiteral("*.*"), faDirectory), QStringList());
}

TEST_F(FileSystemTest, RefusedChangesGiveTheSystemsReason) {
    const struct {
        QString path;
        int error;
    } cases[] = {
        {QStringLiteral("e:\\missing"), ENOENT},
        {QStringLiteral("q:\\"), ENODEV},
        {QStringLiteral("h:"), ENOENT},
        {QStringLiteral("e:\\") + QString(5000, QLatin1Char('x')), ENAMETOOLONG},
        {QString(), ENOENT},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(fs_.SetCurrentDirectory(c.path)) << c.path.left(20).toStdString();
        EXPECT_EQ(fs_.GetLastError(), c.error) << c.path.left(20).toStdString();
    }
    EXPECT_EQ(fs_.GetCurrentDirectory(), QStringLiteral("C:\\"));
    EXPECT_EQ(SysErrorMessage(ENOENT), QStringLiteral("No such file or directory"));
    EXPECT_EQ(SysErrorMessage(9999), QStringLiteral("I/O error 9999"));
}

TEST_F(FileSystemTest, FindPassesOverWhatWasNotAskedFor) {
    drives_.MakeFolder("e/sub");
    drives_.MakeFolder("e/.hiddendir");
    drives_.MakeFile("e/a.wav");
    drives_.MakeFile("e/B.WAV");
    drives_.MakeFile("e/.secret.wav");
    drives_.MakeFile("e/noext");
    ASSERT_EQ(mkfifo(drives_.Native("e/pipe.wav").constData(), 0644), 0);
    const QString all = QStringLiteral("e:\\*.*");
    EXPECT_EQ(Find(QStringLiteral("e:\\*.wav"), 0), (QStringList{"B.WAV", "a.wav"}));
    EXPECT_EQ(Find(QStringLiteral("e:\\*.wav"), faHidden),
              (QStringList{".secret.wav", "B.WAV", "a.wav"}));
    EXPECT_EQ(Find(QStringLiteral("e:\\*.wav"), faSysFile),
              (QStringList{"B.WAV", "a.wav", "pipe.wav"}));
    EXPECT_EQ(Find(all, faDirectory), (QStringList{".", "..", "B.WAV", "a.wav", "noext", "sub"}));
    EXPECT_EQ(Find(QStringLiteral("e:\\*.avi"), 0), QStringList());

    TSearchRec found;
    const FindHandle handle = fs_.FindFirstFile(QStringLiteral("e:\\sub"), faDirectory, found);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(found.Attr & (faDirectory | faArchive | faHidden), unsigned(faDirectory));
    fs_.FindClose(handle);
    EXPECT_FALSE(fs_.FindClose(handle));
    EXPECT_EQ(fs_.FindFirstFile(QStringLiteral("e:\\missing\\*.*"), 0, found),
              INVALID_HANDLE_VALUE);
}

TEST_F(FileSystemTest, ReadOnlyFilesAreMarked) {
    if (geteuid() == 0) GTEST_SKIP() << "every file is writable for root";
    drives_.MakeFile("e/locked.wav");
    ASSERT_EQ(chmod(drives_.Native("e/locked.wav").constData(), 0444), 0);
    EXPECT_EQ(fs_.GetFileAttributes(QStringLiteral("e:\\locked.wav")), int(faArchive | faReadOnly));
    TSearchRec found;
    const FindHandle handle =
        fs_.FindFirstFile(QStringLiteral("e:\\locked.wav"), faReadOnly, found);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(found.Attr, unsigned(faArchive | faReadOnly));
    fs_.FindClose(handle);
}

TEST_F(FileSystemTest, LinkLoopsAreListedAndRefusedWithoutHanging) {
    ASSERT_EQ(symlink("loop", drives_.Native("e/loop").constData()), 0);
    ASSERT_EQ(symlink("..", drives_.Native("e/up").constData()), 0);
    EXPECT_EQ(Find(QStringLiteral("e:\\*"), faDirectory), (QStringList{".", "..", "loop", "up"}));
    EXPECT_FALSE(fs_.SetCurrentDirectory(QStringLiteral("e:\\loop")));
    EXPECT_EQ(fs_.GetLastError(), ELOOP);
    // A link to a folder keeps the path it was entered by.
    drives_.Enter(QStringLiteral("e:\\up\\e"));
    EXPECT_EQ(fs_.GetCurrentDirectory(), QStringLiteral("E:\\up\\e"));
}

TEST_F(FileSystemTest, OddNamesComeBackToTheSameBytes) {
    const QByteArray names[] = {"new\nline.wav", "bad\xff\xfe.wav", "back\\slash.wav",
                                "tab\tand \xef\x81\x9c.wav"};
    for (const QByteArray& name : names) drives_.MakeFile("e/" + name, name);
    const QStringList found = Find(QStringLiteral("e:\\*.wav"), 0);
    ASSERT_EQ(found.size(), 4);
    for (const QString& name : found) {
        const QByteArray native = fs_.NativePath(QStringLiteral("e:\\") + name);
        EXPECT_TRUE(native.startsWith(drives_.Native("e/")));
        const QByteArray bytes = native.mid(drives_.Native("e/").size());
        EXPECT_TRUE(std::find(std::begin(names), std::end(names), bytes) != std::end(names))
            << bytes.toHex().constData();
        EXPECT_EQ(fs_.GetFileAttributes(QStringLiteral("e:\\") + name), int(faArchive));
    }
}

TEST(NativeNamesTest, DisplayShowsOddCharactersReadably) {
    const struct {
        QByteArray bytes;
        const char* shown;
    } cases[] = {
        {"plain.wav", "plain.wav"}, {"new\nline", "new\xe2\x90\x8aline"}, {"bad\xff", "bad\\xFF"},
        {"a\\b", "a\\b"},           {"del\x7f", "del\xe2\x90\xa1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DisplayName(FromNativeName(c.bytes)), QString::fromUtf8(c.shown)) << c.shown;
}

}  // namespace
