// Vidora: the program's entry point. It wires our stand-ins for the maker's services into the object factory
// (the simulated devices take the place of real ones when none are found) and runs the application.
#include "RegisterGraniteDeviceService.h"
#include "app/CVidoraApp.h"
#include "comms/RegisterGraniteCommunicationsService.h"
#include "effects/RegisterGraniteEffectsService.h"
#include "ribbon/CVidoraRibbonDlg.h"
#include "startup/CStartupService.h"
#include "ui/CScreenshotter.h"
#include "ui/ControlsRegistration.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidora"));
    QApplication::setQuitOnLastWindowClosed(false);

    RegisterGraniteStartupService();
    RegisterGraniteDeviceService();
    RegisterGraniteCommunicationsService();
    RegisterGraniteEffectsService();
    RegisterToolkitControls();

    CVidoraApp app;
    CScreenshotter::Install();
    app.SetMainWindowFactory([] { return std::make_unique<CVidoraRibbonDlg>(); });
    return app.Run(argc, argv);
}
