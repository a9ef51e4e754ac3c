// Open (preroll, natural size known) of a small AVI and a WAV through the
// player, beside a bare playbin preroll in the same run: to fake sinks, and,
// run under tests/sound/sound-server.sh, with its sound to the real server
// (where the player's audio output policy sends it too).

#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include "kit/Media.h"
#include "kit/Run.h"
#include "media/MPlayer.h"
#include "toolkit/WinControl.h"

namespace {

void BarePlaybinPreroll(benchmark::State& state, const QString& path, const char* audioSink) {
    gchar* uri = gst_filename_to_uri(path.toLocal8Bit().constData(), nullptr);
    for (auto _ : state) {
        GstElement* playbin = gst_element_factory_make("playbin", nullptr);
        GstElement* video = gst_element_factory_make("fakesink", nullptr);
        GstElement* audio = gst_element_factory_make(audioSink, nullptr);
        g_object_set(video, "sync", TRUE, nullptr);
        g_object_set(audio, "sync", TRUE, nullptr);
        g_object_set(playbin, "uri", uri, "video-sink", video, "audio-sink", audio, nullptr);
        gst_element_set_state(playbin, GST_STATE_PAUSED);
        gst_element_get_state(playbin, nullptr, nullptr, 5 * GST_SECOND);
        state.PauseTiming();
        gst_element_set_state(playbin, GST_STATE_NULL);
        gst_object_unref(playbin);
        state.ResumeTiming();
    }
    g_free(uri);
}

void PlayerOpen(benchmark::State& state, const QString& path) {
    TCustomControl display(nullptr);
    TMediaPlayer mp(nullptr);
    mp.SetDisplay(&display);
    mp.SetFileName(path);
    for (auto _ : state) {
        mp.Open();
        benchmark::DoNotOptimize(mp.NaturalWidth());
        state.PauseTiming();
        mp.Close();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    const QString avi = benchkit::SmallAvi();
    const QString wav = benchkit::SmallWav();
    const char* audioSink =
        qEnvironmentVariableIsSet("BRELMO_TEST_SINK") ? "pulsesink" : "fakesink";
    const QString audioVideo = benchkit::SmallAudioVideoAvi();
    for (const auto& [name, path] :
         {std::pair{"avi", avi}, std::pair{"av-avi", audioVideo}, std::pair{"wav", wav}}) {
        benchmark::RegisterBenchmark(
            (std::string("BarePlaybinPreroll/") + name + '/' + audioSink).c_str(),
            BarePlaybinPreroll, path, audioSink)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("PlayerOpen/") + name).c_str(), PlayerOpen, path)
            ->Unit(benchmark::kMillisecond);
    }
    return benchkit::RunBenchmarks(argc, argv);
}
