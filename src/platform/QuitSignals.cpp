#include "platform/QuitSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace platform {

namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT};

// The write end of the pipe the handler tells the event loop through; a
// signal handler may only write.
int signalWrite = -1;

void OnSignal(int number) {
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalWrite, &byte, 1);
    errno = saved;
}

void SetHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kQuitSignals) ::sigaction(number, &action, nullptr);
}

}  // namespace

void QuitOnSignals(QObject* context, std::function<void()> quit) {
    int ends[2];
    if (signalWrite >= 0 || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    signalWrite = ends[1];
    auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [fd = ends[0], quit] {
        char bytes[16];
        while (::read(fd, bytes, sizeof bytes) > 0) {
        }
        quit();
    });
    QObject::connect(notifier, &QObject::destroyed, [ends] {
        SetHandler(SIG_DFL);
        ::close(ends[0]);
        ::close(ends[1]);
        signalWrite = -1;
    });
    SetHandler(&OnSignal);
}

}  // namespace platform
