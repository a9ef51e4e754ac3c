// Synchronous click overhead: the wall time of playing a 50 ms wave file
// synchronously, minus its 50 ms, through the real sound service: on the null
// sink that keeps real time and through the audio output policy. Run under
// tests/sound/sound-server.sh, the policy's figures are those of a real sound
// server, then (the server stopped) of none, and the press to its first
// sample on the server's sink is measured too.
#include <benchmark/benchmark.h>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "platform/sound/LinuxSound.h"

namespace {

constexpr int kRate = 44100;
constexpr auto kLength = std::chrono::milliseconds(50);

// A 16-bit mono PCM wave file holding a decaying tone of kLength.
QByteArray ClickWave() {
    const int frames = kRate * static_cast<int>(kLength.count()) / 1000;
    QByteArray wave;
    QDataStream out(&wave, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 dataBytes = frames * 2;
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(kRate) << quint32(kRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (int i = 0; i < frames; ++i) out << qint16(8000 * std::exp(-i / 400.0) * std::sin(i * 0.3));
    return wave;
}

void ClickOverhead(benchmark::State& state, platform::SoundSink sink) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("click.wav"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ClickWave()) < 0) {
        state.SkipWithError("cannot write the test wave");
        return;
    }
    file.close();
    platform::LinuxSound sound({.sink = sink, .defaultSound = QByteArray()});
    const QByteArray name = path.toUtf8();
    // The first play of a process loads the GStreamer plugins; not measured.
    sound.PlaySound(name.constData(), platform::SND_FILENAME);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool played = sound.PlaySound(name.constData(), platform::SND_FILENAME);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (!played && sink == platform::SoundSink::Null) {
            state.SkipWithError("the sound did not play");
            return;
        }
        state.SetIterationTime(elapsed.count() - std::chrono::duration<double>(kLength).count());
    }
}

double Minimum(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}
double Maximum(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}
double Percentile90(const std::vector<double>& v) {
    std::vector<double> sorted = v;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() * 9 / 10];
}

void BM_SyncClickOverhead(benchmark::State& state) {
    ClickOverhead(state, platform::SoundSink::Null);
}

// The same through the audio output policy: the sound server when one runs.
void BM_SyncClickOverheadDesktopOutput(benchmark::State& state) {
    ClickOverhead(state, platform::SoundSink::Auto);
}

// Controls the private sound server the wrapper script started, if any.
bool Server(const char* command) {
    const QByteArray script = qgetenv("BRELMO_SOUND_SERVER");
    return !script.isEmpty() && std::system((script + ' ' + command).constData()) == 0;
}

// The policy once the server is gone: the silent sink, found on every
// press. Runs last: the server is stopped with its first repetition.
void BM_SyncClickOverheadServerStopped(benchmark::State& state) {
    static const bool stopped = Server("stop");
    if (!stopped) {
        state.SkipWithError("not run under tests/sound/sound-server.sh");
        return;
    }
    ClickOverhead(state, platform::SoundSink::Auto);
}

// Press to the first loud sample on the server's sink, as its monitor
// captures it on the system clock.
class MonitorCapture {
public:
    MonitorCapture() {
        const QByteArray device = qgetenv("BRELMO_TEST_SINK") + ".monitor";
        pipeline_ = gst_parse_launch(
            ("pulsesrc device=" + device +
             " ! audio/x-raw,format=S16LE,channels=1,"
             "rate=48000 ! appsink name=out sync=false")
                .constData(),
            nullptr);
        gst_pipeline_use_clock(GST_PIPELINE(pipeline_), gst_system_clock_obtain());
        sink_ = gst_bin_get_by_name(GST_BIN(pipeline_), "out");
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
        gst_element_get_state(pipeline_, nullptr, nullptr, GST_SECOND);
    }
    ~MonitorCapture() {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        gst_object_unref(sink_);
        gst_object_unref(pipeline_);
    }

    static GstClockTime Now() {
        GstClock* clock = gst_system_clock_obtain();
        const GstClockTime now = gst_clock_get_time(clock);
        gst_object_unref(clock);
        return now;
    }

    // Drops what was captured so far.
    void Drain() {
        while (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), 0))
            gst_sample_unref(sample);
    }

    // The clock time of the first loud sample captured before 'until'.
    GstClockTime FirstLoud(GstClockTime until) {
        while (Now() < until) {
            GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), 10 * GST_MSECOND);
            if (!sample) continue;
            const GstClockTime found = LoudIn(sample);
            gst_sample_unref(sample);
            if (GST_CLOCK_TIME_IS_VALID(found)) return found;
        }
        return GST_CLOCK_TIME_NONE;
    }

private:
    GstClockTime LoudIn(GstSample* sample) const {
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_READ);
        const auto* samples = reinterpret_cast<const qint16*>(map.data);
        GstClockTime found = GST_CLOCK_TIME_NONE;
        for (gsize i = 0; i < map.size / 2; ++i)
            if (std::abs(samples[i]) > 100) {
                found = gst_element_get_base_time(pipeline_) + GST_BUFFER_PTS(buffer) +
                        gst_util_uint64_scale(i, GST_SECOND, 48000);
                break;
            }
        gst_buffer_unmap(buffer, &map);
        return found;
    }

    GstElement* pipeline_;
    GstElement* sink_;
};

void BM_PressToFirstSampleOnTheSink(benchmark::State& state) {
    if (qgetenv("BRELMO_TEST_SINK").isEmpty()) {
        state.SkipWithError("not run under tests/sound/sound-server.sh");
        return;
    }
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.filePath(QStringLiteral("click.wav")));
    QFile file(QString::fromLocal8Bit(name));
    file.open(QIODevice::WriteOnly);
    file.write(ClickWave());
    file.close();
    platform::LinuxSound sound({.sink = platform::SoundSink::Auto, .defaultSound = QByteArray()});
    sound.PlaySound(name.constData(), platform::SND_FILENAME);
    MonitorCapture capture;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        capture.Drain();
        const GstClockTime pressed = MonitorCapture::Now();
        sound.PlaySound(name.constData(), platform::SND_FILENAME);
        const GstClockTime heard = capture.FirstLoud(pressed + GST_SECOND);
        state.SetIterationTime(GST_CLOCK_TIME_IS_VALID(heard)
                                   ? static_cast<double>(GST_CLOCK_DIFF(pressed, heard)) / GST_SECOND
                                   : 1.0);
    }
}

// One play per sample, so that median and spread are those of single clicks.
void SinglePlays(benchmark::internal::Benchmark* benchmark, int plays) {
    benchmark->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(plays)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", Minimum)
        ->ComputeStatistics("p90", Percentile90)
        ->ComputeStatistics("max", Maximum);
}

BENCHMARK(BM_SyncClickOverhead)->Apply([](auto* b) { SinglePlays(b, 200); });
BENCHMARK(BM_SyncClickOverheadDesktopOutput)->Apply([](auto* b) { SinglePlays(b, 200); });
BENCHMARK(BM_PressToFirstSampleOnTheSink)->Apply([](auto* b) { SinglePlays(b, 50); });
BENCHMARK(BM_SyncClickOverheadServerStopped)->Apply([](auto* b) { SinglePlays(b, 200); });

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    gst_init(nullptr, nullptr);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
