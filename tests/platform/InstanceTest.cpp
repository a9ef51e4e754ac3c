#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>
#include <QWidget>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/instance/LinuxInstance.h"
#include "support/EnvironmentScope.h"
#include "support/InstanceHelperProcess.h"

using platform::ERROR_ALREADY_EXISTS;
using platform::ERROR_SUCCESS;
using platform::LinuxInstance;
using platform::WindowId;

namespace {

class InstanceTest : public testing::Test {
  protected:
    QByteArray Folder() const { return temp_.path().toLocal8Bit(); }
    QStringList Helper(const char* mode, const QString& a) const {
        return {QString::fromLatin1(mode), temp_.path(), a};
    }
    QStringList WindowFiles() const {
        return QDir(temp_.path()).entryList({QStringLiteral("win-*")}, QDir::Files | QDir::System);
    }

    QTemporaryDir temp_;
};

// --- Mutexes ---------------------------------------------------------------

TEST_F(InstanceTest, FirstClaimOwnsTheNameAndLaterClaimsFindItTaken) {
    LinuxInstance first(Folder()), second(Folder());
    const auto held = first.CreateMutex(QStringLiteral("brelmo"));
    ASSERT_NE(held, 0);
    EXPECT_EQ(first.GetLastError(), ERROR_SUCCESS);

    const auto taken = second.CreateMutex(QStringLiteral("brelmo"));
    EXPECT_NE(taken, 0);
    EXPECT_EQ(second.GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(second.CloseHandle(taken));

    const auto other = second.CreateMutex(QStringLiteral("Brelmo"));
    EXPECT_EQ(second.GetLastError(), ERROR_SUCCESS) << "another name is another mutex";
    second.CloseHandle(other);

    EXPECT_TRUE(first.CloseHandle(held));
    second.CloseHandle(second.CreateMutex(QStringLiteral("brelmo")));
    EXPECT_EQ(second.GetLastError(), ERROR_SUCCESS) << "a closed handle frees the name";
}

TEST_F(InstanceTest, ClosingAnUnknownHandleFails) {
    LinuxInstance instance(Folder());
    EXPECT_FALSE(instance.CloseHandle(42));
    EXPECT_EQ(instance.GetLastError(), platform::ERROR_INVALID_HANDLE);
}

TEST_F(InstanceTest, NamesThatAreNotFileNamesStillWork) {
    LinuxInstance first(Folder()), second(Folder());
    for (const QString& name :
         {QStringLiteral("a/b\\c"), QStringLiteral(".."), QString(), QString(255, QChar(0x00e9))}) {
        first.CreateMutex(name);
        EXPECT_EQ(first.GetLastError(), ERROR_SUCCESS) << name.toStdString();
        second.CloseHandle(second.CreateMutex(name));
        EXPECT_EQ(second.GetLastError(), ERROR_ALREADY_EXISTS) << name.toStdString();
    }
    EXPECT_EQ(QDir(temp_.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 0);
}

TEST_F(InstanceTest, AnotherProcessHoldsTheNameUntilItEnds) {
    LinuxInstance instance(Folder());
    {
        InstanceHelperProcess holder(Helper("mutex", QStringLiteral("brelmo")));
        ASSERT_EQ(holder.ReadLine(), "owner");
        instance.CloseHandle(instance.CreateMutex(QStringLiteral("brelmo")));
        EXPECT_EQ(instance.GetLastError(), ERROR_ALREADY_EXISTS);
        EXPECT_EQ(holder.Finish(), 0);
    }
    instance.CloseHandle(instance.CreateMutex(QStringLiteral("brelmo")));
    EXPECT_EQ(instance.GetLastError(), ERROR_SUCCESS);
}

TEST_F(InstanceTest, AKilledHolderLeavesNothingBehindThatStopsTheNextClaim) {
    InstanceHelperProcess holder(Helper("mutex", QStringLiteral("brelmo")));
    ASSERT_EQ(holder.ReadLine(), "owner");
    holder.Kill();

    LinuxInstance instance(Folder());
    instance.CloseHandle(instance.CreateMutex(QStringLiteral("brelmo")));
    EXPECT_EQ(instance.GetLastError(), ERROR_SUCCESS);
}

// The private lock is machine-wide: names unique to the run keep parallel runs apart.
QString UniqueName() {
    return QUuid::createUuid().toString();
}

TEST_F(InstanceTest, WithoutAFolderThePrivateLockStillGuards) {
    LinuxInstance first{QByteArray()}, second{QByteArray()};
    const QString name = UniqueName();
    const auto held = first.CreateMutex(name);
    ASSERT_NE(held, 0);
    EXPECT_EQ(first.GetLastError(), ERROR_SUCCESS);
    second.CloseHandle(second.CreateMutex(name));
    EXPECT_EQ(second.GetLastError(), ERROR_ALREADY_EXISTS);
    first.CloseHandle(held);
    second.CloseHandle(second.CreateMutex(name));
    EXPECT_EQ(second.GetLastError(), ERROR_SUCCESS) << "a closed handle frees the private lock";
}

TEST_F(InstanceTest, AMutexFileReplacedByALinkStillGuardsAndLeavesTheTargetAlone) {
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("target"));
    const QString name = UniqueName();
    LinuxInstance first(Folder()), second(Folder());
    const auto held = first.CreateMutex(name);
    ASSERT_NE(held, 0);
    const QByteArray file = Folder() + "/mutex-" + name.toUtf8().toPercentEncoding();
    ASSERT_EQ(::unlink(file.constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), file.constData()), 0);

    second.CloseHandle(second.CreateMutex(name));
    EXPECT_EQ(second.GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(QFile::exists(target));
    first.CloseHandle(held);
}

TEST_F(InstanceTest, APrivateLockHeldInAnotherProcessCountsAsTaken) {
    LinuxInstance instance{QByteArray()};
    const QString name = UniqueName();
    InstanceHelperProcess holder({QStringLiteral("mutex"), QString(), name});
    ASSERT_EQ(holder.ReadLine(), "owner");
    instance.CloseHandle(instance.CreateMutex(name));
    EXPECT_EQ(instance.GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(holder.Finish(), 0);
}

// A socket of another user (nobody) on the private lock's name, held by a
// child process until the test hangs up. Needs root.
class Squatter {
  public:
    Squatter(const QByteArray& address, bool listening) {
        int ends[2];
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends);
        if ((pid_ = ::fork()) == 0) {
            sockaddr_un name{AF_UNIX, {}};
            std::memcpy(name.sun_path + 1, address.constData(),
                        static_cast<std::size_t>(address.size()));
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            char byte = 'r';
            if (::setresgid(65534, 65534, 65534) == 0 && ::setresuid(65534, 65534, 65534) == 0 &&
                ::bind(fd, reinterpret_cast<sockaddr*>(&name),
                       sizeof(sa_family_t) + 1 + address.size()) == 0 &&
                (!listening || ::listen(fd, 8) == 0) && ::write(ends[1], &byte, 1) == 1 &&
                ::close(ends[0]) == 0)
                ::read(ends[1], &byte, 1);
            ::_exit(0);
        }
        ::close(ends[1]);
        talk_ = ends[0];
    }
    ~Squatter() {
        ::close(talk_);
        ::waitpid(pid_, nullptr, 0);
    }
    bool Ready() const {
        char byte = 0;
        return ::read(talk_, &byte, 1) == 1;
    }

  private:
    pid_t pid_;
    int talk_;
};

struct SquatCase {
    const char* name;
    bool listening;
    bool linkedMutexFile;  // the mutex file is a symbolic link too
};

class SquattedLock : public InstanceTest, public testing::WithParamInterface<SquatCase> {};

TEST_P(SquattedLock, NeitherStopsThePlayerNorLetsASecondCopyRun) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can act as another user";
    const SquatCase& c = GetParam();
    const QString name = UniqueName();
    Squatter squatter(platform::PrivateLockAddress(Folder(), name), c.listening);
    ASSERT_TRUE(squatter.Ready());
    QTemporaryDir elsewhere;
    const QByteArray target = QFile::encodeName(elsewhere.filePath(QStringLiteral("target")));
    const QByteArray file = Folder() + "/mutex-" + name.toUtf8().toPercentEncoding();
    if (c.linkedMutexFile) {
        ASSERT_EQ(::symlink(target.constData(), file.constData()), 0);
    }

    LinuxInstance first(Folder()), second(Folder());
    const auto held = first.CreateMutex(name);
    EXPECT_NE(held, 0);
    EXPECT_EQ(first.GetLastError(), ERROR_SUCCESS) << "the squatter stopped the player";
    second.CloseHandle(second.CreateMutex(name));
    EXPECT_EQ(second.GetLastError(), ERROR_ALREADY_EXISTS) << "two copies would run";
    EXPECT_FALSE(QFile::exists(QFile::decodeName(target)));
    first.CloseHandle(held);
}

INSTANTIATE_TEST_SUITE_P(Squats, SquattedLock,
                         testing::Values(SquatCase{"BoundNotListening", false, false},
                                         SquatCase{"Listening", true, false},
                                         SquatCase{"ListeningAndTheMutexFileALink", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The private folder ----------------------------------------------------

class RuntimeFolderTest : public InstanceTest {
  protected:
    QByteArray Expected() const { return Folder() + "/brelmo"; }
    QByteArray Resolve() { return platform::PrivateRuntimeFolder(&refusal_); }

    EnvironmentScope runtimeFolder_{"XDG_RUNTIME_DIR", Folder()};
    QString refusal_;
};

TEST_F(RuntimeFolderTest, IsMadePrivateUnderTheRuntimeFolder) {
    EXPECT_EQ(Resolve(), Expected());
    EXPECT_TRUE(refusal_.isEmpty());
    struct stat status {};
    ASSERT_EQ(::lstat(Expected().constData(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0700u);
}

TEST_F(RuntimeFolderTest, AnOwnFolderOpenToOthersIsClosed) {
    ASSERT_EQ(::mkdir(Expected().constData(), 0777), 0);
    ::chmod(Expected().constData(), 0777);
    EXPECT_EQ(Resolve(), Expected());
    struct stat status {};
    ::lstat(Expected().constData(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
}

TEST_F(RuntimeFolderTest, ASymbolicLinkIsRefusedAndNotFollowed) {
    QTemporaryDir elsewhere;
    ASSERT_EQ(::symlink(elsewhere.path().toLocal8Bit().constData(), Expected().constData()), 0);
    EXPECT_TRUE(Resolve().isEmpty());
    EXPECT_TRUE(refusal_.contains(QStringLiteral("symbolic link"))) << refusal_.toStdString();
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
}

TEST_F(RuntimeFolderTest, AFolderOfAnotherUserIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder away";
    ASSERT_EQ(::mkdir(Expected().constData(), 0700), 0);
    ASSERT_EQ(::chown(Expected().constData(), 65534, 65534), 0);
    EXPECT_TRUE(Resolve().isEmpty());
    EXPECT_TRUE(refusal_.contains(QStringLiteral("another user"))) << refusal_.toStdString();
}

TEST_F(RuntimeFolderTest, ARefusedFolderStillGuardsThroughThePrivateLock) {
    ASSERT_EQ(::symlink("/tmp", Expected().constData()), 0);
    LinuxInstance instance, other;
    EXPECT_TRUE(instance.Folder().isEmpty());
    const auto held = instance.CreateMutex(QStringLiteral("brelmo"));
    EXPECT_EQ(instance.GetLastError(), ERROR_SUCCESS);
    other.CloseHandle(other.CreateMutex(QStringLiteral("brelmo")));
    EXPECT_EQ(other.GetLastError(), ERROR_ALREADY_EXISTS);
    instance.CloseHandle(held);
    // The own window still works, on its own.
    const WindowId own = instance.RegisterApplicationWindow(QStringLiteral("brelmo"));
    EXPECT_EQ(instance.FindWindow(QStringLiteral("brelmo")), own);
}

// --- Windows ---------------------------------------------------------------

TEST_F(InstanceTest, FindWindowReturnsTheNewestLiveMatchIncludingTheOwn) {
    LinuxInstance a(Folder()), b(Folder()), c(Folder());
    const WindowId ownA = a.RegisterApplicationWindow(QStringLiteral("brelmo"));
    b.RegisterApplicationWindow(QStringLiteral("brelmo"));
    c.RegisterApplicationWindow(QStringLiteral("other"));

    const WindowId found = a.FindWindow(QStringLiteral("brelmo"));
    EXPECT_NE(found, 0);
    EXPECT_NE(found, ownA) << "b registered later and stands on top";
    EXPECT_EQ(a.FindWindow(QStringLiteral("brelmo")), found) << "the same window, the same handle";
    EXPECT_EQ(b.FindWindow(QStringLiteral("brelmo")), b.FindWindow(QStringLiteral("brelmo")));
    EXPECT_EQ(a.FindWindow(QStringLiteral("Brelmo")), 0) << "the text must match exactly";
    EXPECT_NE(a.FindWindow(QStringLiteral("other")), 0);
}

TEST_F(InstanceTest, AClaimThatFindsTheNameTakenPutsTheOwnWindowOnTop) {
    LinuxInstance late(Folder()), holder(Folder());
    const WindowId own = late.RegisterApplicationWindow(QStringLiteral("brelmo"));
    holder.RegisterApplicationWindow(QStringLiteral("brelmo"));
    holder.CreateMutex(QStringLiteral("m"));
    ASSERT_NE(late.FindWindow(QStringLiteral("brelmo")), own);

    late.CreateMutex(QStringLiteral("m"));
    ASSERT_EQ(late.GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(late.FindWindow(QStringLiteral("brelmo")), own);
}

TEST_F(InstanceTest, TheOwnWindowIsActedOnDirectly) {
    LinuxInstance instance(Folder());
    QStringList told;
    instance.OnWindowTextChange = [&](const QString& text) { told << text; };
    const WindowId own = instance.RegisterApplicationWindow(QStringLiteral("brelmo"));

    EXPECT_FALSE(instance.IsIconic(own)) << "no main form yet";
    EXPECT_FALSE(instance.BringWindowToTop(own));

    QWidget form;
    form.showMinimized();
    instance.SetMainForm(&form);
    EXPECT_TRUE(instance.IsIconic(own));
    EXPECT_FALSE(instance.ShowWindow(own, 5)) << "only restore is carried out";
    EXPECT_TRUE(instance.ShowWindow(own, platform::SW_RESTORE));
    EXPECT_FALSE(form.isMinimized());
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(instance.BringWindowToTop(own));

    EXPECT_TRUE(instance.SetWindowText(own, QString()));
    EXPECT_EQ(instance.FindWindow(QStringLiteral("brelmo")), 0);
    EXPECT_EQ(told, QStringList{QString()});
}

TEST_F(InstanceTest, NoWindowAndUnknownWindowsDoNothing) {
    LinuxInstance instance(Folder());
    for (const WindowId window : {WindowId(0), WindowId(99)}) {
        EXPECT_FALSE(instance.SetWindowText(window, QString()));
        EXPECT_FALSE(instance.IsIconic(window));
        EXPECT_FALSE(instance.ShowWindow(window, platform::SW_RESTORE));
        EXPECT_FALSE(instance.BringWindowToTop(window));
    }
}

TEST_F(InstanceTest, RequestsToAnotherProcessAreCarriedOutOnItsMainForm) {
    InstanceHelperProcess other({QStringLiteral("window"), temp_.path(), QStringLiteral("brelmo"),
                                 QStringLiteral("iconic")});
    ASSERT_EQ(other.ReadLine(), "ready");
    LinuxInstance instance(Folder());
    instance.RegisterApplicationWindow(QStringLiteral("mine"));

    const WindowId window = instance.FindWindow(QStringLiteral("brelmo"));
    ASSERT_NE(window, 0);
    EXPECT_TRUE(instance.IsIconic(window));
    EXPECT_TRUE(instance.ShowWindow(window, platform::SW_RESTORE));
    EXPECT_FALSE(instance.IsIconic(window));
    EXPECT_TRUE(instance.BringWindowToTop(window));

    EXPECT_FALSE(instance.SetWindowText(window, QStringLiteral("renamed")))
        << "only a copy of the same program renames a window";
    InstanceHelperProcess copy(Helper("rename", QStringLiteral("new\ntext with spaces")));
    EXPECT_EQ(copy.ReadLine(), "1");
    EXPECT_EQ(instance.FindWindow(QStringLiteral("brelmo")), 0);
    EXPECT_EQ(instance.FindWindow(QStringLiteral("new\ntext with spaces")), window);
    EXPECT_EQ(other.Finish(), 0);
}

TEST_F(InstanceTest, WindowsOfKilledProcessesAreSkippedAndCleaned) {
    LinuxInstance instance(Folder());
    const WindowId own = instance.RegisterApplicationWindow(QStringLiteral("brelmo"));
    {
        InstanceHelperProcess killed(Helper("window", QStringLiteral("brelmo")));
        ASSERT_EQ(killed.ReadLine(), "ready");
        const WindowId theirs = instance.FindWindow(QStringLiteral("brelmo"));
        EXPECT_NE(theirs, own);
        killed.Kill();
        EXPECT_FALSE(instance.BringWindowToTop(theirs));
    }
    EXPECT_EQ(WindowFiles().size(), 6) << "the killed copy left its files";
    EXPECT_EQ(instance.FindWindow(QStringLiteral("brelmo")), own);
    EXPECT_EQ(WindowFiles().size(), 3) << WindowFiles().join(' ').toStdString();
}

TEST_F(InstanceTest, ACopyThatDoesNotAnswerCountsAsNotThere) {
    // A second registry in this very thread cannot answer while we wait.
    LinuxInstance instance(Folder()), silent(Folder());
    QWidget form;
    form.showMinimized();
    silent.SetMainForm(&form);
    silent.RegisterApplicationWindow(QStringLiteral("silent"));
    const WindowId window = instance.FindWindow(QStringLiteral("silent"));
    ASSERT_NE(window, 0);
    EXPECT_FALSE(instance.IsIconic(window));
}

TEST_F(InstanceTest, AClosedRegistryTakesItsFilesAlong) {
    {
        LinuxInstance instance(Folder());
        instance.RegisterApplicationWindow(QStringLiteral("brelmo"));
        EXPECT_EQ(WindowFiles().size(), 3);
    }
    EXPECT_TRUE(WindowFiles().isEmpty());
}

}  // namespace
