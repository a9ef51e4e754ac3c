#pragma once

// Shared by the media benchmarks: clips generated into a temporary folder,
// and the offscreen application the player's widgets need.

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <stdexcept>

namespace benchkit {

inline QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

// Runs gst-launch-1.0 with 'pipeline', whose "%1" is the output file.
inline QString Generate(const QString& name, const QString& pipeline) {
    const QString path = Folder().filePath(name);
    QProcess launcher;
    launcher.start(QStringLiteral("gst-launch-1.0"),
                   QStringList{QStringLiteral("-q")} + QProcess::splitCommand(pipeline.arg(path)));
    if (!launcher.waitForFinished(120000) || launcher.exitCode() != 0)
        throw std::runtime_error("cannot generate " + name.toStdString());
    return path;
}

inline QString SmallAvi() {
    return Generate(QStringLiteral("small.avi"),
                    QStringLiteral("videotestsrc num-buffers=10 ! video/x-raw,width=160,height=120,"
                                   "framerate=25/1 ! jpegenc ! avimux ! filesink location=%1"));
}

// The same with a mono sound track beside the video.
inline QString SmallAudioVideoAvi() {
    return Generate(QStringLiteral("small-av.avi"),
                    QStringLiteral("avimux name=mux ! filesink location=%1 "
                                   "videotestsrc num-buffers=10 ! video/x-raw,width=160,"
                                   "height=120,framerate=25/1 ! jpegenc ! mux. "
                                   "audiotestsrc num-buffers=10 samplesperbuffer=1764 ! "
                                   "audio/x-raw,rate=44100,channels=1,format=S16LE ! mux."));
}

inline QString SmallWav() {
    return Generate(QStringLiteral("small.wav"),
                    QStringLiteral("audiotestsrc num-buffers=10 samplesperbuffer=800 ! "
                                   "audio/x-raw,rate=8000,channels=1,format=S16LE ! wavenc ! "
                                   "filesink location=%1"));
}

// 640x480 MPEG-4 video with PCM sound, 'seconds' long.
inline QString LargeAvi(int seconds) {
    const QString frames = QString::number(seconds * 25);
    return Generate(
        QStringLiteral("large-%1.avi").arg(seconds),
        QStringLiteral("avimux name=mux ! filesink location=%1 videotestsrc num-buffers=") +
            frames +
            QStringLiteral(" pattern=ball ! video/x-raw,width=640,height=480,framerate=25/1"
                           " ! avenc_mpeg4 bitrate=1000000 ! mux. audiotestsrc "
                           "samplesperbuffer=1764 num-buffers=") +
            frames + QStringLiteral(" ! audio/x-raw,rate=44100,channels=2,format=S16LE ! mux."));
}

}  // namespace benchkit
