// Next pressed to the first video frame painted in the player's panel, with
// the real media backend and a silent sound service (the click is excluded),
// beside the media device's own Open + Play until its display window has
// painted the first frame, taking turns in the same run. Clips: three solid
// colours, motion JPEG, 160x120, 200x100 and 320x240; each press stops the
// clip playing before.
//
//   NextToFrame [presses]   (default 20, after 3 warm-up turns)

#include <QColor>
#include <QImage>
#include <cstdio>

#include "kit/Player.h"
#include "kit/Run.h"
#include "kit/Usage.h"
#include "media/MPlayer.h"
#include "toolkit/Panel.h"

namespace {

using benchkit::Clip;

constexpr double kAllowedFactor = 1.3;
constexpr int kWarmUpTurns = 3;
constexpr int kPlayBetweenMs = 150;

bool NearColour(QRgb seen, QRgb expected) {
    const int dr = qRed(seen) - qRed(expected);
    const int dg = qGreen(seen) - qGreen(expected);
    const int db = qBlue(seen) - qBlue(expected);
    return dr * dr + dg * dg + db * db < 2000;
}

// What the panel shows at its centre, for a check that the right clip is on.
QRgb PanelCentre(TForm1& form) {
    const QImage shot = form.panel1->grab().toImage();
    return shot.pixel(shot.width() / 2, shot.height() / 2);
}

struct Figures {
    std::vector<double> nextMs;
    std::vector<double> deviceMs;
    int wrongPictures = 0;
    int timeouts = 0;
};

void PressNext(TForm1& form, benchkit::FirstFrameWatch& watch, const std::vector<Clip>& clips,
               std::vector<double>* into, Figures& figures) {
    watch.Arm();
    const std::int64_t start = probe::MonotonicNs();
    benchkit::Press(form.bnext);
    if (!benchkit::WaitUntil([&] { return watch.Painted(); })) {
        ++figures.timeouts;
        return;
    }
    if (into) into->push_back((watch.PaintedNs() - start) / 1e6);
    if (!NearColour(PanelCentre(form), clips.at(PlaylistIndex - 1).colour)) ++figures.wrongPictures;
}

void OpenAndPlay(TMediaPlayer& device, benchkit::FirstFrameWatch& watch, const Clip& clip,
                 std::vector<double>* into, Figures& figures) {
    device.SetFileName(clip.path);
    watch.Arm();
    const std::int64_t start = probe::MonotonicNs();
    device.Open();
    device.Play();
    if (!benchkit::WaitUntil([&] { return watch.Painted(); }))
        ++figures.timeouts;
    else if (into)
        into->push_back((watch.PaintedNs() - start) / 1e6);
    device.Close();
}

void Measure(TForm1& form, int presses, Figures& figures) {
    const std::vector<Clip> clips = benchkit::ThreeClips();
    benchkit::SetPlaylist(clips);
    benchkit::FirstFrameWatch watch;

    // The device on its own, drawing into a black window of its own.
    TPanel display(nullptr);
    display.SetColor(clBlack);
    display.SetBounds(0, 0, 320, 240);
    display.show();
    TMediaPlayer device(nullptr);
    device.SetDisplay(&display);
    benchkit::WaitUntil([&] { return display.isVisible(); });

    for (int turn = 0; turn < kWarmUpTurns + presses; ++turn) {
        const bool counted = turn >= kWarmUpTurns;
        PressNext(form, watch, clips, counted ? &figures.nextMs : nullptr, figures);
        benchkit::RunLoopFor(kPlayBetweenMs);
        OpenAndPlay(device, watch, clips.at(turn % clips.size()),
                    counted ? &figures.deviceMs : nullptr, figures);
        benchkit::RunLoopFor(kPlayBetweenMs);
    }
}

void Report(const Figures& figures, int messages) {
    using benchkit::Summarise;
    std::printf("Next to first frame painted, real media backend, silent clicks, %zu presses\n",
                figures.nextMs.size());
    benchkit::PrintHeader("ms");
    const auto device = Summarise(figures.deviceMs);
    const auto next = Summarise(figures.nextMs);
    benchkit::PrintRow("device: Open + Play to first frame painted", device);
    benchkit::PrintRow("player: Next pressed to first frame painted", next);
    std::printf("goal: Next %.1f ms <= %.1f x %.1f = %.1f ms: %s (%.2fx the device)\n", next.median,
                kAllowedFactor, device.median, kAllowedFactor * device.median,
                benchkit::Verdict(next.median <= kAllowedFactor * device.median),
                next.median / device.median);
    std::printf("checks: %d wrong pictures, %d frames never painted, %d messages shown\n",
                figures.wrongPictures, figures.timeouts, messages);
}

}  // namespace

int main(int argc, char** argv) {
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    int messages = 0;
    Figures figures;
    const int code = benchkit::RunPlayer(
        argc, argv, [&](TForm1& form) { Measure(form, presses, figures); }, &messages);
    Report(figures, messages);
    return code != 0 || figures.timeouts || figures.wrongPictures ? 1 : code;
}
