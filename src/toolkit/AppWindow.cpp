#include "toolkit/AppWindow.h"

#include "platform/instance/Instance.h"
#include "toolkit/Application.h"

void RegisterApplicationWindow(TApplication& application) {
    platform::IInstance& instance = platform::Instance();
    const platform::WindowId window = instance.RegisterApplicationWindow(application.Title());
    application.OnTitleChange = [window](const QString& title) {
        platform::Instance().SetWindowText(window, title);
    };
    instance.OnWindowTextChange = [&application](const QString& text) {
        Guarded([&] { application.SetTitle(text); });
    };
}
