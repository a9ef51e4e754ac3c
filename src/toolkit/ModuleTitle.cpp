#include "toolkit/ModuleTitle.h"

#include <algorithm>

namespace {

// The title is read back through a 256-byte buffer with its terminator.
constexpr qsizetype kLongestTitle = 255;

}  // namespace

QString ModuleTitle(const QString& modulePath) {
    const qsizetype separator = std::max(modulePath.lastIndexOf(QLatin1Char('/')),
                                         modulePath.lastIndexOf(QLatin1Char('\\')));
    QString title = modulePath.mid(separator + 1);
    const qsizetype dot = title.indexOf(QLatin1Char('.'));
    if (dot >= 0) title.truncate(dot);
    title.truncate(kLongestTitle);
    if (title.isEmpty()) return title;
    return title.left(1) + title.mid(1).toLower();
}
