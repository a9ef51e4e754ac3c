#pragma once

#include <QByteArray>

// Sets one environment variable for the life of the object; its value from
// before, or its absence, comes back afterwards. A null value removes it.
class EnvironmentScope {
  public:
    explicit EnvironmentScope(const char* name);
    EnvironmentScope(const char* name, const QByteArray& value);
    ~EnvironmentScope();
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

    void Set(const QByteArray& value) const;

  private:
    const char* name_;
    const bool wasSet_;
    const QByteArray previous_;
};
