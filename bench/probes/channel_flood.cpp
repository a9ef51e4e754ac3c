// What idle and flooding clients of the instance channel cost a running
// player: its CPU at rest, with N idle connections open, and while two
// threads keep connecting; and whether a copy's request is still answered
// meanwhile. Run by bench/OutsideAbuse.sh: channel_flood PID N.
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/instance/LineChannel.h"

namespace {

double CpuSeconds(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
    return (fields.value(12).toDouble() + fields.value(13).toDouble()) / sysconf(_SC_CLK_TCK);
}

// Per cent of one core over 'seconds'.
double CpuShare(pid_t pid, int seconds) {
    const double before = CpuSeconds(pid);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return (CpuSeconds(pid) - before) * 100 / seconds;
}

qsizetype Descriptors(pid_t pid) {
    return QDir(QStringLiteral("/proc/%1/fd").arg(pid)).count() - 2;
}

int Connect(const QByteArray& path) {
    sockaddr_un address{AF_UNIX, {}};
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const pid_t pid = std::atoi(argv[1]);
    const int count = std::atoi(argv[2]);
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    const QDir folder(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/brelmo"));
    const QStringList sockets =
        folder.entryList({QStringLiteral("win-%1-*.sock").arg(pid)}, QDir::System);
    if (sockets.isEmpty()) return 1;
    const QByteArray path = QFile::encodeName(folder.filePath(sockets.first()));

    // Each figure is taken before the next line runs.
    const auto report = [pid](const char* when, double cpu) {
        std::printf("%s: %.1f %% CPU, %lld descriptors\n", when, cpu,
                    static_cast<long long>(Descriptors(pid)));
    };
    report("at rest", CpuShare(pid, 5));
    std::vector<int> idle;
    for (int i = 0; i < count; ++i)
        if (const int fd = Connect(path); fd >= 0) idle.push_back(fd);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::printf("%zu idle connections open, ", idle.size());
    report("the next 10 s", CpuShare(pid, 10));
    for (const int fd : idle) ::close(fd);

    std::atomic<bool> flooding = true;
    const auto flood = [&] {
        std::vector<int> held;
        while (flooding) {
            if (const int fd = Connect(path); fd >= 0) held.push_back(fd);
            if (held.size() < 4000 && flooding) continue;
            for (const int fd : held) ::close(fd);
            held.clear();
        }
    };
    std::thread first(flood), second(flood);
    int answered = 0;
    for (int i = 0; i < 20; ++i) {
        answered += platform::AskOverSocket(path, "B", 600);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::printf("flooded by two threads: %d of 20 requests answered; ", answered);
    report("over 3 s", CpuShare(pid, 3));
    flooding = false;
    first.join();
    second.join();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    report("after the flood", CpuShare(pid, 5));
    return 0;
}
