// Opening the main window: constructing the ribbon and running its initialisation with the simulated
// camera, microphone and speaker behind the facades (features recorded, listeners registered, tray icon,
// layout), against constructing and creating an empty window of the same dialog base in the same run.
#include "app/CVidoraSettings.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "granite/effects/RegisterGraniteEffectsService.h"
#include "platform/RegisteredMessages.h"
#include "ribbon/CVidoraRibbonDlg.h"
#include "ui/CDialogBase.h"
#include "ui/CImageCache.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsRegistration.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void BM_RibbonOpen(benchmark::State& state) {
    for (auto _ : state) {
        CVidoraRibbonDlg ribbon;
        benchmark::DoNotOptimize(ribbon.Create(nullptr));
        ribbon.DestroyWindow();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_RibbonOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The baseline: a window of the same dialog base with no controls and nothing to initialise.
class CEmptyDialog : public CDialogBase {
public:
    CEmptyDialog() : CDialogBase(0, nullptr) { resize(360, 120); }

protected:
    bool OnInitDialog() override { return true; }
};

void BM_EmptyWindowOpen(benchmark::State& state) {
    for (auto _ : state) {
        CEmptyDialog window;
        benchmark::DoNotOptimize(window.Create(nullptr));
        window.DestroyWindow();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_EmptyWindowOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        setenv(name, (home.path() + "/" + name).toUtf8().constData(), 1);
    setenv("VIDORA_MACHINE_DIR", (home.path() + "/machine").toUtf8().constData(), 1);
    setenv("VIDORA_SIMULATED_DEVICES", "camera:full,microphone,speaker", 1);
    QApplication app(argc, argv);
    RegisterAllMessages();
    RegisterToolkitControls();
    RegisterGraniteDeviceService();
    RegisterGraniteCommunicationsService();
    RegisterGraniteEffectsService();
    CVidoraSettings::SeedDefaults();
    CVidoraSkin::SetAnimationsEnabled(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
