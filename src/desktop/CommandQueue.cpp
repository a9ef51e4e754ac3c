#include "desktop/CommandQueue.h"

#include <QTimer>
#include <algorithm>

#include "app/Main.h"

TCommandQueue& TCommandQueue::Of(TForm1& form) {
    if (auto* queue = form.findChild<TCommandQueue*>(QString(), Qt::FindDirectChildrenOnly))
        return *queue;
    return *new TCommandQueue(form);
}

TCommandQueue::TCommandQueue(TForm1& form) : QObject(&form), form_(form) {}

void TCommandQueue::Request(PlayerAction action) {
    if (std::find(waiting_.begin(), waiting_.end(), action) != waiting_.end()) return;
    waiting_.push_back(action);
    Schedule();
}

void TCommandQueue::Schedule() {
    if (scheduled_ || running_ || waiting_.empty()) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] { RunNext(); });
}

// A handler that runs the event loop (a message box, a wait for the media
// device) lets the next command in only once it has returned; one that throws
// still frees the queue, and its error reaches the top-level handler as a
// click's does.
void TCommandQueue::RunNext() {
    scheduled_ = false;
    if (running_ || waiting_.empty()) return;
    const PlayerAction action = waiting_.front();
    waiting_.pop_front();
    struct Running {
        TCommandQueue& queue;
        explicit Running(TCommandQueue& q) : queue(q) { queue.running_ = true; }
        ~Running() {
            queue.running_ = false;
            queue.Schedule();
            emit queue.Ran();
        }
    } running(*this);
    Perform(form_, action);
}
