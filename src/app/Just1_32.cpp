#include "app/Just1_32.h"

#include <QLoggingCategory>

#include "toolkit/Application.h"

Q_LOGGING_CATEGORY(lcGuard, "brelmo.guard", QtInfoMsg)

TPreviousInstance* PreviousInstance = nullptr;

namespace {

// The copy that ran first, as found by this one's guard; 0 when none was.
platform::WindowId runningCopy = 0;

}  // namespace

namespace Just1_32 {

void Initialize() {
    if (PreviousInstance) return;
    PreviousInstance = new TPreviousInstance;
    platform::IInstance& instance = platform::Instance();
    const QString name = Application ? Application->Title() : QString();
    PreviousInstance->MutexHandle = instance.CreateMutex(name);
    if (PreviousInstance->MutexHandle != 0 &&
        instance.GetLastError() == platform::ERROR_ALREADY_EXISTS) {
        PreviousInstance->AlreadyRunning = true;
        instance.CloseHandle(PreviousInstance->MutexHandle);
        PreviousInstance->MutexHandle = 0;
    }
}

void Finalize() {
    if (!PreviousInstance) return;
    if (PreviousInstance->MutexHandle != 0)
        platform::Instance().CloseHandle(PreviousInstance->MutexHandle);
    delete PreviousInstance;
    PreviousInstance = nullptr;
}

void BringForward(platform::WindowId window) {
    if (window == 0) return;
    platform::IInstance& instance = platform::Instance();
    if (instance.IsIconic(window))
        instance.ShowWindow(window, platform::SW_RESTORE);
    else
        instance.BringWindowToTop(window);
}

// The title may have followed the emptied window text by now, so the copy
// is the one the guard found.
void HandOver(const QList<QByteArray>& nativePaths) {
    if (nativePaths.isEmpty() || runningCopy == 0) return;
    platform::Instance().OpenFiles(runningCopy, nativePaths);
}

}  // namespace Just1_32

namespace {

// The first search is taken to find this copy's own application window, the
// newest; emptying its text lets the second search reach the running copy.
void ForwardAndQuit() {
    platform::IInstance& instance = platform::Instance();
    const QString title = Application->Title();
    platform::WindowId window = instance.FindWindow(title);
    instance.SetWindowText(window, QString());
    window = instance.FindWindow(title);
    runningCopy = window;
    Just1_32::BringForward(window);
    qCInfo(lcGuard) << "another copy is running; it was brought forward and this one ends";
    Application->Terminate();
}

}  // namespace

TJustOne32::TJustOne32(TComponent* AOwner) : TComponent(AOwner) {
    if (PreviousInstance && PreviousInstance->AlreadyRunning && Application) ForwardAndQuit();
}
