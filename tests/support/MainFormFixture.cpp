#include "support/MainFormFixture.h"

#include "app/PlayerState.h"
#include "media/MPlayer.h"
#include "platform/media/Mci.h"
#include "toolkit/Application.h"

MainFormFixture::MainFormFixture() {
    ResetPlayerState();
    form = std::make_unique<TForm1>(nullptr);
    // Closing a test's window must not end the test program.
    if (Application && Application->MainForm() == form.get()) Application->SetMainForm(nullptr);
}

int MainFormFixture::Clicks() const {
    int clicks = 0;
    for (const FakeSound::Call& call : sound->Calls())
        if (call.name && *call.name == "c:\\windows\\dclick.wav") ++clicks;
    return clicks;
}

void MainFormFixture::SetPlaylist(const QStringList& paths) {
    for (int i = 0; i < paths.size(); ++i) Playlist.Set(i + 1, paths[i]);
    PlaylistCount = static_cast<int>(paths.size());
}

QString MainFormFixture::Commands() const {
    QStringList out;
    for (const MciCall& call : mci->Calls()) {
        QString name;
        switch (call.message) {
            case platform::MCI_OPEN:
                name = "OPEN";
                break;
            case platform::MCI_CLOSE:
                name = "CLOSE";
                break;
            case platform::MCI_PLAY:
                name = "PLAY";
                break;
            case platform::MCI_STOP:
                name = "STOP";
                break;
            case platform::MCI_PUT:
                name = "PUT";
                break;
            default:
                continue;
        }
        if (call.flags & platform::MCI_NOTIFY) name += "+N";
        out << name;
    }
    return out.join(' ');
}

QString MainFormFixture::OpenFile() const {
    QString open;
    for (const MciCall& call : mci->Calls()) {
        if (call.message == platform::MCI_OPEN) open = call.element;
        if (call.message == platform::MCI_CLOSE) open.clear();
    }
    return open;
}
