#pragma once

#include "platform/FileSystem.h"

namespace platform {

class LinuxFileSystem : public IFileSystem {
public:
    QByteArray NativePath(const QString& path) override;
};

}  // namespace platform
