#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace platform {

// A kernel object handle (a named mutex); 0 is no handle.
using HANDLE = std::intptr_t;
// A top-level window as this process knows it; 0 is no window.
using WindowId = std::intptr_t;

constexpr unsigned ERROR_SUCCESS = 0;
constexpr unsigned ERROR_ACCESS_DENIED = 5;
constexpr unsigned ERROR_INVALID_HANDLE = 6;
constexpr unsigned ERROR_ALREADY_EXISTS = 183;

constexpr int SW_RESTORE = 9;

// Named mutexes and the registry of top-level windows by which copies of the
// program meet one another. Called on the GUI thread only.
//
// Mutex: CreateMutex(name) claims the name for this process. It returns a
// handle, and GetLastError() then gives ERROR_ALREADY_EXISTS when another
// holder (another process, or another handle of this one) has the name, else
// ERROR_SUCCESS. The claim is atomic: of any number of callers at once,
// exactly one gets ERROR_SUCCESS. It returns 0 (no handle) when the names
// cannot be kept safely; the caller then runs unguarded. The name is held
// until CloseHandle or the end of the process, however it ends.
// Claiming a name also puts the own window (if registered) on top, in the
// same atomic step, so a copy that finds the name taken stands above the
// copy holding it.
//
// Window registry: each process registers one application window with its text; the
// newest registered window stands on top. FindWindow(text) returns the top
// live window whose text is exactly 'text', this process's own included;
// windows of processes that died are passed over and cleaned away.
// SetWindowText, IsIconic, ShowWindow and BringWindowToTop act on this
// process's own window at once; for another process's window they are
// requests carried out by that process on its main form, answered within
// about a second or counted as failed. None of them blocks longer. A rename
// (and files handed over) is carried out only when it comes from a process
// running the same program.
class IInstance {
  public:
    virtual ~IInstance() = default;

    virtual HANDLE CreateMutex(const QString& name) = 0;
    virtual bool CloseHandle(HANDLE handle) = 0;
    // The result code of the last CreateMutex or failed CloseHandle.
    virtual unsigned GetLastError() const = 0;

    // Registers this process's application window under 'text' and returns
    // it. A second call renames the window already registered.
    virtual WindowId RegisterApplicationWindow(const QString& text) = 0;
    // The form that restore, bring-to-top and is-iconic act on (none: they
    // do nothing and report false). Dropped when the form is destroyed.
    virtual void SetMainForm(QWidget* form) = 0;
    // Told when the own window's text is changed from outside, by another
    // process or through SetWindowText, so the application title follows.
    std::function<void(const QString& text)> OnWindowTextChange;

    virtual WindowId FindWindow(const QString& text) = 0;
    virtual bool SetWindowText(WindowId window, const QString& text) = 0;
    virtual bool IsIconic(WindowId window) = 0;
    // Only SW_RESTORE is carried out: show normal, raise, activate.
    // Activation asked for by another copy carries that copy's activation
    // token (XDG_ACTIVATION_TOKEN), where the window system takes one.
    virtual bool ShowWindow(WindowId window, int command) = 0;
    // Raise and activate; a window found minimised by then is restored first.
    virtual bool BringWindowToTop(WindowId window) = 0;
    // Hands files (native paths) to the window's process, which opens them
    // all at once through OnOpenFiles. True when every one was taken.
    virtual bool OpenFiles(WindowId window, const QList<QByteArray>& nativePaths) = 0;
    // Told when files are handed to the own window, by another process or
    // through OpenFiles.
    std::function<void(const QList<QByteArray>& nativePaths)> OnOpenFiles;
};

// The instance service in use; the Linux backend unless a test swapped in another.
IInstance& Instance();
// Puts 'instance' in place and returns the previous service (tests restore it).
std::unique_ptr<IInstance> SetInstance(std::unique_ptr<IInstance> instance);

}  // namespace platform
