#include "support/EnvironmentScope.h"

#include <QtGlobal>

EnvironmentScope::EnvironmentScope(const char* name)
    : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {}

EnvironmentScope::EnvironmentScope(const char* name, const QByteArray& value)
    : EnvironmentScope(name) {
    Set(value);
}

EnvironmentScope::~EnvironmentScope() {
    Set(wasSet_ ? previous_ : QByteArray());
}

void EnvironmentScope::Set(const QByteArray& value) const {
    value.isNull() ? qunsetenv(name_) : qputenv(name_, value);
}
