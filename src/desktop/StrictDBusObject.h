#pragma once

#include <QDBusError>
#include <QDBusVirtualObject>
#include <QList>
#include <optional>

class QDBusAbstractAdaptor;
class QMetaObject;

// Serves the interfaces of some adaptors at one object path, as the bus
// library serves them, but answers a method call or a property write whose
// arguments have the wrong types with InvalidArgs (the library would answer
// UnknownMethod or an internal error). Methods, properties and signals are
// the adaptors' own, read from their meta-objects; signals are sent by the
// caller.
class TStrictDBusObject : public QDBusVirtualObject {
  public:
    // The adaptors stay owned by their parent; their interface names come
    // from their "D-Bus Interface" class info.
    explicit TStrictDBusObject(QList<QDBusAbstractAdaptor*> adaptors);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

    // Called by a method while it runs: its call is answered with this error.
    void Fail(QDBusError::ErrorType error, const QString& text);

  private:
    QDBusAbstractAdaptor* AdaptorFor(const QString& interface) const;
    QDBusMessage Call(QDBusAbstractAdaptor& adaptor, const QDBusMessage& message);
    QDBusMessage Properties(const QDBusMessage& message) const;
    QDBusMessage SetProperty(const QDBusMessage& message) const;

    QList<QDBusAbstractAdaptor*> adaptors_;
    std::optional<QDBusError> failure_;
};
