#include "desktop/Desktop.h"

#include "app/Main.h"
#include "desktop/Accessibility.h"
#include "desktop/DropRouter.h"
#include "desktop/KeyRouter.h"
#include "desktop/MprisService.h"

void AttachDesktop(TForm1& form) {
    new TKeyRouter(form);
    new TDropRouter(form);
    InstallAccessibility(form);
    (new TMprisService(form))->StartAfterReveal();
}
