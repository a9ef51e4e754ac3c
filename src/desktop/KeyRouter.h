#pragma once

#include <QObject>

class TForm1;

// The player's keys: Right or B = Next, Left or Z = Back, X = Re-do, Space or
// C = Stop/continue, F1 = Help, Ctrl+Q = Exit, S = Setup, Enter = Accept,
// Escape = Cancel, and the media keys where the platform delivers them. A
// key acts only where its hot spot is clickable; otherwise it goes on to the
// focused control, so the setup view's lists keep their own keys. A key held
// down acts once.
class TKeyRouter : public QObject {
    Q_OBJECT

  public:
    // Watches every key meant for 'form' from now on; owned by the form.
    explicit TKeyRouter(TForm1& form);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TForm1& form_;
};
