#pragma once

#include <QByteArray>
#include <QString>

#include "platform/media/MciBackend.h"

namespace platform {

// Checks a file before a device opens it, so that what GStreamer would take
// long over (or stall on) fails at once with a text that names the problem:
// a missing, unreadable, empty or folder "file", and for an AVI a RIFF header
// that is not there, cut short, claims a frame size no decoder could allocate
// (or a raw frame larger than any real picture, or raw frames that the file
// cannot hold as often as its header counts them), or describes raw RGB stored top-down
// (which the decoders here cannot negotiate).
MciFailure CheckMediaFile(const QByteArray& path, const QString& shownName, bool isAvi);

}  // namespace platform
