#include "support/SessionBus.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QDBusVariant>
#include <QTest>
#include <algorithm>

#include "support/EventLoop.h"

namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.brelmo");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
    const QString socket = runtime_.filePath(QStringLiteral("bus"));
    daemon_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    daemon_.setProcessEnvironment(environment);
    daemon_.start(
        QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
         QStringLiteral("--address=unix:path=") + socket, QStringLiteral("--print-address=1")});
    if (daemon_.waitForStarted() && daemon_.waitForReadyRead(5000))
        address_ = QString::fromUtf8(daemon_.readLine().trimmed());
    busAddress_.Set(address_.toUtf8());
}

PrivateSessionBus::~PrivateSessionBus() {
    QDBusConnection::disconnectFromBus(QStringLiteral("test-client"));
    if (daemon_.processId() > 0) ::kill(static_cast<pid_t>(daemon_.processId()), SIGTERM);
    daemon_.waitForFinished(3000);
}

QDBusConnection PrivateSessionBus::Client() {
    return QDBusConnection::connectToBus(address_, QStringLiteral("test-client"));
}

QDBusMessage PrivateSessionBus::Call(const QString& interface, const QString& method,
                                     const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    call.setArguments(arguments);
    QDBusMessage reply = Client().call(call, QDBus::BlockWithGui, 5000);
    // The player carries out a request from its event loop, after the reply.
    ProcessEvents();
    return reply;
}

QVariant PrivateSessionBus::Get(const QString& interface, const QString& property) {
    const QDBusMessage reply = Call(QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {interface, property});
    if (reply.arguments().isEmpty()) return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

PropertiesChangedSpy::PropertiesChangedSpy(QDBusConnection client) {
    client.connect(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                   QStringLiteral("PropertiesChanged"), this,
                   SLOT(Changed(QString, QVariantMap, QStringList)));
}

void PropertiesChangedSpy::Changed(const QString&, const QVariantMap& changed, const QStringList&) {
    changes.append(changed);
}

bool PropertiesChangedSpy::WaitFor(const QString& property) {
    const auto carries = [&](const QVariantMap& change) { return change.contains(property); };
    return QTest::qWaitFor([&] { return std::ranges::any_of(changes, carries); }, 2000);
}
