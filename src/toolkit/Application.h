#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <exception>
#include <functional>

#include "toolkit/Component.h"

// The Qt application object. Errors of our handlers never reach it (see
// Guarded); notify() is only the last resort for one that did, logged as a
// fault because it has unwound through Qt's own frames on its way.
class TQtHost : public QApplication {
  public:
    TQtHost(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The program's application object: title, quit request, hints and the
// top-level error handler. One exists per process, reachable as Application.
class TApplication : public TComponent {
  public:
    TApplication();
    ~TApplication() override;

    const QString& Title() const { return title_; }
    void SetTitle(const QString& title);

    // Posts a quit request: the message loop ends when it takes the request.
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Runs the message loop until a quit request; returns its exit code.
    int Run();

    // The first form created; closing it ends the program. It is the window
    // a task bar lists, so its window title is the application title.
    QWidget* MainForm() const { return mainForm_; }
    void SetMainForm(QWidget* form);

    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show) { showHint_ = show; }

    // Shows the text of an exception that no handler caught. The box is shown
    // from the event loop, never inside the paint or mouse grab that failed;
    // several failures queue up and are shown one after the other.
    void HandleException(const std::exception& error);
    void ShowException(const QString& message);

    // Shows a message; the default is ShowMessageBox. Tests put a recorder here.
    std::function<void(const QString& message)> OnShowMessage;
    // A modal error box titled with the application title, cut to fit the screen.
    void ShowMessageBox(const QString& message) const;
    // Told whenever the title changes (the window registry follows it).
    std::function<void(const QString& title)> OnTitleChange;

  private:
    void ShowNextMessage();

    QString title_;
    QPointer<QWidget> mainForm_;
    bool showHint_ = true;
    bool terminated_ = false;
    bool showingMessage_ = false;
    QStringList pendingMessages_;
};

extern TApplication* Application;

// Hands the exception being handled to the application's error handler (or
// to the log when there is no application object).
void HandleUncaughtException() noexcept;

// Runs code of ours that Qt called: an event handler, a paint, a timer tick,
// a slot or a queued call. Qt is not built to be unwound through, so an error
// stops here and goes to the application's error handler; the program goes on.
template <class Body>
void Guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        HandleUncaughtException();
    }
}
