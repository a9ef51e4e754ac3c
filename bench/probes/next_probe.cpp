// The player as built, with one wave file (BRELMO_PROBE_WAVE) in its
// playlist: once its skin is revealed and it has idled a second, Next is
// pressed; it reports the press and quits a second later.
#include <QTimer>

#include "ProbeReport.h"
#include "app/Main.h"
#include "app/PlayerState.h"
#include "entry/Run.h"
#include "skin/Transit.h"
#include "toolkit/Application.h"

int main(int argc, char** argv) {
    return RunBrelmo(argc, argv, [](TForm1& form) {
        TTransitionEffect* skin = form.image1;
        skin->OnNotify = [&form, notify = skin->OnNotify](TObject* sender) {
            notify(sender);
            QTimer::singleShot(1000, &form, [&form] {
                Playlist.Set(1, QString::fromLocal8Bit(qgetenv("BRELMO_PROBE_WAVE")));
                PlaylistCount = 1;
                probe::Report("press_ns", probe::MonotonicNs());
                form.bnextClick(nullptr);
                QTimer::singleShot(1000, &form, [] { Application->Terminate(); });
            });
        };
    });
}
