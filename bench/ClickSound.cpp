// Synchronous click overhead: the wall time of playing a 50 ms wave file
// synchronously, minus its 50 ms, through the real sound service: on the null
// sink that keeps real time and through the audio output policy. Run under
// tests/sound/sound-server.sh, the policy's figures are those of a real sound
// server, then (the server stopped) of none, and the press to its first
// sample on the server's sink is measured too.
#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <thread>

#include "kit/Run.h"
#include "kit/Stats.h"
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

// Press to the first loud sample on the server's sink, as a recorder of its
// monitor captures it. Sample k of the recording was taken at
// base + k / rate; the base is the earliest any chunk allows: a chunk that
// brings the recording to n samples, arriving at t, bounds it by t - n / rate.
class MonitorRecorder {
  public:
    MonitorRecorder() {
        parec_.start(
            QStringLiteral("parec"),
            {QStringLiteral("-d"), QString::fromUtf8(qgetenv("BRELMO_TEST_SINK") + ".monitor"),
             QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
             QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--raw"),
             QStringLiteral("--latency-msec=2")});
        parec_.waitForStarted();
        // Long enough for the first chunks, which set the base.
        ReadUntil(Now() + 0.5);
    }
    ~MonitorRecorder() {
        parec_.terminate();
        parec_.waitForFinished(2000);
    }

    static double Now() {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    // Reads what has come until 'until', the time base kept up to date.
    void ReadUntil(double until) {
        while (Now() < until) {
            parec_.waitForReadyRead(5);
            const QByteArray bytes = parec_.readAllStandardOutput();
            if (bytes.isEmpty()) continue;
            const double arrived = Now();
            const auto* samples = reinterpret_cast<const qint16*>(bytes.constData());
            samples_.insert(samples_.end(), samples, samples + bytes.size() / 2);
            base_ = std::min(base_, arrived - static_cast<double>(samples_.size()) / kRate);
        }
    }

    // Seconds from 'pressed' to the first loud sample taken after it, read
    // for at most a second; a second when none came.
    double FirstLoudAfter(double pressed) {
        for (double until = Now() + 0.02; until < pressed + 1; until += 0.02) {
            ReadUntil(until);
            for (std::size_t k = SampleAt(pressed); k < samples_.size(); ++k)
                if (std::abs(samples_[k]) > 100)
                    return base_ + static_cast<double>(k) / kRate - pressed;
        }
        return 1;
    }

  private:
    std::size_t SampleAt(double time) const {
        return static_cast<std::size_t>(std::max(0.0, (time - base_) * kRate));
    }

    QProcess parec_;
    std::vector<qint16> samples_;
    double base_ = std::numeric_limits<double>::max();
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
    // One recording for all repetitions (each runs this function anew).
    static MonitorRecorder recorder;
    for (auto _ : state) {
        recorder.ReadUntil(MonitorRecorder::Now() + 0.2);
        const double pressed = MonitorRecorder::Now();
        sound.PlaySound(name.constData(), platform::SND_FILENAME);
        state.SetIterationTime(recorder.FirstLoudAfter(pressed));
    }
}

BENCHMARK(BM_SyncClickOverhead)->Apply([](auto* b) { benchkit::SingleSamples(b, 200); });
BENCHMARK(BM_SyncClickOverheadDesktopOutput)->Apply([](auto* b) {
    benchkit::SingleSamples(b, 200);
});
BENCHMARK(BM_PressToFirstSampleOnTheSink)->Apply([](auto* b) { benchkit::SingleSamples(b, 50); });
BENCHMARK(BM_SyncClickOverheadServerStopped)->Apply([](auto* b) {
    benchkit::SingleSamples(b, 200);
});

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    gst_init(nullptr, nullptr);
    return benchkit::RunBenchmarks(argc, argv);
}
