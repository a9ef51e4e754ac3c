// Resident memory over a long session of Next presses, each as the player
// does it while a wave clip plays: the click, the clip's stop, the click
// again, the next clip opened and played. Run under
// tests/sound/sound-server.sh for the real sound server's streams. VmRSS is
// read every 500 presses; the growth per press is taken after the first
// 1000, once caches and pools have filled.
//
//   sound-server.sh run PressMemory [presses]   (default 5000)

#include <gst/gst.h>

#include <QFile>
#include <cstdio>

#include "kit/Media.h"
#include "media/MPlayer.h"
#include "platform/sound/LinuxSound.h"
#include "probes/ProbeReport.h"
#include "toolkit/WinControl.h"

namespace {

constexpr int kReadEvery = 500;
constexpr int kWarmUpPresses = 1000;

void Press(platform::LinuxSound& sound, const QByteArray& click, TMediaPlayer& mp) {
    sound.PlaySound(click.constData(), platform::SND_FILENAME | platform::SND_NODEFAULT);
    mp.Stop();
    sound.PlaySound(click.constData(), platform::SND_FILENAME | platform::SND_NODEFAULT);
    mp.Open();
    mp.Play();
    QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    const int presses = argc > 1 ? std::atoi(argv[1]) : 5000;
    const QByteArray click =
        QFile::encodeName(QCoreApplication::applicationDirPath()) + "/../data/dclick.wav";
    TCustomControl display(nullptr);
    TMediaPlayer mp(nullptr);
    mp.SetDisplay(&display);
    mp.SetFileName(benchkit::SmallWav());
    platform::LinuxSound sound;
    mp.Open();
    mp.Play();
    long warmKiB = 0;
    std::printf("presses  VmRSS (KiB)\n");
    for (int press = 1; press <= presses; ++press) {
        Press(sound, click, mp);
        if (press % kReadEvery != 0) continue;
        const long residentKiB = probe::ReadMemory().residentKiB;
        std::printf("%7d  %ld\n", press, residentKiB);
        std::fflush(stdout);
        if (press == kWarmUpPresses) warmKiB = residentKiB;
    }
    if (presses > kWarmUpPresses)
        std::printf("growth after %d presses: %.2f KiB a press\n", kWarmUpPresses,
                    static_cast<double>(probe::ReadMemory().residentKiB - warmKiB) /
                        (presses - kWarmUpPresses));
    return 0;
}
