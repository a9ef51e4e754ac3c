#pragma once

#include <QString>

#include "toolkit/WinControl.h"

enum TFormBorderStyle { bsNone = 0, bsSingle = 1, bsSizeable = 2 };
enum TPosition { poDesigned = 0, poScreenCenter = 1 };

// A top-level window. Its components are created by the derived form's
// constructor, which then calls DoCreate() (OnCreate). The first time the
// window becomes active it fires OnActivate; the program has no other window
// that could take the focus from it, so later activations (the desktop
// handing the focus back) are not reported. A window shown by ShowForm and
// not activated within kActivationWaitMs fires it then, once, as if it had
// been. Closing the application's main form ends the program.
class TForm : public TWinControl {
    Q_OBJECT

  public:
    static constexpr int kActivationWaitMs = 200;

    explicit TForm(TComponent* AOwner);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    void SetClientWidth(int width) { SetWidth(width); }
    void SetClientHeight(int height) { SetHeight(height); }

    // Shows the window (centred first when Position says so) and activates it.
    void ShowForm();
    void Close() { close(); }

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;

  protected:
    void DoCreate();
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CentreOnScreen();
    void Activated();

    QString caption_;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TPosition position_ = poDesigned;
    bool activated_ = false;
};
