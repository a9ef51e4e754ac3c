#pragma once

#include <QObject>
#include <functional>

namespace platform {

// Turns SIGTERM and SIGINT into a call of 'quit' from the event loop, so that
// a copy ended by its session, a service manager or Ctrl+C ends as the user
// would end it, clean-up included, instead of dying where it stands. The call
// goes with 'context'; once it is gone, a signal ends the process as it
// would have without this.
void QuitOnSignals(QObject* context, std::function<void()> quit);

}  // namespace platform
