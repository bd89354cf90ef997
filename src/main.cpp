// Vidora: the program's entry point. It wires our stand-ins for the maker's services into the object factory
// (the simulated devices take the place of real ones when none are found) and runs the application.
#include "app/CVidoraApp.h"
#include "capture/CCaptureNoticeScreenshots.h"
#include "capture/COptionsScreenshots.h"
#include "capture/CSnapDeskScreenshots.h"
#include "capture/CaptureControlsRegistration.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "granite/effects/RegisterGraniteEffectsService.h"
#include "granite/startup/CStartupService.h"
#include "ribbon/CVidoraRibbonDlg.h"
#include "settings/SettingsControlsRegistration.h"
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
    RegisterGraniteCaptureObjects();
    RegisterToolkitControls();
    RegisterCaptureControls();
    RegisterSettingsControls();

    CVidoraApp app;
    CScreenshotter::Install();
    COptionsScreenshots::AddSteps();
    CCaptureNoticeScreenshots::AddSteps();
    CSnapDeskScreenshots::AddSteps();
    app.SetMainWindowFactory([] { return std::make_unique<CVidoraRibbonDlg>(); });
    return app.Run(argc, argv);
}
