#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

namespace {

// The help text as compiled in, split into its lines. The file ends with a
// line feed after its last line.
QStringList HelpLines() {
    QFile file(QStringLiteral(":/help/help.txt"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    return text.split(QLatin1Char('\n'));
}

TEST(HelpText, HasFortySixLinesWithPlainLineFeeds) {
    QFile file(QStringLiteral(":/help/help.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.contains('\r'));
    EXPECT_TRUE(bytes.endsWith('\n'));
    EXPECT_EQ(HelpLines().size(), 46);
}

// The listed lines are the program's own wording, down to the trailing
// blanks, the doubled words and the misspellings: nobody "fixes" them.
TEST(HelpText, KeepsTheListedLinesExactly) {
    const QStringList lines = HelpLines();
    ASSERT_EQ(lines.size(), 46);
    const std::pair<int, const char*> expected[] = {
        {3, "NOTE:"},
        {4, "The Brelmo.exe and Dclick.wav files must be in your "},
        {5, "C:\\Windows directory."},
        {9, "2. Select the drive from where files are to be loaded  (from the "},
        {10, "\"Drive\" drop-down)."},
        {12, "\"Folder\" listbox)."},
        {16, "    or"},
        {21, "2. Click on the the file to be removed and click on REMOVE."},
        {26, "Click on Save to save the playlist file (The playlist will "},
        {35, "1. STOP; Toggle between Pause and Resume the "},
        {38, "3. PREVIOUS;  Play the previous file in the playlist."},
        {39, "4. REPLAY; Play the currrent file from start."},
        {42, "7. SAVE; Save the playlist file.(brelmo.txt)."},
        {43, "8. LOAD; Load the playlist file."},
    };
    for (const auto& [number, text] : expected)
        EXPECT_EQ(lines[number - 1].toStdString(), text) << "line " << number;
}

TEST(HelpText, HasEmptyLinesOnlyWhereListedAndOwnHeadingsAndClosing) {
    const QStringList lines = HelpLines();
    ASSERT_EQ(lines.size(), 46);
    const QList<int> empty{6, 18, 24, 28, 33, 44, 45};
    for (int number = 1; number <= 46; ++number)
        EXPECT_EQ(lines[number - 1].isEmpty(), empty.contains(number)) << "line " << number;
}

}  // namespace
