#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/Instance.h"

// A scripted instance service: the mutex answer is set by the test, windows
// are a list with the newest last, and every call is recorded as text
// ("FindWindow(brelmo)=2", "SetWindowText(2,)", "ShowWindow(1,9)", ...).
class FakeInstance : public platform::IInstance {
  public:
    struct Window {
        QString text;
        bool iconic = false;
    };

    // What CreateMutex returns and the error code that goes with it.
    platform::HANDLE mutexHandle = 7;
    unsigned mutexError = platform::ERROR_SUCCESS;
    std::vector<Window> windows;  // HWND n is windows[n - 1]
    QStringList calls;

    platform::HANDLE CreateMutex(const QString& name) override;
    bool CloseHandle(platform::HANDLE handle) override;
    unsigned GetLastError() const override { return lastError_; }

    platform::HWND RegisterApplicationWindow(const QString& text) override;
    void SetMainForm(QWidget*) override {}

    platform::HWND FindWindow(const QString& text) override;
    bool SetWindowText(platform::HWND window, const QString& text) override;
    bool IsIconic(platform::HWND window) override;
    bool ShowWindow(platform::HWND window, int command) override;
    bool BringWindowToTop(platform::HWND window) override;

  private:
    Window* At(platform::HWND window);

    unsigned lastError_ = platform::ERROR_SUCCESS;
};
