// The player as built, told to report when the skin is fully revealed: the
// reveal's last frame drawn and its notice handled, then that frame on the
// window. On the way it reports the main window made, first painted (grey and
// black, before the reveal), activated, and its first reveal frame with
// some of the skin in it on the window. With BRELMO_PROBE_IDLE_MS it stays
// idle that long and reports its memory before quitting.
#include "AfterPaint.h"
#include "ProbeReport.h"
#include "app/Main.h"
#include "entry/Run.h"
#include "skin/Transit.h"
#include "toolkit/Application.h"

int main(int argc, char** argv) {
    const std::int64_t mainNs = probe::MonotonicNs();
    return RunBrelmo(argc, argv, [mainNs](TForm1& form) {
        probe::Report("main_ns", mainNs);
        probe::Report("form_ns", probe::MonotonicNs());
        new probe::AfterPaint(&form, [] { probe::Report("first_paint_ns", probe::MonotonicNs()); });
        form.OnActivate = [activate = form.OnActivate](TObject* sender) {
            probe::Report("activate_ns", probe::MonotonicNs());
            activate(sender);
        };
        TTransitionEffect* skin = form.image1;
        // Frame 0 shows nothing of the skin; frame 1 is its first piece.
        skin->OnAfterStep = [skin](TObject*) {
            if (skin->CurrentStep() != 2) return;
            new probe::AfterPaint(skin,
                                  [] { probe::Report("first_frame_ns", probe::MonotonicNs()); });
        };
        skin->OnNotify = [skin, notify = skin->OnNotify](TObject* sender) {
            notify(sender);
            probe::Report("ready_ns", probe::MonotonicNs());
            probe::ReportShownThenQuit(skin, [] { Application->Terminate(); });
        };
    });
}
