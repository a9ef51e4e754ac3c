#pragma once

#include <QObject>
#include <QPointF>
#include <optional>

class TForm1;

// The borderless window moves by its skin: a left press where no hot spot or
// control lies (the skin itself takes it), then a drag past the platform's
// drag distance, hands the move to the window system, so that it works
// where a program may not place its own window (Wayland). A press without a
// drag reaches the skin as before.
class TWindowMover : public QObject {
    Q_OBJECT

  public:
    // Watches the form's skin from now on; owned by the form.
    explicit TWindowMover(TForm1& form);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TForm1& form_;
    std::optional<QPointF> pressedAt_;
};
