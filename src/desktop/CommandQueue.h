#pragma once

#include <QObject>
#include <deque>

#include "desktop/PlayerActions.h"

class TForm1;

// Commands that come from outside the window (the session bus, media keys)
// wait their turn on the event loop and run one at a time, each as a click on
// its hot spot. While one waits or runs, further commands for an action that
// is already waiting are dropped: a storm of a thousand Next calls costs a
// couple of handler runs, not a thousand. Clicks never pass through here.
class TCommandQueue : public QObject {
    Q_OBJECT

  public:
    // The form's queue, made on first use and owned by the form.
    static TCommandQueue& Of(TForm1& form);

    // Queues 'action' unless it is waiting already.
    void Request(PlayerAction action);

  Q_SIGNALS:
    // After each command has run (whether or not its hot spot acted).
    void Ran();

  private:
    explicit TCommandQueue(TForm1& form);
    void Schedule();
    void RunNext();

    TForm1& form_;
    std::deque<PlayerAction> waiting_;
    bool scheduled_ = false;
    bool running_ = false;
};
