#include "support/FakeInstance.h"

using platform::HANDLE;
using platform::WindowId;

HANDLE FakeInstance::CreateMutex(const QString& name) {
    calls << QStringLiteral("CreateMutex(%1)=%2").arg(name).arg(mutexHandle);
    lastError_ = mutexError;
    return mutexHandle;
}

bool FakeInstance::CloseHandle(HANDLE handle) {
    calls << QStringLiteral("CloseHandle(%1)").arg(handle);
    return true;
}

WindowId FakeInstance::RegisterApplicationWindow(const QString& text) {
    windows.push_back({text});
    return static_cast<WindowId>(windows.size());
}

WindowId FakeInstance::FindWindow(const QString& text) {
    WindowId found = 0;
    for (WindowId i = static_cast<WindowId>(windows.size()); i >= 1 && found == 0; --i)
        if (windows[i - 1].text == text) found = i;
    calls << QStringLiteral("FindWindow(%1)=%2").arg(text).arg(found);
    return found;
}

bool FakeInstance::SetWindowText(WindowId window, const QString& text) {
    calls << QStringLiteral("SetWindowText(%1,%2)").arg(window).arg(text);
    Window* target = At(window);
    if (target) target->text = text;
    return target != nullptr;
}

bool FakeInstance::IsIconic(WindowId window) {
    calls << QStringLiteral("IsIconic(%1)").arg(window);
    return At(window) && At(window)->iconic;
}

bool FakeInstance::ShowWindow(WindowId window, int command) {
    calls << QStringLiteral("ShowWindow(%1,%2)").arg(window).arg(command);
    return At(window) != nullptr;
}

bool FakeInstance::BringWindowToTop(WindowId window) {
    calls << QStringLiteral("BringWindowToTop(%1)").arg(window);
    return At(window) != nullptr;
}

FakeInstance::Window* FakeInstance::At(WindowId window) {
    if (window < 1 || window > static_cast<WindowId>(windows.size())) return nullptr;
    return &windows[window - 1];
}
