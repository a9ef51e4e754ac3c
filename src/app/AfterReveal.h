#pragma once

#include <QObject>
#include <functional>

class TTransitionEffect;

// Runs 'then' once, from the event loop, after the skin's reveal has ended
// (its notice handled and the last frame on its way to the screen), or
// 'fallbackMs' after now if no reveal comes (a window that is never
// activated). Work that the first frames do not need waits here, so that
// start-up does not wait for it. The skin's own OnNotify runs first, as it
// did; 'context' ends the wait when it goes.
void AfterReveal(TTransitionEffect& skin, QObject* context, std::function<void()> then,
                 int fallbackMs = 2000);
