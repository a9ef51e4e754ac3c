// Synchronous click overhead: the wall time of playing a 50 ms wave file
// synchronously, minus its 50 ms, through the real sound service: on the null
// sink that keeps real time and through the audio output policy. Run under
// tests/sound/sound-server.sh, the policy's figures are those of a real sound
// server, then (the server stopped) of none, and the press to its first
// sample on the server's sink is measured too. The "BusyCores" figures are
// taken with both cores kept busy by two loops the benchmark starts and
// stops by PID, as a build running beside the player does.
#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <thread>

#include "kit/Run.h"
#include "kit/SinkMonitor.h"
#include "kit/Stats.h"
#include "platform/sound/LinuxSound.h"
#include "support/BusyCores.h"

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

void ClickOverhead(benchmark::State& state, platform::SoundSink sink, bool busy = false) {
    const BusyCores load(busy);
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

void PressToFirstSample(benchmark::State& state, bool busy) {
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
    // A recording for each repetition (each runs this function anew): one
    // across the pauses between them would lose its time base.
    benchkit::MonitorRecorder recorder;
    const BusyCores load(busy);
    for (auto _ : state) {
        recorder.ReadUntil(benchkit::Now() + 0.2);
        const double pressed = benchkit::Now();
        sound.PlaySound(name.constData(), platform::SND_FILENAME);
        state.SetIterationTime(recorder.FirstLoudAfter(pressed));
    }
}

void BM_SyncClickOverheadDesktopOutputBusyCores(benchmark::State& state) {
    ClickOverhead(state, platform::SoundSink::Auto, true);
}
void BM_PressToFirstSampleOnTheSink(benchmark::State& state) {
    PressToFirstSample(state, false);
}
void BM_PressToFirstSampleOnTheSinkBusyCores(benchmark::State& state) {
    PressToFirstSample(state, true);
}

BENCHMARK(BM_SyncClickOverhead)->Apply([](auto* b) { benchkit::SingleSamples(b, 200); });
BENCHMARK(BM_SyncClickOverheadDesktopOutput)->Apply([](auto* b) {
    benchkit::SingleSamples(b, 200);
});
BENCHMARK(BM_SyncClickOverheadDesktopOutputBusyCores)->Apply([](auto* b) {
    benchkit::SingleSamples(b, 200);
});
BENCHMARK(BM_PressToFirstSampleOnTheSink)->Apply([](auto* b) { benchkit::SingleSamples(b, 50); });
BENCHMARK(BM_PressToFirstSampleOnTheSinkBusyCores)->Apply([](auto* b) {
    benchkit::SingleSamples(b, 50);
});
BENCHMARK(BM_SyncClickOverheadServerStopped)->Apply([](auto* b) {
    benchkit::SingleSamples(b, 200);
});

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    gst_init(nullptr, nullptr);
    return benchkit::RunBenchmarks(argc, argv);
}
