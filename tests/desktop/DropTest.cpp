#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "app/PlayerState.h"
#include "desktop/DropRouter.h"
#include "filectl/FileCtrl.h"
#include "skin/TransBtn.h"
#include "support/DesktopFixture.h"
#include "support/ShownMessages.h"
#include "support/TempDrives.h"
#include "toolkit/ListBox.h"

namespace {

// Drive C: with 25 clips, a sub-folder and a text file in C:\clips, and a
// clip elsewhere; made before the window, which starts in C:\clips.
struct DropDrive {
    TempDrives drives{{'c'}};
    DropDrive() {
        drives.MakeFolder("c/clips/sub");
        for (int i = 0; i < 25; ++i)
            drives.MakeFile("c/clips/clip" + QByteArray::number(10 + i) + ".wav");
        drives.MakeFile("c/clips/notes.txt");
        drives.MakeFolder("c/other");
        drives.MakeFile("c/other/far.AVI");
        drives.Enter("C:\\clips");
    }
};

struct DropCase {
    const char* name;
    QList<QByteArray> dropped;  // below the drives' folder
    QStringList listed;         // what the setup view's list holds afterwards
    QString message;            // "" none
};

// ctest names a case by what it prints: its name.
template <class Case>
auto operator<<(std::ostream& os, const Case& c) -> decltype(c.name, os) {
    return os << c.name;
}

QList<QByteArray> Clips(int count) {
    QList<QByteArray> clips;
    for (int i = 0; i < count; ++i) clips << "c/clips/clip" + QByteArray::number(10 + i) + ".wav";
    return clips;
}

QStringList ClipPaths(int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) paths << QStringLiteral("C:\\clips\\clip%1.wav").arg(10 + i);
    return paths;
}

class DropWindow : public DropDrive, public DesktopFixture {
  public:
    DropWindow() {
        form->fl1->HandleNeeded();
        form->dl1->HandleNeeded();
        form->ld1DblClick(nullptr);  // as the window's activation does
    }

    // What a file manager sends: enter, then drop, of file:// URIs.
    bool Drop(const QList<QByteArray>& relatives) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QByteArray& relative : relatives)
            urls << (relative.contains("://")
                         ? QUrl(QString::fromUtf8(relative))
                         : QUrl::fromLocalFile(QString::fromUtf8(drives.Native(relative))));
        data.setUrls(urls);
        QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(form.get(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(form.get(), &drop);
        ProcessEvents();
        return true;
    }

    QString Listed() const { return form->lb1->Items().ToStringList().join('|'); }

    ShownMessages messages;
};

class Drops : public DropWindow, public ::testing::WithParamInterface<DropCase> {};

