// 1,000 presses of Next, Back, Stop and Re-do in a burst over a playlist of
// three real clips, the sound service silent: each press is delivered on its
// own turn of the event loop, in a fixed pseudo-random order. Checks that the
// player survives, that every press reached its handler, and that resident
// memory does not grow after a warm-up (sampled every 100 presses).
//
//   PressBurst [presses]   (default 1000; the first 100 are the warm-up)

#include <array>
#include <cstdio>
#include <random>

#include "kit/Player.h"
#include "kit/Run.h"
#include "kit/Usage.h"
#include "media/MPlayer.h"

namespace {

constexpr int kWarmUpPresses = 100;
constexpr int kSampleEvery = 100;
constexpr double kAllowedGrowthMiB = 2.0;
constexpr int kSettleMs = 500;

struct Button {
    const char* name;
    TTransparentButton* control;
    int pressed = 0;
    int handled = 0;
};

struct Figures {
    std::vector<Button> buttons;
    std::vector<std::pair<int, double>> residentMiB;  // presses so far, VmRSS
    int notices = 0;
    double seconds = 0;
};

// Lets queued notices, repaints and deferred deletions run out first.
double SettledResidentMiB() {
    benchkit::RunLoopFor(kSettleMs);
    return benchkit::ResidentMiB();
}

void Burst(TForm1& form, int presses, Figures& figures) {
    benchkit::SetPlaylist(benchkit::ThreeClips());
    figures.buttons = {
        {"Next", form.bnext}, {"Back", form.bprev}, {"Stop", form.bstop}, {"Re-do", form.breplay}};
    for (Button& button : figures.buttons)
        button.control->OnClick = [&button, click = button.control->OnClick](TObject* sender) {
            ++button.handled;
            click(sender);
        };
    form.mp->OnNotify = [&figures, notify = form.mp->OnNotify](TObject* sender) {
        ++figures.notices;
        notify(sender);
    };

    std::mt19937 order(20261207);
    std::uniform_int_distribution<size_t> pick(0, figures.buttons.size() - 1);
    QElapsedTimer clock;
    clock.start();
    for (int done = 0; done < presses;) {
        Button& button = figures.buttons[pick(order)];
        ++button.pressed;
        benchkit::Press(button.control);
        QCoreApplication::processEvents();
        ++done;
        if (done % kSampleEvery == 0)
            figures.residentMiB.emplace_back(done, benchkit::ResidentMiB());
    }
    figures.seconds = clock.elapsed() / 1000.0;
    figures.residentMiB.emplace_back(presses, SettledResidentMiB());
}

bool Report(const Figures& figures, int presses, int messages) {
    std::printf("Burst of %d presses over 3 clips in %.1f s (%.1f ms a press), silent clicks\n",
                presses, figures.seconds, figures.seconds * 1000 / presses);
    int handled = 0;
    for (const Button& button : figures.buttons) {
        std::printf("  %-6s pressed %4d, handled %4d\n", button.name, button.pressed,
                    button.handled);
        handled += button.handled;
    }
    std::printf("  device notices %d, messages shown %d\n", figures.notices, messages);
    std::printf("resident memory (MiB) after n presses:");
    for (const auto& [done, mib] : figures.residentMiB) std::printf(" %d:%.1f", done, mib);
    std::printf(" (last one after %d ms settling)\n", kSettleMs);

    double warm = 0;
    for (const auto& [done, mib] : figures.residentMiB)
        if (done == kWarmUpPresses) warm = mib;
    const double growth = figures.residentMiB.back().second - warm;
    const bool allHandled = handled == presses;
    const bool noLeak = warm > 0 && growth <= kAllowedGrowthMiB;
    std::printf("goal: every press handled, %d of %d: %s\n", handled, presses,
                benchkit::Verdict(allHandled));
    std::printf("goal: growth after the warm-up %.2f MiB <= %.1f MiB: %s\n", growth,
                kAllowedGrowthMiB, benchkit::Verdict(noLeak));
    return allHandled && noLeak;
}

}  // namespace

int main(int argc, char** argv) {
    const int presses = argc > 1 ? std::max(kWarmUpPresses, std::atoi(argv[1])) : 1000;
    int messages = 0;
    Figures figures;
    const int code = benchkit::RunPlayer(
        argc, argv, [&](TForm1& form) { Burst(form, presses, figures); }, &messages);
    const bool met = Report(figures, presses, messages);
    return code != 0 || !met ? 1 : 0;
}
