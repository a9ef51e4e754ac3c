// CPU of an idle event loop with the volume poll running every 20 ms and a
// linked slider, beside the same loop with the poll off (Interval 0), and a
// count of the heap allocations the poll makes per tick.
//
// Usage: VolumePoll [--seconds N] [--runs R]   (defaults: 10 s, 5 runs)
// Modes, run interleaved: "off" (Interval 0), "on" (Interval 20 on the
// machine's own output lines) and "device" (Interval 20 on a stand-in wave
// line that answers every read, so that each tick reads a volume).

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "kit/Processes.h"
#include "kit/Run.h"
#include "kit/Usage.h"
#include "media/Volumes.h"
#include "platform/mixer/AudioDevices.h"

// Every heap allocation of the program passes through malloc (operator new
// and Qt's containers included); these count the ones made on the counting
// thread while counting is on.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);

namespace {
thread_local bool countingThread = false;
bool counting = false;
long allocations = 0;

void Count() {
    if (counting && countingThread) ++allocations;
}
}  // namespace

extern "C" void* malloc(std::size_t size) {
    Count();
    return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t count, std::size_t size) {
    Count();
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* block, std::size_t size) {
    Count();
    return __libc_realloc(block, size);
}

namespace {

using platform::OutputClass;

// One wave line at a fixed volume; every other class has no device.
class StandInDevices : public platform::IAudioDevices {
  public:
    unsigned GetNumDevs(OutputClass c) override { return c == OutputClass::WaveOut ? 1 : 0; }
    platform::MMRESULT GetDevCaps(OutputClass, unsigned, platform::OutputCaps& caps) override {
        caps.dwSupport = platform::WAVECAPS_VOLUME;
        return platform::MMSYSERR_NOERROR;
    }
    platform::MMRESULT GetVolume(OutputClass, unsigned, std::uint32_t& volume) override {
        ++reads;
        volume = volume_;
        return platform::MMSYSERR_NOERROR;
    }
    platform::MMRESULT SetVolume(OutputClass, unsigned, std::uint32_t volume) override {
        volume_ = volume;
        return platform::MMSYSERR_NOERROR;
    }
    long reads = 0;

  private:
    std::uint32_t volume_ = 0x75007500;
};

enum Mode { kOff, kOn, kDevice };
const char* const kModeNames[] = {"off", "on", "device"};

// The main window's arrangement: a vertical slider on a shown window, linked
// as the wave line's slider of a volume control.
struct Scene {
    explicit Scene(Mode mode) {
        if (mode == kDevice) {
            auto devices = std::make_unique<StandInDevices>();
            standIn = devices.get();
            previous = platform::SetAudioDevices(std::move(devices));
        }
        window.resize(640, 480);
        window.show();
        trackBar = new TTrackBar(nullptr);
        trackBar->SetParent(&window);
        trackBar->SetOrientation(trVertical);
        trackBar->SetBounds(568, 391, 45, 86);
        control = std::make_unique<TVolumeControl>(nullptr);
        control->SetInterval(mode == kOff ? 0 : 20);
        control->SetWaveTrackBar(trackBar);
        benchkit::RunLoopFor(200);  // settle: first paint, first ticks
    }
    ~Scene() {
        control.reset();
        if (previous) platform::SetAudioDevices(std::move(previous));
    }

    QWidget window;
    TTrackBar* trackBar = nullptr;  // owned by the window
    std::unique_ptr<TVolumeControl> control;
    StandInDevices* standIn = nullptr;
    std::unique_ptr<platform::IAudioDevices> previous;
};

// Percent of one core used by the whole process while the loop idles.
double MeasureCpu(Mode mode, int seconds) {
    Scene scene(mode);
    QElapsedTimer wall;
    const double cpuStart = benchkit::ProcessCpuSeconds();
    wall.start();
    benchkit::RunLoopFor(seconds * 1000);
    const double cpu = benchkit::ProcessCpuSeconds() - cpuStart;
    return 100.0 * cpu / (static_cast<double>(wall.nsecsElapsed()) * 1e-9);
}

// Allocations on the GUI thread while the loop runs for two seconds.
long AllocationsInLoop(Scene& scene) {
    allocations = 0;
    counting = true;
    benchkit::RunLoopFor(2000);
    counting = false;
    return allocations;
}

void ReportAllocations() {
    Scene off(kOff);
    const long offCount = AllocationsInLoop(off);
    Scene device(kDevice);
    const long readsBefore = device.standIn->reads;
    const long onCount = AllocationsInLoop(device);
    const long ticks = device.standIn->reads - readsBefore;
    std::printf("allocations over 2 s of loop: poll off %ld, poll on %ld (%ld ticks)\n", offCount,
                onCount, ticks);

    constexpr int kDirect = 10000;
    allocations = 0;
    counting = true;
    for (int i = 0; i < kDirect; ++i) device.control->SyncTrackBars(nullptr);
    counting = false;
    std::printf("allocations in %d direct ticks (SyncTrackBars with a device read): %ld\n", kDirect,
                allocations);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    countingThread = true;
    const int seconds = benchkit::IntArg(argc, argv, "--seconds", 10);
    const int runs = benchkit::IntArg(argc, argv, "--runs", 5);
    QApplication app(argc, argv);
    std::printf("platform %s, %d runs of %d s per mode\n", qPrintable(app.platformName()), runs,
                seconds);

    std::vector<double> samples[3];
    for (int run = 0; run < runs; ++run) {
        for (Mode mode : {kOff, kOn, kDevice}) {
            samples[mode].push_back(MeasureCpu(mode, seconds));
            std::printf("run %d %-6s %.3f %% of a core\n", run + 1, kModeNames[mode],
                        samples[mode].back());
            std::fflush(stdout);
        }
    }
    const benchkit::Summary off = benchkit::Summarise(samples[kOff]);
    for (Mode mode : {kOff, kOn, kDevice}) {
        const benchkit::Summary s = benchkit::Summarise(samples[mode]);
        std::printf("%-6s median %.3f %% (min %.3f, max %.3f), above off: %+.3f %%\n",
                    kModeNames[mode], s.median, s.min, s.max, s.median - off.median);
    }
    ReportAllocations();
    return 0;
}
