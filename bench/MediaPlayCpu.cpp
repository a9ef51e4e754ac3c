// CPU seconds per second of playing a 640x480 AVI through the player into
// its display widget, beside gst-launch-1.0 playing the same file with the
// same frame conversion into a synced fake sink. Prints median and spread
// of a few runs of each.

#include <gst/gst.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "MediaBench.h"
#include "media/MPlayer.h"
#include "toolkit/WinControl.h"

namespace {

constexpr int kSeconds = 10;
constexpr int kRuns = 3;

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ReferenceRun(const QString& path) {
    gchar* uri = gst_filename_to_uri(path.toLocal8Bit().constData(), nullptr);
    const double before = CpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    clock.start();
    QProcess::execute(QStringLiteral("gst-launch-1.0"),
                      {QStringLiteral("-q"), QStringLiteral("playbin"),
                       QStringLiteral("uri=%1").arg(QString::fromUtf8(uri)),
                       QStringLiteral("video-sink=videoconvert ! video/x-raw,format=BGRx ! "
                                      "fakesink sync=true")});
    g_free(uri);
    return (CpuSeconds(RUSAGE_CHILDREN) - before) / (clock.elapsed() / 1000.0);
}

double PlayerRun(const QString& path) {
    TCustomControl display(nullptr);
    display.SetColor(clBlack);
    display.SetBounds(0, 0, 640, 480);
    display.show();
    TMediaPlayer mp(nullptr);
    mp.SetDisplay(&display);
    mp.SetFileName(path);
    mp.Open();
    mp.SetDisplayRect(Rect(0, 0, 0, 0));
    bool ended = false;
    mp.OnNotify = [&](TObject*) { ended = true; };
    const double before = CpuSeconds(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    mp.Play();
    while (!ended) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double cpu = CpuSeconds(RUSAGE_SELF) - before;
    const double wall = clock.elapsed() / 1000.0;
    mp.Close();
    return cpu / wall;
}

void Report(const char* name, std::vector<double> figures) {
    std::sort(figures.begin(), figures.end());
    std::printf("%-32s median %6.1f ms/s   min %6.1f   max %6.1f   (%zu runs)\n", name,
                figures[figures.size() / 2] * 1000, figures.front() * 1000, figures.back() * 1000,
                figures.size());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    const QString path = mediabench::LargeAvi(kSeconds);
    std::vector<double> reference;
    std::vector<double> player;
    for (int run = 0; run < kRuns; ++run) {
        reference.push_back(ReferenceRun(path));
        player.push_back(PlayerRun(path));
    }
    Report("gst-launch-1.0 playbin (BGRx)", reference);
    Report("TMediaPlayer into its display", player);
    return 0;
}
