#include "platform/files/SysErrorMessage.h"

#include <cstring>

namespace platform {

QString SysErrorMessage(int errorCode) {
    const QString text = QString::fromLocal8Bit(std::strerror(errorCode));
    if (text.isEmpty() || text.startsWith(QLatin1String("Unknown error")))
        return QStringLiteral("I/O error %1").arg(errorCode);
    return text;
}

}  // namespace platform
