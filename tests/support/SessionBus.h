#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QVariantMap>

#include "support/EnvironmentScope.h"

// A session bus of the test's own: a dbus-daemon in a private runtime
// folder, named by DBUS_SESSION_BUS_ADDRESS for the life of the object and
// stopped by its PID afterwards (and by the kernel should the test die).
class PrivateSessionBus {
  public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    const QString& Address() const { return address_; }
    // A connection of its own, as another program on the desktop has.
    QDBusConnection Client();
    // Calls 'method' of 'interface' on the player's object, letting the
    // player's own event loop answer meanwhile.
    QDBusMessage Call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {});
    QVariant Get(const QString& interface, const QString& property);

  private:
    QTemporaryDir runtime_;
    QProcess daemon_;
    QString address_;
    EnvironmentScope busAddress_{"DBUS_SESSION_BUS_ADDRESS"};
};

// Records the player's PropertiesChanged signals, one map each.
class PropertiesChangedSpy : public QObject {
    Q_OBJECT

  public:
    explicit PropertiesChangedSpy(QDBusConnection client);

    QList<QVariantMap> changes;
    // Lets the event loop run until a change carrying 'property' came, at most 2 s.
    bool WaitFor(const QString& property);

  public Q_SLOTS:
    void Changed(const QString& interface, const QVariantMap& changed,
                 const QStringList& invalidated);
};
