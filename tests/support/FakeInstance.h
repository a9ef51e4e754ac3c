#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/instance/Instance.h"
#include "support/ServiceScope.h"

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
    std::vector<Window> windows;  // WindowId n is windows[n - 1]
    QStringList calls;

    platform::HANDLE CreateMutex(const QString& name) override;
    bool CloseHandle(platform::HANDLE handle) override;
    unsigned GetLastError() const override { return lastError_; }

    platform::WindowId RegisterApplicationWindow(const QString& text) override;
    void SetMainForm(QWidget*) override {}

    platform::WindowId FindWindow(const QString& text) override;
    bool SetWindowText(platform::WindowId window, const QString& text) override;
    bool IsIconic(platform::WindowId window) override;
    bool ShowWindow(platform::WindowId window, int command) override;
    bool BringWindowToTop(platform::WindowId window) override;
    bool OpenFiles(platform::WindowId, const QList<QByteArray>&) override { return false; }

  private:
    Window* At(platform::WindowId window);

    unsigned lastError_ = platform::ERROR_SUCCESS;
};

using FakeInstanceScope = ServiceScope<platform::SetInstance, FakeInstance>;
