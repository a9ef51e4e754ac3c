#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "app/PlaylistFile.h"
#include "support/EnvironmentScope.h"
#include "toolkit/Exceptions.h"

namespace {

struct PlaylistFileTest : ::testing::Test {
    QTemporaryDir dir;
    TPlaylistFile file{dir.path() + "/sub/brelmo.txt"};

    void WriteRaw(const QByteArray& content) {
        QFile raw(file.Path());
        ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
        raw.write(content);
    }
    QByteArray ReadRaw() {
        QFile raw(file.Path());
        return raw.open(QIODevice::ReadOnly) ? raw.readAll() : QByteArray();
    }
    QString LoadError() {
        try {
            QString warning;
            file.Load(&warning);
        } catch (const Exception& e) {
            return e.Message();
        }
        return {};
    }
};

TEST_F(PlaylistFileTest, RoundTripKeepsOddNamesByteForByte) {
    const QList<QByteArray> paths = {"/clips/a.avi", "/clips/caf\xe9 \\ odd.wav", "/x y/#1.wav"};
    file.Save(paths);
    EXPECT_EQ(ReadRaw(),
              QByteArray("#EXTM3U\n/clips/a.avi\n/clips/caf\xe9 \\ odd.wav\n/x y/#1.wav\n"));
    QString warning = "untouched";
    EXPECT_EQ(file.Load(&warning), paths);
    EXPECT_TRUE(warning.isEmpty());
}

TEST_F(PlaylistFileTest, ReadsM3uCommentsBlankLinesAndCrLf) {
    file.Save({});
    WriteRaw("#EXTM3U\r\n\r\n/a.wav\r\n   \n#EXTINF:1,x\n/b.avi");
    QString warning;
    EXPECT_EQ(file.Load(&warning), (QList<QByteArray>{"/a.wav", "/b.avi"}));
}

// Lines as other players and editors write them; "@" stands for the
// playlist's own folder in the expected paths.
struct LineCase {
    const char* name;
    QByteArray content;
    QList<QByteArray> paths;
    QStringList reported;  // texts the warning must hold
};

struct PlaylistLines : PlaylistFileTest, ::testing::WithParamInterface<LineCase> {};

TEST_P(PlaylistLines, BecomePathsOrAreReportedByName) {
    file.Save({});
    WriteRaw(GetParam().content);
    QList<QByteArray> expected = GetParam().paths;
    for (QByteArray& path : expected) path.replace('@', QFile::encodeName(dir.path()) + "/sub");
    QString warning;
    EXPECT_EQ(file.Load(&warning), expected);
    for (const QString& text : GetParam().reported)
        EXPECT_TRUE(warning.contains(text)) << warning.toStdString();
    if (GetParam().reported.isEmpty()) {
        EXPECT_TRUE(warning.isEmpty()) << warning.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PlaylistLines,
    ::testing::Values(
        LineCase{"CarriageReturnsEndLines",
                 "/a.wav\r\r\n/b.wav\r/c.wav",
                 {"/a.wav", "/b.wav", "/c.wav"},
                 {}},
        LineCase{"RelativeLinesFromTheListsFolder",
                 "a.wav\nclips/b.avi\n../c.wav",
                 {"@/a.wav", "@/clips/b.avi", "@/../c.wav"},
                 {}},
        LineCase{"FileUrisDecoded",
                 "file:///x/caf%C3%A9%20a.wav\nfile://localhost/y.wav\nfile:/z%FF.wav",
                 {"/x/caf\xc3\xa9 a.wav", "/y.wav", "/z\xff.wav"},
                 {}},
        LineCase{"OtherUrisLeftOutAndNamed",
                 "http://host/a.wav\n/ok.wav\nfile://server/b.wav\nfile:///nul%00.wav",
                 {"/ok.wav"},
                 {"\"http://host/a.wav\"", "\"file://server/b.wav\"", "\"file:///nul%00.wav\""}},
        LineCase{"HeaderAndCommentsSkipped", "#EXTM3U\n#EXTINF:1,x\n/a.wav\n", {"/a.wav"}, {}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST_F(PlaylistFileTest, MoreThanTwentyEntriesAreCutAndReported) {
    QList<QByteArray> paths;
    for (int i = 0; i < 23; ++i) paths.append("/clip" + QByteArray::number(i) + ".wav");
    file.Save(paths);
    QString warning;
    const QList<QByteArray> loaded = file.Load(&warning);
    EXPECT_EQ(loaded.size(), 20);
    EXPECT_EQ(loaded.last(), "/clip19.wav");
    EXPECT_TRUE(warning.contains("23 entries")) << warning.toStdString();
}

TEST_F(PlaylistFileTest, LineBreakInANameIsRefusedAndTheOldFileStays) {
    file.Save({"/old.wav"});
    EXPECT_THROW(file.Save({"/new.wav", "/bad\nname.wav"}), Exception);
    EXPECT_EQ(ReadRaw(), QByteArray("#EXTM3U\n/old.wav\n"));
}

TEST_F(PlaylistFileTest, FailedWriteLeavesTheOldFileIntact) {
    file.Save({"/old.wav"});
    QList<QByteArray> longList;
    for (int i = 0; i < 20; ++i) longList.append(QByteArray(200, 'x'));
    // A file size limit makes the write fail half way, as a full disk would.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(file.Save(longList), Exception);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadRaw(), QByteArray("#EXTM3U\n/old.wav\n"));
}

TEST_F(PlaylistFileTest, BadFilesGiveClearMessages) {
    EXPECT_TRUE(LoadError().contains("no saved playlist"));
    file.Save({});
    WriteRaw(QByteArray("/a.wav\n\0\x01\x02", 10));
    EXPECT_TRUE(LoadError().contains("not a text file"));
    WriteRaw(QByteArray(300 * 1024, 'a'));
    EXPECT_TRUE(LoadError().contains("too large"));
    QFile::remove(file.Path());
    QDir().mkpath(file.Path());
    EXPECT_TRUE(LoadError().contains("could not be read")) << LoadError().toStdString();
    QDir().rmdir(file.Path());
    ASSERT_EQ(::mkfifo(QFile::encodeName(file.Path()).constData(), 0600), 0);
    EXPECT_TRUE(LoadError().contains("not a plain file")) << LoadError().toStdString();
}

TEST(PlaylistFileLocation, FollowsXdgDataHome) {
    const EnvironmentScope dataHome("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(TPlaylistFile::DefaultPath(), "/data/home/brelmo/brelmo.txt");
    dataHome.Set("relative");
    EXPECT_TRUE(TPlaylistFile::DefaultPath().endsWith("/.local/share/brelmo/brelmo.txt"));
}

}  // namespace
