#include "desktop/StrictDBusObject.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QMetaMethod>
#include <QMetaProperty>

namespace {

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kIntrospectable = QStringLiteral("org.freedesktop.DBus.Introspectable");

// The two standard interfaces this object answers itself.
const char kStandardXml[] =
    "  <interface name=\"org.freedesktop.DBus.Introspectable\">\n"
    "    <method name=\"Introspect\"><arg name=\"xml\" type=\"s\" direction=\"out\"/></method>\n"
    "  </interface>\n"
    "  <interface name=\"org.freedesktop.DBus.Properties\">\n"
    "    <method name=\"Get\"><arg name=\"interface\" type=\"s\" direction=\"in\"/>"
    "<arg name=\"name\" type=\"s\" direction=\"in\"/><arg name=\"value\" type=\"v\" "
    "direction=\"out\"/></method>\n"
    "    <method name=\"GetAll\"><arg name=\"interface\" type=\"s\" direction=\"in\"/>"
    "<arg name=\"values\" type=\"a{sv}\" direction=\"out\"/></method>\n"
    "    <method name=\"Set\"><arg name=\"interface\" type=\"s\" direction=\"in\"/>"
    "<arg name=\"name\" type=\"s\" direction=\"in\"/><arg name=\"value\" type=\"v\" "
    "direction=\"in\"/></method>\n"
    "    <signal name=\"PropertiesChanged\"><arg name=\"interface\" type=\"s\"/>"
    "<arg name=\"changed\" type=\"a{sv}\"/><arg name=\"invalidated\" type=\"as\"/></signal>\n"
    "  </interface>\n";

QString InterfaceOf(const QMetaObject& meta) {
    return QString::fromLatin1(meta.classInfo(meta.indexOfClassInfo("D-Bus Interface")).value());
}

QString Signature(QMetaType type) {
    return QString::fromLatin1(QDBusMetaType::typeToSignature(type));
}

QString InputSignature(const QMetaMethod& method) {
    QString signature;
    for (int i = 0; i < method.parameterCount(); ++i)
        signature += Signature(method.parameterMetaType(i));
    return signature;
}

// The adaptor's own public slots (its methods) or signals, not QObject's.
QList<QMetaMethod> OwnMethods(const QMetaObject& meta, QMetaMethod::MethodType type) {
    QList<QMetaMethod> methods;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() == type && method.access() == QMetaMethod::Public)
            methods << method;
    }
    return methods;
}

QString MethodXml(const QMetaMethod& method, const char* tag, const char* direction) {
    QString xml = QStringLiteral("    <%1 name=\"%2\">\n")
                      .arg(QLatin1String(tag), QLatin1String(method.name()));
    for (int i = 0; i < method.parameterCount(); ++i)
        xml += QStringLiteral("      <arg name=\"%1\" type=\"%2\"%3/>\n")
                   .arg(QLatin1String(method.parameterNames().at(i)),
                        Signature(method.parameterMetaType(i)), QLatin1String(direction));
    return xml + QStringLiteral("    </%1>\n").arg(QLatin1String(tag));
}

QString InterfaceXml(const QMetaObject& meta) {
    QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(InterfaceOf(meta));
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        xml +=
            QStringLiteral("    <property name=\"%1\" type=\"%2\" access=\"%3\"/>\n")
                .arg(QLatin1String(property.name()), Signature(property.metaType()),
                     property.isWritable() ? QStringLiteral("readwrite") : QStringLiteral("read"));
    }
    for (const QMetaMethod& method : OwnMethods(meta, QMetaMethod::Slot))
        xml += MethodXml(method, "method", " direction=\"in\"");
    for (const QMetaMethod& method : OwnMethods(meta, QMetaMethod::Signal))
        xml += MethodXml(method, "signal", "");
    return xml + QStringLiteral("  </interface>\n");
}

QDBusMessage InvalidArgs(const QDBusMessage& message, const QString& expected) {
    return message.createErrorReply(QDBusError::InvalidArgs,
                                    QStringLiteral("%1 takes (%2), not (%3)")
                                        .arg(message.member(), expected, message.signature()));
}

}  // namespace

TStrictDBusObject::TStrictDBusObject(QList<QDBusAbstractAdaptor*> adaptors)
    : adaptors_(std::move(adaptors)) {}

QString TStrictDBusObject::introspect(const QString&) const {
    QString xml = QLatin1String(kStandardXml);
    for (const QDBusAbstractAdaptor* adaptor : adaptors_)
        xml += InterfaceXml(*adaptor->metaObject());
    return xml;
}

