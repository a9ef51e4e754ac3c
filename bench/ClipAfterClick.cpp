// A wave clip after the click, as Next plays it: from the command (open,
// preroll, play through the player, the click just ended) to the clip's
// first sample on the private sound server's sink, beside a bare playbin's
// command (to PLAYING) to its first sample on the same sink, turn about in
// the same run. The press to the click's own first sample is taken too.
//
//   sound-server.sh run ClipAfterClick [turns]   (default 30)

#include <gst/gst.h>

#include <QFile>
#include <cstdio>

#include "kit/Media.h"
#include "kit/SinkMonitor.h"
#include "kit/Stats.h"
#include "media/MPlayer.h"
#include "platform/sound/LinuxSound.h"
#include "toolkit/WinControl.h"

namespace {

using benchkit::Now;

// Far louder than the click's last samples, which may still come in after
// the command; the click's head and the clips are some ten times louder.
constexpr int kLoud = 2000;

double Median(const std::vector<double>& values) {
    return benchkit::Summarise(values).median;
}
double Percentile90(const std::vector<double>& values) {
    return benchkit::Summarise(values).p90;
}

// Milliseconds from the bare playbin's command to its first sample.
double BarePlaybin(const char* uri) {
    benchkit::MonitorRecorder recorder;
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    g_object_set(playbin, "uri", uri, "audio-sink", gst_element_factory_make("pulsesink", nullptr),
                 "video-sink", gst_element_factory_make("fakesink", nullptr), nullptr);
    const double command = Now();
    gst_element_set_state(playbin, GST_STATE_PLAYING);
    const double ms = 1000 * recorder.FirstLoudAfter(command, kLoud);
    recorder.ReadUntil(Now() + 0.2);
    gst_element_set_state(playbin, GST_STATE_NULL);
    gst_object_unref(playbin);
    return ms;
}

struct PlayerTurn {
    double click, clip;
};

// The click, then the clip's open and play through the player.
PlayerTurn Player(platform::LinuxSound& sound, const QByteArray& click, TMediaPlayer& mp) {
    benchkit::MonitorRecorder recorder;
    const double pressed = Now();
    sound.PlaySound(click.constData(), platform::SND_FILENAME | platform::SND_NODEFAULT);
    const double command = Now();
    mp.Open();
    mp.Play();
    PlayerTurn turn{1000 * recorder.FirstLoudAfter(pressed, kLoud), 0};
    turn.clip = 1000 * recorder.FirstLoudAfter(command, kLoud);
    recorder.ReadUntil(Now() + 0.2);
    mp.Close();
    QCoreApplication::processEvents();
    return turn;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    const int turns = argc > 1 ? std::atoi(argv[1]) : 30;
    const QString wav = benchkit::SmallWav();
    gchar* uri = gst_filename_to_uri(wav.toLocal8Bit().constData(), nullptr);
    const QByteArray click =
        QFile::encodeName(QCoreApplication::applicationDirPath()) + "/../data/dclick.wav";
    TCustomControl display(nullptr);
    TMediaPlayer mp(nullptr);
    mp.SetDisplay(&display);
    mp.SetFileName(wav);
    platform::LinuxSound sound;
    std::vector<double> bare, clip, press;
    Player(sound, click, mp);  // warm-up turns, not counted
    BarePlaybin(uri);
    for (int turn = 0; turn < turns; ++turn) {
        const PlayerTurn player = Player(sound, click, mp);
        press.push_back(player.click);
        clip.push_back(player.clip);
        bare.push_back(BarePlaybin(uri));
    }
    g_free(uri);
    std::printf("to the first sample on the sink, %d turns (ms)   median    p90\n", turns);
    std::printf("  press to the click's first sample            %6.1f %6.1f\n", Median(press),
                Percentile90(press));
    std::printf("  clip after the click: command to first sample %6.1f %6.1f\n", Median(clip),
                Percentile90(clip));
    std::printf("  bare playbin: command to first sample         %6.1f %6.1f\n", Median(bare),
                Percentile90(bare));
    std::printf("goal: clip after click %.1f ms <= 1.2 x bare %.1f = %.1f ms: %s\n", Median(clip),
                Median(bare), 1.2 * Median(bare),
                benchkit::Verdict(Median(clip) <= 1.2 * Median(bare)));
    return 0;
}