TEST_P(Drops, GoWhereTheSetupViewPutsThem) {
    const DropCase& c = GetParam();
    new TDropRouter(*form);
    Enter(View::Playback);
    mci->ClearCalls();
    ASSERT_TRUE(Drop(c.dropped));
    EXPECT_EQ(presses.join(' '), "bsetup") << "the setup view opens as Setup opens it";
    EXPECT_EQ(Listed(), c.listed.join('|'));
    EXPECT_EQ(PlaylistCount, c.listed.size() + 1);
    EXPECT_EQ(messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
    EXPECT_EQ(Commands(), "") << "nothing plays before OK";
}

const QString kSkipped =
    QStringLiteral("Not added to the playlist (only .wav and .avi files, at most 20):\n%1");

INSTANTIATE_TEST_SUITE_P(
    Cases, Drops,
    ::testing::Values(
        DropCase{"ThreeFilesInTheirOrder",
                 {"c/clips/clip12.wav", "c/other/far.AVI", "c/clips/clip10.wav"},
                 {"C:\\clips\\clip12.wav", "C:\\other\\far.AVI", "C:\\clips\\clip10.wav"},
                 {}},
        DropCase{
            "TwentyFiveFiles", Clips(25), ClipPaths(20),
            kSkipped.arg(
                "No room left (5): clip30.wav, clip31.wav, clip32.wav, clip33.wav, clip34.wav")},
        DropCase{
            "AFolderAndATextFile",
            {"c/clips/sub", "c/clips/notes.txt", "c/clips/gone.wav"},
            {},
            kSkipped.arg("Folders (1): sub\nOther types (1): notes.txt\nNot found (1): gone.wav")},
        DropCase{"AWebAddressBesideAFile",
                 {"https://example.org/a.wav", "c/clips/clip10.wav"},
                 ClipPaths(1),
                 kSkipped.arg("Not local files (1): https://example.org/a.wav")}),
    [](const ::testing::TestParamInfo<DropCase>& info) { return info.param.name; });

TEST_F(Drops, AreRefusedWhereSetupIsNotAvailable) {
    new TDropRouter(*form);
    form->bsetup->SetEnabled(false);
    EXPECT_FALSE(Drop(Clips(1)));
    EXPECT_EQ(PlaylistCount, 0);
    EXPECT_FALSE(form->fl1->Visible());
}

TEST_F(Drops, IntoAnOpenSetupViewAddToWhatIsThere) {
    new TDropRouter(*form);
    Enter(View::Setup);
    ASSERT_TRUE(Drop(Clips(2)));
    ASSERT_TRUE(Drop({"c/other/far.AVI"}));
    EXPECT_EQ(presses.join(' '), "");
    EXPECT_EQ(Listed(), (ClipPaths(2) << "C:\\other\\far.AVI").join('|'));
}

// The message box of a drop of 5,000 files names ten and fits the screen.
TEST_F(Drops, OfThousandsNameAFewInABoxThatFitsTheScreen) {
    new TDropRouter(*form);
    Enter(View::Setup);
    QList<QByteArray> many;
    drives.MakeFolder("c/many");
    for (int i = 0; i < 5000; ++i) {
        many << "c/many/clip" + QByteArray::number(10000 + i) + ".wav";
        drives.MakeFile(many.last());
    }
    ASSERT_TRUE(Drop(many));
    ASSERT_EQ(messages.size(), 1);
    QStringList named;
    for (int i = 10020; i < 10030; ++i) named << QStringLiteral("clip%1.wav").arg(i);
    EXPECT_EQ(messages[0],
              kSkipped.arg("No room left (4980): " + named.join(", ") + " and 4970 more"));
    QSize box;
    QTimer::singleShot(0, [&box] { box = QApplication::activeModalWidget()->frameSize(); });
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    Application->ShowMessageBox(messages[0] + QString(5000, QLatin1Char('x')));
    EXPECT_TRUE(form->screen()->availableSize().expandedTo(box) == form->screen()->availableSize());
}

using View = DesktopFixture::View;

struct OpenCase {
    const char* name;
    View view;
    QList<QByteArray> files;
    const char* plays;  // "" nothing new
    QString message = {};
};

class Opens : public DropWindow, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(Opens, MakeThePlaylistAndPlayTheFirstOrChangeNothing) {
    const OpenCase& c = GetParam();
    Enter(c.view);
    QList<QByteArray> natives;
    for (const QByteArray& file : c.files) natives << drives.Native(file);
    (new TDropRouter(*form))->Open(natives);
    ProcessEvents();
    EXPECT_EQ(OpenFile(), QString(c.plays));
    EXPECT_EQ(messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
    if (*c.plays == '\0') {
        EXPECT_EQ(PlaylistCount, 2) << "the playlist stays";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Opens,
    ::testing::Values(OpenCase{"TwoFiles",
                               View::Playback,
                               {"c/clips/clip12.wav", "c/clips/clip10.wav"},
                               "C:\\clips\\clip12.wav"},
                      OpenCase{"InTheHelpView", View::Help, Clips(1), "",
                               "The files were not opened: close the help first."},
                      OpenCase{"NoneToAdd",
                               View::Playback,
                               {"c/clips/notes.txt"},
                               "",
                               kSkipped.arg("Other types (1): notes.txt")}),
    [](const ::testing::TestParamInfo<OpenCase>& info) { return info.param.name; });

}  // namespace