bool TStrictDBusObject::handleMessage(const QDBusMessage& message,
                                      const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    QDBusMessage reply;
    if (message.interface() == kProperties) {
        const QString& member = message.member();
        if (member == QLatin1String("Set"))
            reply = SetProperty(message);
        else if (member == QLatin1String("Get") || member == QLatin1String("GetAll"))
            reply = Properties(message);
        else
            reply = message.createErrorReply(QDBusError::UnknownMethod, member);
    } else if (message.interface() == kIntrospectable) {
        reply = message.createReply(QStringLiteral("<node>\n%1</node>\n").arg(introspect({})));
    } else if (QDBusAbstractAdaptor* adaptor = AdaptorFor(message.interface())) {
        reply = Call(*adaptor, message);
    } else {
        return false;
    }
    connection.send(reply);
    return true;
}

void TStrictDBusObject::Fail(QDBusError::ErrorType error, const QString& text) {
    failure_ = QDBusError(error, text);
}

QDBusAbstractAdaptor* TStrictDBusObject::AdaptorFor(const QString& interface) const {
    for (QDBusAbstractAdaptor* adaptor : adaptors_)
        if (InterfaceOf(*adaptor->metaObject()) == interface) return adaptor;
    return nullptr;
}

QDBusMessage TStrictDBusObject::Call(QDBusAbstractAdaptor& adaptor, const QDBusMessage& message) {
    const QMetaObject& meta = *adaptor.metaObject();
    for (const QMetaMethod& method : OwnMethods(meta, QMetaMethod::Slot)) {
        if (QLatin1String(method.name()) != message.member()) continue;
        const QString expected = InputSignature(method);
        if (expected != message.signature()) return InvalidArgs(message, expected);
        QList<QVariant> arguments = message.arguments();
        QGenericArgument passed[2];
        for (qsizetype i = 0; i < arguments.size() && i < 2; ++i)
            passed[i] = QGenericArgument(method.parameterTypeName(int(i)).constData(),
                                         arguments[i].constData());
        failure_.reset();
        method.invoke(&adaptor, Qt::DirectConnection, passed[0], passed[1]);
        return failure_ ? message.createErrorReply(*failure_) : message.createReply();
    }
    return message.createErrorReply(
        QDBusError::UnknownMethod,
        QStringLiteral("No method %1 in %2").arg(message.member(), message.interface()));
}

// Get (ss) and GetAll (s).
QDBusMessage TStrictDBusObject::Properties(const QDBusMessage& message) const {
    const bool all = message.member() == QLatin1String("GetAll");
    if (message.signature() != (all ? QLatin1String("s") : QLatin1String("ss")))
        return InvalidArgs(message, all ? QStringLiteral("s") : QStringLiteral("ss"));
    const QDBusAbstractAdaptor* adaptor = AdaptorFor(message.arguments().at(0).toString());
    if (!adaptor)
        return message.createErrorReply(QDBusError::UnknownInterface,
                                        message.arguments().at(0).toString());
    if (all) {
        QVariantMap values;
        const QMetaObject& meta = *adaptor->metaObject();
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
            values.insert(QLatin1String(meta.property(i).name()), meta.property(i).read(adaptor));
        return message.createReply(QVariant::fromValue(values));
    }
    const QByteArray name = message.arguments().at(1).toString().toLatin1();
    const QVariant value = adaptor->property(name.constData());
    if (!value.isValid())
        return message.createErrorReply(QDBusError::UnknownProperty, QString::fromLatin1(name));
    return message.createReply(QVariant::fromValue(QDBusVariant(value)));
}

// Set (ssv): the value must have the property's own type.
QDBusMessage TStrictDBusObject::SetProperty(const QDBusMessage& message) const {
    if (message.signature() != QLatin1String("ssv"))
        return InvalidArgs(message, QStringLiteral("ssv"));
    QDBusAbstractAdaptor* adaptor = AdaptorFor(message.arguments().at(0).toString());
    if (!adaptor)
        return message.createErrorReply(QDBusError::UnknownInterface,
                                        message.arguments().at(0).toString());
    const QMetaObject& meta = *adaptor->metaObject();
    const int index =
        meta.indexOfProperty(message.arguments().at(1).toString().toLatin1().constData());
    if (index < meta.propertyOffset())
        return message.createErrorReply(QDBusError::UnknownProperty,
                                        message.arguments().at(1).toString());
    const QMetaProperty property = meta.property(index);
    if (!property.isWritable())
        return message.createErrorReply(QDBusError::PropertyReadOnly,
                                        QString::fromLatin1(property.name()));
    const QVariant value = message.arguments().at(2).value<QDBusVariant>().variant();
    if (value.metaType() != property.metaType())
        return message.createErrorReply(
            QDBusError::InvalidArgs,
            QStringLiteral("%1 takes the type %2, not %3")
                .arg(QLatin1String(property.name()), Signature(property.metaType()),
                     Signature(value.metaType())));
    property.write(adaptor, value);
    return message.createReply();
}
