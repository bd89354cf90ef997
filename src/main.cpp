// Vidora: the program's entry point. It wires our stand-ins for the maker's services into the object factory
// (the simulated devices take the place of real ones when none are found) and runs the application.
#include "RegisterGraniteDeviceService.h"
#include "app/CPlaceholderMainDlg.h"
#include "app/CVidoraApp.h"
#include "comms/RegisterGraniteCommunicationsService.h"
#include "effects/RegisterGraniteEffectsService.h"
#include "startup/CStartupService.h"
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
    app.SetMainWindowFactory([] { return std::make_unique<CPlaceholderMainDlg>(); });
    return app.Run(argc, argv);
}
