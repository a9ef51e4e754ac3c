#pragma once

#include <QString>

// Media files for tests, generated on first use into one temporary folder
// per test process (GStreamer's command-line launcher for video, libsndfile
// for wave files) and reused afterwards. Paths are native.
namespace testmedia {

// An MJPEG AVI of a solid colour ("red", "green", "blue", "white", "black").
QString MjpegAvi(int width, int height, const char* colour = "red", int frames = 10);
// Uncompressed BGR video, stored bottom-up as AVI keeps it.
QString RawAvi(int width, int height);
// MJPEG video with a mono sound track.
QString AudioVideoAvi(int frames = 10);
// A raw AVI whose header says the rows are stored top-down.
QString TopDownRawAvi();
// A copy of the 160x120 raw (or MJPEG) AVI whose headers claim another frame size.
QString AviClaimingFrame(bool raw, int width, int height);
// An 8 kHz sine tone of 'seconds', peak 'amplitude', on every one of
// 'channels', in libsndfile's 'subformat' (SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16,
// SF_FORMAT_IMA_ADPCM, ...).
QString Wav(int subformat, double seconds = 0.4, int channels = 1, short amplitude = 8000);

// An MJPEG AVI (with sound, or without) whose video codec is renamed to one
// nobody decodes.
QString UnknownCodecAvi(bool withSound = false);
QString TruncatedAvi();
QString EmptyAvi();
QString TextAvi();
QString FolderAvi();
// A named pipe called like a wave file, with no writer behind it.
QString PipeWav();
QString MissingAvi();
QString UnreadableAvi();

// A fresh copy of 'path' that the test may change or delete.
QString CopyOf(const QString& path);

}  // namespace testmedia
