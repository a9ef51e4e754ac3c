#include "entry/Run.h"

#include "app/AppInfo.h"
#include "app/Just1_32.h"
#include "app/Main.h"
#include "desktop/Accessibility.h"
#include "desktop/Desktop.h"
#include "entry/CommandLine.h"
#include "platform/QuitSignals.h"
#include "platform/files/FileSystem.h"
#include "platform/instance/Instance.h"
#include "toolkit/AppWindow.h"
#include "toolkit/Application.h"
#include "toolkit/ModuleTitle.h"

#include <QIcon>
#include <cstdio>

namespace {

// Centring and raising need X11, so a Wayland session that offers XWayland
// runs us through it; without it we run on Wayland itself. Named outright, so
// that the toolkit's own guesses from the session never come into it.
void ChooseWindowSystem() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    else if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "wayland");
}

// A session that names no bus has none we should use. The bus library would
// otherwise run dbus-launch to make one (for the desktop media controls and
// the accessibility bridge), which costs a process at every start and leaves
// a stray bus behind. The one place a bus is found unnamed, the user's bus
// socket in the runtime folder, is still looked at; where that is missing
// too, connecting fails at once and the media controls say so in one line.
void NoBusUnlessNamed() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            runtime.isEmpty() ? QByteArray("disabled:") : "unix:path=" + runtime + "/bus");
}

// Another copy runs in another folder: it is given full paths.
QList<QByteArray> FullPaths(QList<QByteArray> files) {
    platform::IFileSystem& fileSystem = platform::FileSystem();
    const QByteArray folder = fileSystem.NativePath(fileSystem.GetCurrentDirectory());
    for (QByteArray& file : files)
        if (!file.startsWith('/')) file.prepend(folder.endsWith('/') ? folder : folder + '/');
    return files;
}

// One identity for the window system, the dock and the launcher: the
// desktop file's name is the application id, and so are both parts of the
// X11 window class and the Wayland app id; the icon is the installed one.
void TakeTheApplicationId() {
    QGuiApplication::setDesktopFileName(QString::fromLatin1(appinfo::kId));
    QCoreApplication::setApplicationName(QString::fromLatin1(appinfo::kId));
}

}  // namespace

int RunBrelmo(int argc, char** argv, const std::function<void(TForm1&)>& started) {
    if (const auto answer = CommandLineAnswer(argc, argv)) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
    ChooseWindowSystem();
    NoBusUnlessNamed();
    TakeTheApplicationId();
    // Qt's own options (-reverse, -style, -platform, ...) are not honoured:
    // Qt is given the program's name alone, and the window class's instance
    // name.
    static char fallbackName[] = "brelmo";
    static char nameOption[] = "-name";
    QByteArray id(appinfo::kId);
    char* qtArgv[] = {argc > 0 ? argv[0] : fallbackName, nameOption, id.data(), nullptr};
    int qtArgc = 3;
    TQtHost host(qtArgc, qtArgv);
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(appinfo::kId)));
    const QList<QByteArray> files = FullPaths(CommandLineFiles(argc, argv));
    TApplication application;
    application.SetTitle(ModuleTitle(QCoreApplication::applicationFilePath()));
    RegisterApplicationWindow(application);
    const Just1_32::Unit guard;

    application.SetTitle(QStringLiteral("brelmo"));
    UsePlayerAccessibleInterfaces();
    auto* form = new TForm1(&application);
    platform::Instance().SetMainForm(form);
    AttachDesktop(*form, files);
    // Ended from outside, it closes as Exit closes it (without the click).
    platform::QuitOnSignals(form, [form] { form->Close(); });
    if (started) started(*form);
    // A second copy has already asked to quit: its window would only flash.
    if (application.Terminated())
        Just1_32::HandOver(files);
    else
        form->ShowForm();
    application.Run();
    return 0;
}
