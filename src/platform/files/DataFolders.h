#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

namespace platform {

// The shared data folders of the desktop, most important first:
// $XDG_DATA_DIRS, or /usr/local/share and /usr/share when it is unset.
QByteArrayList XdgDataDirs();

// The program's data folder (where the click sound lives), looked for
// relative to the executable and then in the desktop's data folders, never
// at a path fixed when the program was built, so an unpacked or moved copy
// finds its own: exe/../share/brelmo (installed), exe/data and exe/../data
// (the build tree, for the program and for tests and benchmarks one folder
// down), then each data folder's brelmo. With none of them, the
// executable's own folder.
QByteArray FindDataFolder(const QString& executableDir, const QByteArrayList& dataDirs);

// FindDataFolder for this process.
QByteArray DataFolder();

}  // namespace platform
