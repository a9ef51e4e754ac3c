// Resident memory growth over 200 open/play/stop/close cycles of the player
// on a small AVI with sound and on a WAV, after a warm-up.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "kit/Media.h"
#include "kit/Run.h"
#include "kit/Usage.h"
#include "media/MPlayer.h"
#include "toolkit/WinControl.h"

namespace {

constexpr int kWarmUp = 20;
constexpr int kCycles = 200;

void Cycle(TMediaPlayer& mp, const QString& path) {
    mp.SetFileName(path);
    mp.Open();
    mp.SetDisplayRect(Rect(0, 0, 0, 0));
    mp.Play();
    benchkit::RunLoopFor(5);
    mp.Stop();
    mp.Close();
    benchkit::RunLoopFor(1);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString avi = benchkit::Generate(
        QStringLiteral("av.avi"),
        QStringLiteral("avimux name=mux ! filesink location=%1 videotestsrc num-buffers=25 ! "
                       "video/x-raw,width=160,height=120,framerate=25/1 ! jpegenc ! mux. "
                       "audiotestsrc num-buffers=25 samplesperbuffer=1764 ! "
                       "audio/x-raw,rate=44100,channels=1,format=S16LE ! mux."));
    const QString wav = benchkit::SmallWav();
    TCustomControl display(nullptr);
    display.SetBounds(0, 0, 200, 200);
    display.show();
    TMediaPlayer mp(nullptr);
    mp.SetDisplay(&display);
    mp.OnNotify = [](TObject*) {};
    const int cycles = benchkit::Runs(kCycles);
    for (const QString& path : {avi, wav}) {
        for (int i = 0; i < benchkit::Runs(kWarmUp); ++i) Cycle(mp, path);
        const double before = benchkit::ResidentMiB();
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < cycles; ++i) Cycle(mp, path);
        benchkit::RunLoopFor(100);
        const double after = benchkit::ResidentMiB();
        std::printf(
            "%-4s %d cycles: resident %.2f -> %.2f MiB, growth %.2f MiB, %.1f ms per cycle\n",
            path.endsWith(QLatin1String(".wav")) ? "wav" : "avi", cycles, before, after,
            after - before, clock.elapsed() / double(cycles));
    }
    return 0;
}
