#pragma once

#include <QString>

namespace platform {

// The system's text for an errno-style code, or "I/O error %d" where it has none.
QString SysErrorMessage(int errorCode);

}  // namespace platform
