#include "support/DesktopFixture.h"

#include "skin/TransBtn.h"
#include "toolkit/Panel.h"

DesktopFixture::DesktopFixture() {
    for (TTransparentButton* button : form->findChildren<TTransparentButton*>()) {
        button->OnClick = [this, button, click = button->OnClick](TObject* sender) {
            presses.append(button->Name());
            click(sender);
        };
    }
    form->panel1->OnClick = [this, click = form->panel1->OnClick](TObject* sender) {
        presses.append(QStringLiteral("panel1"));
        click(sender);
    };
}

void DesktopFixture::Enter(View view) {
    SetPlaylist({QStringLiteral("C:\\clips\\one.avi"), QStringLiteral("C:\\clips\\two.avi")});
    switch (view) {
        case View::Playback:
            break;
        case View::Playing:
            form->bnextClick(nullptr);
            break;
        case View::Paused:
            form->bnextClick(nullptr);
            form->bstopClick(nullptr);
            break;
        case View::Setup:
            form->bsetupClick(nullptr);
            break;
        case View::Help:
            form->bhelpClick(nullptr);
            break;
    }
    presses.clear();
}

const char* ViewName(DesktopFixture::View view) {
    static const char* const kNames[] = {"Playback", "Playing", "Paused", "Setup", "Help"};
    return kNames[static_cast<int>(view)];
}
