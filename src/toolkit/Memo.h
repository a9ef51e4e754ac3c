#pragma once

#include <QStringList>

#include "toolkit/WinControl.h"

class QTextEdit;

// A read-only multi-line text with a vertical scroll bar. OnClick fires when
// the text is clicked.
class TMemo : public TWinControl {
    Q_OBJECT

  public:
    explicit TMemo(TComponent* AOwner);

    const QStringList& Lines() const { return lines_; }
    void SetLines(const QStringList& lines);
    // Lines drawn centred (the others are left-aligned), by index.
    void SetCentredLines(int first, int count);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void FontChanged() override;
    void ColorChanged() override;
    void showEvent(QShowEvent* event) override;

  private:
    void Fill();

    QTextEdit* edit_;
    QStringList lines_;
    int centredFirst_ = 0;
    int centredCount_ = 0;
    bool filled_ = false;
};
