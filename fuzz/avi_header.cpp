// The media check of a file's AVI header: whatever the bytes, it answers at
// once with either no failure or a code and a text naming the file.
#include <sys/mman.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>

#include "FuzzCheck.h"
#include "platform/media/MediaCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = memfd_create("clip.avi", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(write(fd, data, size) == static_cast<ssize_t>(size));
    const QByteArray path = "/proc/self/fd/" + QByteArray::number(fd);
    const QString shown = QStringLiteral("D:\\clips\\clip.avi");
    const platform::MciFailure failure = platform::CheckMediaFile(path, shown, true);
    close(fd);

    const bool isRiffAvi = size >= 12 &&
                           QByteArray(reinterpret_cast<const char*>(data), 12).startsWith("RIFF") &&
                           QByteArray(reinterpret_cast<const char*>(data) + 8, 4) == "AVI ";
    if (!isRiffAvi) FUZZ_CHECK(failure);
    if (failure) {
        FUZZ_CHECK(failure.text.endsWith(shown));
        FUZZ_CHECK(failure.text.size() > shown.size());
    } else {
        FUZZ_CHECK(failure.text.isEmpty());
    }
    return 0;
}
