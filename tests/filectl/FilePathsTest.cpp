#include <gtest/gtest.h>

#include "filectl/FilePaths.h"
#include "support/TempDrives.h"
#include "toolkit/Canvas.h"
#include "toolkit/Exceptions.h"

using platform::DRIVE_FIXED;

namespace {

class FilePathsTest : public testing::Test {
  protected:
    void SetUp() override {
        drives_.MakeFolder("e/MEDIA/CLIPS/NEW");
        drives_.MakeFile("e/MEDIA/CLIPS/a.wav");
        drives_.MakeFolder("d/x");
        drives_.Enter(QStringLiteral("d:\\x"));
        drives_.Enter(QStringLiteral("e:\\MEDIA\\CLIPS"));
    }

    TempDrives drives_{{.Letter = 'c'}, {.Letter = 'd'}, {.Letter = 'e'}};
};

TEST_F(FilePathsTest, SplitEntryTable) {
    const struct {
        const char* text;
        char drive;
        const char* dirPart;
        const char* filePart;
    } cases[] = {
        {"a.wav", 'E', "\\MEDIA\\CLIPS", "a.wav"},
        {"*.avi", 'E', "\\MEDIA\\CLIPS", "*.avi"},
        {"NEW", 'E', "\\MEDIA\\CLIPS\\NEW", ""},
        {"[NEW]", 'E', "\\MEDIA\\CLIPS\\NEW", ""},
        {"[..]", 'E', "\\MEDIA\\CLIPS\\..", ""},
        {"e:\\MEDIA\\CLIPS\\a.wav", 'e', "\\MEDIA\\CLIPS", "a.wav"},
        {"e:\\MEDIA", 'e', "\\MEDIA", ""},
        {"e:\\", 'e', "\\", ""},
        {"\\MEDIA", 'E', "\\MEDIA", ""},
        {"d:*.wav", 'd', "\\x", "*.wav"},
        {"NEW\\", 'E', "NEW", ""},
    };
    for (const auto& c : cases) {
        const TPathParts parts = SplitEntry(QString::fromUtf8(c.text));
        EXPECT_EQ(parts.Drive, QLatin1Char(c.drive)) << c.text;
        EXPECT_EQ(parts.DirPart, QString::fromUtf8(c.dirPart)) << c.text;
        EXPECT_EQ(parts.FilePart, QString::fromUtf8(c.filePart)) << c.text;
        EXPECT_EQ(GetCurrentDir(), QStringLiteral("E:\\MEDIA\\CLIPS")) << c.text;
    }
}

TEST_F(FilePathsTest, SplitEntryRestoresTheCurrentDirectoryWhenItFails) {
    EXPECT_THROW(SplitEntry(QStringLiteral("nothing")), EInOutError);
    EXPECT_THROW(SplitEntry(QStringLiteral("d:\\missing\\a.wav")), EInOutError);
    EXPECT_EQ(GetCurrentDir(), QStringLiteral("E:\\MEDIA\\CLIPS"));
    EXPECT_EQ(TempDrives::ProcessDirectory(), drives_.Native("e/MEDIA/CLIPS"));
}

TEST_F(FilePathsTest, ChDirRaisesTheSystemsText) {
    try {
        ChDir(QStringLiteral("e:\\missing"));
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("No such file or directory"));
        EXPECT_EQ(error.ErrorCode, ENOENT);
    }
}

TEST(PathHelpersTest, JoinPathAndPathLevel) {
    EXPECT_EQ(JoinPath(QStringLiteral("E:\\"), QStringLiteral("a")), QStringLiteral("E:\\a"));
    EXPECT_EQ(JoinPath(QStringLiteral("E:\\M"), QStringLiteral("a")), QStringLiteral("E:\\M\\a"));
    EXPECT_EQ(PathLevel(QStringLiteral("E:\\")), 1);
    EXPECT_EQ(PathLevel(QStringLiteral("E:\\MEDIA\\CLIPS")), 2);
}

TEST(PathHelpersTest, ShortenPathTable) {
    TCanvas canvas;
    const auto width = [&](const char* text) { return canvas.TextWidth(QString::fromUtf8(text)); };
    const struct {
        const char* path;
        int width;
        const char* shown;
    } cases[] = {
        {"E:\\MEDIA\\CLIPS\\NEW", width("E:\\MEDIA\\CLIPS\\NEW"), "E:\\MEDIA\\CLIPS\\NEW"},
        {"E:\\MEDIA\\CLIPS\\NEW", width("E:\\...\\CLIPS\\NEW"), "E:\\...\\CLIPS\\NEW"},
        {"E:\\MEDIA\\CLIPS\\NEW", width("E:\\...\\NEW"), "E:\\...\\NEW"},
        {"E:\\MEDIA\\CLIPS\\NEW", width("...\\NEW"), "...\\NEW"},
        {"E:\\MEDIA\\CLIPS\\NEW", 1, "NEW"},
        {"E:\\NEW", width("E:NEW"), "E:NEW"},
        {"E:\\NEW", 1, "NEW"},
        {"NEW", 1, "NEW"},
        {"E:\\...x\\NEW", width("E:\\...\\NEW"), "E:\\...\\NEW"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortenPath(QString::fromUtf8(c.path), canvas, c.width),
                  QString::fromUtf8(c.shown))
            << c.path << " in " << c.width;
}

}  // namespace
