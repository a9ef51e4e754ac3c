// The drive table built from a mount table: letters stay unique and in
// order, C: is the root folder, and every drive's root is its own absolute path.
#include <QByteArray>
#include <set>

#include "FuzzCheck.h"
#include "platform/files/DriveTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    platform::BlockDeviceProbe probe;
    // The probe's answers come from the input too, so every kind of drive is reached.
    probe.IsRemovable = [&](const QByteArray& majorMinor) { return majorMinor.size() % 2 == 1; };
    probe.LabelOf = [](const QByteArray& device) { return QString::fromUtf8(device.right(3)); };
    const std::vector<platform::DriveInfo> drives = platform::ParseMountInfo(text, probe);

    FUZZ_CHECK(!drives.empty());
    FUZZ_CHECK(drives.front().Letter == 'c' && drives.front().Root == "/");
    std::set<QByteArray> roots;
    char previous = 0;
    for (const platform::DriveInfo& drive : drives) {
        FUZZ_CHECK(drive.Letter >= 'c' && drive.Letter <= 'z' && drive.Letter > previous);
        FUZZ_CHECK(drive.Root.startsWith('/'));
        FUZZ_CHECK(!drive.Root.contains('\0'));
        FUZZ_CHECK(roots.insert(drive.Root).second);
        previous = drive.Letter;
    }
    return 0;
}
