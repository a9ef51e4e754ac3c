// A storm of MPRIS Next calls sent without waiting for replies, as a broken
// or hostile desktop tool might send them: how long until the player has
// taken the last one (its track stops changing) and how long the bus waited
// at worst for an answer meanwhile. Run by bench/OutsideAbuse.sh:
// mpris_storm [CALLS].
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cstdio>

namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.brelmo");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

QString TrackOf(const QDBusMessage& reply) {
    QVariantMap metadata;
    reply.arguments().value(0).value<QDBusVariant>().variant().value<QDBusArgument>() >> metadata;
    return metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int calls = argc > 1 ? std::atoi(argv[1]) : 1000;
    QDBusConnection bus = QDBusConnection::sessionBus();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < calls; ++i)
        bus.send(QDBusMessage::createMethodCall(kService, kPath, kPlayer, QStringLiteral("Next")));
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kPlayer << QStringLiteral("Metadata");
    QString track;
    double lastChange = 0, longestWait = 0;
    while (clock.elapsed() / 1000.0 - lastChange < 3) {
        QElapsedTimer wait;
        wait.start();
        const QString now = TrackOf(bus.call(get, QDBus::Block, 600000));
        longestWait = std::max(longestWait, wait.elapsed() / 1000.0);
        if (now != track) lastChange = clock.elapsed() / 1000.0;
        track = now;
        QThread::msleep(20);
    }
    std::printf("%d Next calls: the last taken after %.2f s; the bus waited %.2f s at worst\n",
                calls, lastChange, longestWait);
    return 0;
}
