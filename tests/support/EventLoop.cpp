#include "support/EventLoop.h"

#include <QCoreApplication>

void ProcessEvents() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}
