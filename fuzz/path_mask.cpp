// Paths and masks. A native path taken to its drive-letter form and back is
// resolved once and for all (a second trip changes nothing, and no ".", ".."
// or empty part is left); every name matches "*", "*.*" and itself.
#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include "FuzzCheck.h"
#include "platform/files/LinuxFileSystem.h"
#include "platform/files/NativeNames.h"

namespace {

platform::LinuxFileSystem& Drives() {
    static platform::LinuxFileSystem fileSystem(
        {{'c', "/", platform::DRIVE_FIXED, {}, QStringLiteral("ext4"), {}},
         {'e',
          "/media/stick",
          platform::DRIVE_REMOVABLE,
          QStringLiteral("STICK"),
          QStringLiteral("vfat"),
          {}}},
        "/usr/share/brelmo");
    return fileSystem;
}

bool IsResolved(const QByteArray& path) {
    if (!path.startsWith('/')) return false;
    if (path == "/") return true;
    for (const QByteArray& part : path.mid(1).split('/'))
        if (part.isEmpty() || part == "." || part == "..") return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (bytes.contains('\0')) return 0;
    const QByteArray native = "/" + bytes;
    const QString drivePath = Drives().DrivePath(native);
    FUZZ_CHECK(!drivePath.isEmpty());
    const QByteArray resolved = Drives().NativePath(drivePath);
    FUZZ_CHECK(IsResolved(resolved));
    FUZZ_CHECK(Drives().NativePath(Drives().DrivePath(resolved)) == resolved);

    const QString name = platform::FromNativeName(bytes);
    FUZZ_CHECK(platform::MatchesMask(name, QStringLiteral("*")));
    FUZZ_CHECK(platform::MatchesMask(name, QStringLiteral("*.*")));
    FUZZ_CHECK(platform::MatchesMask(name, name));
    return 0;
}
