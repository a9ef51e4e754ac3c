#include "toolkit/Application.h"

#include <QLoggingCategory>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "toolkit/Exceptions.h"
#include "toolkit/MessageText.h"

Q_LOGGING_CATEGORY(lcApplication, "brelmo.application")

TApplication* Application = nullptr;

namespace {

// Qt's window back ends draw nothing on a screen of fewer than 16 bits a
// pixel (a virtual display's default is 8): every window stays black. Said
// once, so that a black window is not a mystery.
void WarnOfAScreenTooShallow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && screen->depth() < 16)
        qCWarning(lcApplication,
                  "the screen has %d bits a pixel; windows are drawn only on 16 bits or more, "
                  "so they will stay black",
                  screen->depth());
}

}  // namespace

TQtHost::TQtHost(int& argc, char** argv) : QApplication(argc, argv) {
    WarnOfAScreenTooShallow();
}

bool TQtHost::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        qCCritical(lcApplication) << "an error unwound through Qt's event delivery to" << receiver;
        HandleUncaughtException();
    }
    return true;
}

void HandleUncaughtException() noexcept {
    try {
        throw;
    } catch (const std::exception& error) {
        if (Application)
            Application->HandleException(error);
        else
            qCWarning(lcApplication) << "uncaught error:" << error.what();
    } catch (...) {
        if (Application)
            Application->ShowException(QStringLiteral("Unknown error"));
        else
            qCWarning(lcApplication) << "uncaught error of unknown type";
    }
}

TApplication::TApplication() : TComponent(nullptr) {
    Application = this;
    OnShowMessage = [this](const QString& message) { ShowMessageBox(message); };
}

void TApplication::ShowMessageBox(const QString& message) const {
    QMessageBox::critical(nullptr, title_, FitForMessageBox(message));
}

TApplication::~TApplication() {
    if (Application == this) Application = nullptr;
}

void TApplication::SetTitle(const QString& title) {
    if (title == title_) return;
    title_ = title;
    if (mainForm_) mainForm_->setWindowTitle(title_);
    if (OnTitleChange) OnTitleChange(title_);
}

void TApplication::SetMainForm(QWidget* form) {
    mainForm_ = form;
    if (form) form->setWindowTitle(title_);
}

void TApplication::Terminate() {
    terminated_ = true;
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

int TApplication::Run() {
    return QCoreApplication::exec();
}

void TApplication::HandleException(const std::exception& error) {
    ShowException(ExceptionText(error));
}

void TApplication::ShowException(const QString& message) {
    pendingMessages_.append(message);
    QTimer::singleShot(0, qApp, [this] { ShowNextMessage(); });
}

void TApplication::ShowNextMessage() {
    if (showingMessage_ || pendingMessages_.isEmpty()) return;
    showingMessage_ = true;
    const QString message = pendingMessages_.takeFirst();
    if (OnShowMessage) OnShowMessage(message);
    showingMessage_ = false;
    if (!pendingMessages_.isEmpty()) QTimer::singleShot(0, qApp, [this] { ShowNextMessage(); });
}
