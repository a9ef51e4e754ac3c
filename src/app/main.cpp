#include "app/Showcase.h"
#include "toolkit/Application.h"

int main(int argc, char** argv) {
    TQtHost host(argc, argv);
    TApplication application;
    application.SetTitle(QStringLiteral("brelmo"));
    Showcase showcase(&application);
    showcase.show();
    return application.Run();
}
