// The playlist reader: any file either loads or fails with a text; what it
// loads holds no line end, and saving it and loading again gives the same list.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "FuzzCheck.h"
#include "app/PlaylistFile.h"
#include "toolkit/Exceptions.h"

namespace {

QList<QByteArray> LoadOrEmpty(const TPlaylistFile& file, bool* loaded) {
    try {
        *loaded = true;
        return file.Load(nullptr);
    } catch (const Exception& error) {
        FUZZ_CHECK(!error.Message().isEmpty());
        *loaded = false;
        return {};
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    const TPlaylistFile file(folder.filePath(QStringLiteral("brelmo.txt")));
    QFile out(file.Path());
    FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    out.close();

    bool loaded = false;
    const QList<QByteArray> first = LoadOrEmpty(file, &loaded);
    if (!loaded || first.isEmpty()) return 0;
    FUZZ_CHECK(first.size() <= TPlaylistFile::kMaxEntries);
    for (const QByteArray& entry : first)
        FUZZ_CHECK(!entry.contains('\n') && !entry.contains('\r'));
    file.Save(first);
    const QList<QByteArray> second = LoadOrEmpty(file, &loaded);
    FUZZ_CHECK(loaded && second == first);
    return 0;
}
