#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Drive-letter wildcard match: '*' any run, '?' one character, letters
// without case, and a trailing ".*" also matching names without a dot.
bool MatchesMask(const QString& name, const QString& mask);

// A folder search's mask, prepared once so that each native name of the
// folder is tested quickly (plain ASCII names without converting them).
class CompiledMask {
  public:
    explicit CompiledMask(const QString& mask);
    bool Matches(const char* nativeName) const;

  private:
    QString folded_;
    bool matchesAll_;
    bool isAscii_ = false;
    QByteArray ascii_;
};

}  // namespace platform
