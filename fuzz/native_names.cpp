// Native names and paths survive the trip through text byte for byte, and
// the shown form of a name holds no control characters.
#include <QByteArray>
#include <QString>

#include "FuzzCheck.h"
#include "platform/files/NativeNames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString name = platform::FromNativeName(bytes);
    FUZZ_CHECK(platform::ToNativeName(name) == bytes);
    FUZZ_CHECK(!name.contains(QLatin1Char('\\')));
    FUZZ_CHECK(platform::ToNativePath(platform::FromNativePath(bytes)) == bytes);
    for (const QChar c : platform::DisplayName(name)) FUZZ_CHECK(c.unicode() >= 0x20);
    return 0;
}
