#include "desktop/Desktop.h"

#include <QPointer>
#include <QTimer>

#include "app/AfterReveal.h"
#include "app/Main.h"
#include "desktop/Accessibility.h"
#include "desktop/DropRouter.h"
#include "desktop/KeyRouter.h"
#include "desktop/MprisService.h"
#include "desktop/WindowMover.h"
#include "platform/instance/Instance.h"
#include "toolkit/Application.h"

namespace {

// Files come from outside while anything may be running: they are opened
// from the event loop, as a click's handler runs, with errors shown as a
// click's are.
void OpenLater(const QPointer<TDropRouter>& router, const QList<QByteArray>& files) {
    if (!router) return;
    QTimer::singleShot(0, router, [router, files] {
        if (router) Guarded([&] { router->Open(files); });
    });
}

}  // namespace

void AttachDesktop(TForm1& form, const QList<QByteArray>& files) {
    new TKeyRouter(form);
    new TWindowMover(form);
    const QPointer<TDropRouter> router = new TDropRouter(form);
    InstallAccessibility(form);
    auto* mpris = new TMprisService(form);
    mpris->OnOpen = [router](const QList<QByteArray>& paths) { OpenLater(router, paths); };
    mpris->StartAfterReveal();
    platform::Instance().OnOpenFiles = [router](const QList<QByteArray>& paths) {
        OpenLater(router, paths);
    };
    // After the saved playlist, which the window loads as it is first shown.
    if (!files.isEmpty())
        AfterReveal(*form.image1, router, [router, files] { OpenLater(router, files); });
}
