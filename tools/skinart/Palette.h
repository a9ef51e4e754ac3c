#pragma once

#include <QImage>

// Turns a painted true-colour picture into an 8-bit indexed one of at most
// maxColours entries. Large flat areas keep their exact colours; the rest
// (antialiased edges, gradients) share the remaining entries, chosen by
// median cut. Pixels map to the nearest entry without dithering, so flat
// areas stay flat.
QImage ToIndexed8(const QImage& picture, int maxColours = 256);
