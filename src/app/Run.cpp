#include "app/Run.h"

#include "app/Just1_32.h"
#include "app/Main.h"
#include "desktop/Desktop.h"
#include "platform/Instance.h"
#include "toolkit/AppWindow.h"
#include "toolkit/Application.h"
#include "toolkit/ModuleTitle.h"

int RunBrelmo(int argc, char** argv, const std::function<void(TForm1&)>& started) {
    // Exact window placement needs X11; a Wayland session runs us through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    TQtHost host(argc, argv);
    TApplication application;
    application.SetTitle(ModuleTitle(QCoreApplication::applicationFilePath()));
    RegisterApplicationWindow(application);
    const Just1_32::Unit guard;

    application.SetTitle(QStringLiteral("brelmo"));
    auto* form = new TForm1(&application);
    platform::Instance().SetMainForm(form);
    AttachDesktop(*form);
    if (started) started(*form);
    // A second copy has already asked to quit: its window would only flash.
    if (!application.Terminated()) form->ShowForm();
    application.Run();
    return 0;
}
