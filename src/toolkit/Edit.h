#pragma once

#include <QString>

#include "toolkit/WinControl.h"

class QLineEdit;

// A one-line text field.
class TEdit : public TWinControl {
    Q_OBJECT

  public:
    explicit TEdit(TComponent* AOwner);

    QString Text() const;
    void SetText(const QString& text);
    void SelectAll();
    // The selected part of the text.
    QString SelText() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLineEdit* edit_;
};
