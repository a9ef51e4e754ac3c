// Resident memory growth over 200 open/play/stop/close cycles of the player
// on a small AVI with sound and on a WAV, after a warm-up.

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

#include "MediaBench.h"
#include "media/MPlayer.h"
#include "toolkit/WinControl.h"

namespace {

constexpr int kWarmUp = 20;
constexpr int kCycles = 200;

double ResidentMiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0);
}

void RunEvents(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, ms);
}

void Cycle(TMediaPlayer& mp, const QString& path) {
    mp.SetFileName(path);
    mp.Open();
    mp.SetDisplayRect(Rect(0, 0, 0, 0));
    mp.Play();
    RunEvents(5);
    mp.Stop();
    mp.Close();
    RunEvents(1);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString avi = mediabench::Generate(
        QStringLiteral("av.avi"),
        QStringLiteral("avimux name=mux ! filesink location=%1 videotestsrc num-buffers=25 ! "
                       "video/x-raw,width=160,height=120,framerate=25/1 ! jpegenc ! mux. "
                       "audiotestsrc num-buffers=25 samplesperbuffer=1764 ! "
                       "audio/x-raw,rate=44100,channels=1,format=S16LE ! mux."));
    const QString wav = mediabench::SmallWav();
    TCustomControl display(nullptr);
    display.SetBounds(0, 0, 200, 200);
    display.show();
    TMediaPlayer mp(nullptr);
    mp.SetDisplay(&display);
    mp.OnNotify = [](TObject*) {};
    for (const QString& path : {avi, wav}) {
        for (int i = 0; i < kWarmUp; ++i) Cycle(mp, path);
        const double before = ResidentMiB();
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < kCycles; ++i) Cycle(mp, path);
        RunEvents(100);
        const double after = ResidentMiB();
        std::printf(
            "%-4s %d cycles: resident %.2f -> %.2f MiB, growth %.2f MiB, %.1f ms per cycle\n",
            path.endsWith(QLatin1String(".wav")) ? "wav" : "avi", kCycles, before, after,
            after - before, clock.elapsed() / double(kCycles));
    }
    return 0;
}
