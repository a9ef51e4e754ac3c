// Another process for the instance tests. It keeps its names in the folder
// given as the first argument and prints one line when it is in place:
//   mutex <folder> <name>            claims the mutex: "owner", "exists" or "none"
//   window <folder> <text> [iconic]  registers a window with a main form: "ready"
//   copy <folder> <name> <title> [iconic]
//                                    the guarded start-up of the program with
//                                    <name> as its file-name title: "serving"
//                                    or "forwarded"
//   rename <folder> <text>           renames the window "brelmo" to <text>:
//                                    "1" or "0"
// Then it waits until its standard input closes (or it is killed). A
// forwarded copy ends through its quit request.
#include <QSocketNotifier>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "app/Just1_32.h"
#include "platform/instance/LinuxInstance.h"
#include "toolkit/AppWindow.h"
#include "toolkit/Application.h"

namespace {

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// Ends the message loop when the test closes our standard input.
void QuitWhenInputCloses(QObject* parent) {
    auto* notifier = new QSocketNotifier(0, QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [notifier] {
        char buffer[256];
        if (std::fread(buffer, 1, sizeof buffer, stdin) == 0) {
            notifier->setEnabled(false);
            QCoreApplication::exit(0);
        }
    });
}

void ShowForm(QWidget& form, bool iconic) {
    form.resize(64, 48);
    if (iconic)
        form.showMinimized();
    else
        form.show();
    platform::Instance().SetMainForm(&form);
}

int HoldMutex(const QString& name) {
    platform::IInstance& instance = platform::Instance();
    const platform::HANDLE handle = instance.CreateMutex(name);
    if (handle == 0) {
        Say("none");
    } else if (instance.GetLastError() == platform::ERROR_ALREADY_EXISTS) {
        Say("exists");
        return 0;
    } else {
        Say("owner");
    }
    char buffer[256];
    while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
    return 0;
}

int ShowWindow(TApplication& application, const QString& text, bool iconic) {
    platform::Instance().RegisterApplicationWindow(text);
    QWidget form;
    ShowForm(form, iconic);
    QuitWhenInputCloses(&form);
    Say("ready");
    return application.Run();
}

// The start-up sequence of the program, with a plain widget as main form.
int RunCopy(TApplication& application, const QString& name, const QString& title, bool iconic) {
    application.SetTitle(name);
    RegisterApplicationWindow(application);
    Just1_32::Unit guard;
    application.SetTitle(title);
    QWidget form;
    TJustOne32 justOne(&application);
    ShowForm(form, iconic);
    QuitWhenInputCloses(&form);
    Say(PreviousInstance->AlreadyRunning ? "forwarded" : "serving");
    return application.Run();
}

int Rename(const QString& text) {
    platform::IInstance& instance = platform::Instance();
    Say(instance.SetWindowText(instance.FindWindow(QStringLiteral("brelmo")), text) ? "1" : "0");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtHost host(argc, argv);
    const QStringList args = host.arguments();
    if (args.size() < 4) return 2;
    platform::SetInstance(std::make_unique<platform::LinuxInstance>(args[2].toLocal8Bit()));
    TApplication application;
    const bool iconic = args.last() == QLatin1String("iconic");
    if (args[1] == QLatin1String("mutex")) return HoldMutex(args[3]);
    if (args[1] == QLatin1String("window")) return ShowWindow(application, args[3], iconic);
    if (args[1] == QLatin1String("rename")) return Rename(args[3]);
    if (args[1] == QLatin1String("copy") && args.size() >= 5)
        return RunCopy(application, args[3], args[4], iconic);
    return 2;
}
