#include "toolkit/Form.h"

#include <QCloseEvent>
#include <QScreen>
#include <QTimer>

#include "toolkit/Application.h"

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
    // The first form created is the application's main form.
    if (Application && !Application->MainForm()) Application->SetMainForm(this);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    SetBorderStyle(bsSizeable);
}

void TForm::SetCaption(const QString& caption) {
    caption_ = caption;
    // The main form's window title is the application title; its Caption
    // is only kept.
    if (!Application || Application->MainForm() != this) setWindowTitle(caption);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    borderStyle_ = style;
    Qt::WindowFlags flags = Qt::Window;
    if (style == bsNone) flags |= Qt::FramelessWindowHint;
    setWindowFlags(flags);
}

void TForm::CentreOnScreen() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QRect area = screen->geometry();
    move(area.left() + (area.width() - Width()) / 2, area.top() + (area.height() - Height()) / 2);
}

void TForm::ShowForm() {
    if (position_ == poScreenCenter) CentreOnScreen();
    show();
    raise();
    activateWindow();
    // A compositor may never activate a new window (focus-stealing
    // prevention, no seat): the window then starts as if it had been.
    QTimer::singleShot(kActivationWaitMs, this, [this] {
        if (isVisible()) Activated();
    });
}

void TForm::Activated() {
    if (activated_) return;
    activated_ = true;
    Guarded([this] {
        if (OnActivate) OnActivate(this);
    });
}

void TForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

bool TForm::event(QEvent* event) {
    const bool handled = TWinControl::event(event);
    if (event->type() == QEvent::WindowActivate) Activated();
    return handled;
}

void TForm::closeEvent(QCloseEvent* event) {
    TWinControl::closeEvent(event);
    if (event->isAccepted() && Application && Application->MainForm() == this)
        Application->Terminate();
}
