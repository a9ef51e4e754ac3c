#include "support/TestMedia.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <map>
#include <stdexcept>
#include <vector>

namespace testmedia {

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/brelmo-media-XXXXXX"));
    return folder;
}

QString PathOf(const QString& name) {
    return Folder().filePath(name);
}

// Runs 'make' once per name; later calls return the same file.
template <typename Make>
QString Cached(const QString& name, Make make) {
    static std::map<QString, QString> made;
    const auto it = made.find(name);
    if (it != made.end()) return it->second;
    const QString path = PathOf(name);
    make(path);
    made[name] = path;
    return path;
}

void Launch(const QString& pipeline) {
    QProcess launcher;
    launcher.start(QStringLiteral("gst-launch-1.0"),
                   QStringList{QStringLiteral("-q")} + QProcess::splitCommand(pipeline));
    if (!launcher.waitForFinished(20000) || launcher.exitCode() != 0)
        throw std::runtime_error("gst-launch-1.0 failed: " + pipeline.toStdString() + "\n" +
                                 launcher.readAllStandardError().toStdString());
}

QString VideoCaps(int width, int height) {
    return QStringLiteral("video/x-raw,width=%1,height=%2,framerate=25/1").arg(width).arg(height);
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

}  // namespace

QString MjpegAvi(int width, int height, const char* colour, int frames) {
    const QString name =
        QStringLiteral("mjpeg-%1x%2-%3-%4.avi").arg(width).arg(height).arg(colour).arg(frames);
    return Cached(name, [&](const QString& path) {
        Launch(QStringLiteral("videotestsrc num-buffers=%1 pattern=%2 ! %3 ! jpegenc quality=95 ! "
                              "avimux ! filesink location=%4")
                   .arg(frames)
                   .arg(colour)
                   .arg(VideoCaps(width, height), path));
    });
}

QString RawAvi(int width, int height) {
    return Cached(QStringLiteral("raw-%1x%2.avi").arg(width).arg(height), [&](const QString& path) {
        Launch(QStringLiteral("videotestsrc num-buffers=10 pattern=blue ! video/x-raw,format=BGR,"
                              "width=%1,height=%2,framerate=25/1 ! avimux ! filesink location=%3")
                   .arg(width)
                   .arg(height)
                   .arg(path));
    });
}

QString AudioVideoAvi(int frames) {
    return Cached(QStringLiteral("av-%1.avi").arg(frames), [&](const QString& path) {
        Launch(QStringLiteral("avimux name=mux ! filesink location=%1 "
                              "videotestsrc num-buffers=%2 pattern=green ! %3 ! jpegenc ! mux. "
                              "audiotestsrc num-buffers=%2 samplesperbuffer=1764 ! "
                              "audio/x-raw,rate=44100,channels=1,format=S16LE ! mux.")
                   .arg(path)
                   .arg(frames)
                   .arg(VideoCaps(160, 120)));
    });
}

QString TopDownRawAvi() {
    return Cached(QStringLiteral("topdown.avi"), [](const QString& path) {
        QByteArray bytes = ReadBytes(RawAvi(160, 120));
        const qsizetype strf = bytes.indexOf("strf");
        const qint32 height = qFromLittleEndian<qint32>(bytes.constData() + strf + 8 + 8);
        qToLittleEndian<qint32>(-height, bytes.data() + strf + 8 + 8);
        WriteBytes(path, bytes);
    });
}

QString AviClaimingFrame(bool raw, int width, int height) {
    const QString name = QStringLiteral("claims-%1-%2x%3.avi").arg(raw).arg(width).arg(height);
    return Cached(name, [&](const QString& path) {
        QByteArray bytes = ReadBytes(raw ? RawAvi(160, 120) : MjpegAvi(160, 120));
        const qsizetype avih = bytes.indexOf("avih") + 8, strf = bytes.indexOf("strf") + 8;
        for (const qsizetype at : {avih + 32, strf + 4})
            qToLittleEndian<qint32>(width, bytes.data() + at);
        for (const qsizetype at : {avih + 36, strf + 8})
            qToLittleEndian<qint32>(height, bytes.data() + at);
        WriteBytes(path, bytes);
    });
}

QString Wav(int subformat, double seconds, int channels, short amplitude) {
    const QString name = QStringLiteral("tone-%1-%2-%3-%4.wav")
                             .arg(subformat, 0, 16)
                             .arg(seconds)
                             .arg(channels)
                             .arg(amplitude);
    return Cached(name, [&](const QString& path) {
        SF_INFO info{};
        info.samplerate = 8000;
        info.channels = channels;
        info.format = SF_FORMAT_WAV | subformat;
        SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
        if (!file) throw std::runtime_error(sf_strerror(nullptr));
        const auto frames = static_cast<std::size_t>(seconds * info.samplerate);
        std::vector<short> samples(frames * channels);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double at = static_cast<double>(i / channels) / info.samplerate;
            samples[i] = static_cast<short>(amplitude * std::sin(at * 2 * M_PI * 440));
        }
        sf_writef_short(file, samples.data(), static_cast<sf_count_t>(frames));
        sf_close(file);
    });
}

QString UnknownCodecAvi(bool withSound) {
    return Cached(QStringLiteral("unknown-codec-%1.avi").arg(withSound), [&](const QString& path) {
        const QString source = withSound ? AudioVideoAvi() : MjpegAvi(160, 120);
        WriteBytes(path, ReadBytes(source).replace("MJPG", "QQQQ"));
    });
}

QString TruncatedAvi() {
    return Cached(QStringLiteral("truncated.avi"), [](const QString& path) {
        WriteBytes(path, ReadBytes(MjpegAvi(160, 120)).left(300));
    });
}

QString EmptyAvi() {
    return Cached(QStringLiteral("empty.avi"), [](const QString& path) { WriteBytes(path, {}); });
}

QString TextAvi() {
    return Cached(QStringLiteral("text.avi"),
                  [](const QString& path) { WriteBytes(path, "This is a note, not a video.\n"); });
}

QString FolderAvi() {
    return Cached(QStringLiteral("folder.avi"), [](const QString& path) { QDir().mkpath(path); });
}

QString PipeWav() {
    return Cached(QStringLiteral("pipe.wav"),
                  [](const QString& path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); });
}

QString MissingAvi() {
    return PathOf(QStringLiteral("missing.avi"));
}

QString UnreadableAvi() {
    return Cached(QStringLiteral("unreadable.avi"), [](const QString& path) {
        QFile::copy(MjpegAvi(160, 120), path);
        QFile::setPermissions(path, QFileDevice::WriteOwner);
    });
}

QString CopyOf(const QString& path) {
    static int copies = 0;
    const QString copy =
        PathOf(QStringLiteral("copy-%1-%2").arg(++copies).arg(QFileInfo(path).fileName()));
    QFile::copy(path, copy);
    return copy;
}

}  // namespace testmedia
