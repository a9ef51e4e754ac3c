// Synchronous click overhead: the wall time of playing a 50 ms wave file
// synchronously, minus its 50 ms, through the real sound service on the null
// sink that keeps real time. The reported times are that overhead.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/LinuxSound.h"

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

// The same through the desktop's output, for comparison: where there is no
// sound device this includes the search for one on every play.
void BM_SyncClickOverheadDesktopOutput(benchmark::State& state) {
    ClickOverhead(state, platform::SoundSink::Auto);
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

BENCHMARK(BM_SyncClickOverhead)->Apply([](auto* b) { SinglePlays(b, 100); });
BENCHMARK(BM_SyncClickOverheadDesktopOutput)->Apply([](auto* b) { SinglePlays(b, 20); });

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
