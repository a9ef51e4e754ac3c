// CPU seconds per second of playing a 640x480 AVI through the player into
// its display widget, beside gst-launch-1.0 playing the same file with the
// same frame conversion into a synced fake sink. Prints median and spread
// of a few runs of each.

#include <gst/gst.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <vector>

#include "kit/Media.h"
#include "kit/Run.h"
#include "kit/Stats.h"
#include "kit/Usage.h"
#include "media/MPlayer.h"
#include "toolkit/WinControl.h"

namespace {

constexpr int kSeconds = 10;
constexpr int kRuns = 3;

double ReferenceRun(const QString& path) {
    gchar* uri = gst_filename_to_uri(path.toLocal8Bit().constData(), nullptr);
    const double before = benchkit::ChildrenCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QProcess::execute(QStringLiteral("gst-launch-1.0"),
                      {QStringLiteral("-q"), QStringLiteral("playbin"),
                       QStringLiteral("uri=%1").arg(QString::fromUtf8(uri)),
                       QStringLiteral("video-sink=videoconvert ! video/x-raw,format=BGRx ! "
                                      "fakesink sync=true")});
    g_free(uri);
    return 1000 * (benchkit::ChildrenCpuSeconds() - before) / (clock.elapsed() / 1000.0);
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
    const double before = benchkit::ProcessCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    mp.Play();
    while (!ended) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double cpu = benchkit::ProcessCpuSeconds() - before;
    const double wall = clock.elapsed() / 1000.0;
    mp.Close();
    return 1000 * cpu / wall;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    const QString path = benchkit::LargeAvi(benchkit::Smoke() ? 1 : kSeconds);
    std::vector<double> reference;
    std::vector<double> player;
    for (int run = 0; run < benchkit::Runs(kRuns); ++run) {
        reference.push_back(ReferenceRun(path));
        player.push_back(PlayerRun(path));
    }
    benchkit::PrintHeader("CPU ms per s");
    benchkit::PrintRow("gst-launch-1.0 playbin (BGRx)", benchkit::Summarise(reference));
    benchkit::PrintRow("TMediaPlayer into its display", benchkit::Summarise(player));
    return 0;
}
