// The webcam settings pane, on the simulated camera's real picture in the capture window:
// - a brightness change from the pane's slider to the camera and back into the live picture, against the same
//   change written straight through the device facade in the same run (the ratio is the pane's own cost);
// - opening the settings window to its first paint, against a plain dialog of the same size.
#include "CBenchCaptureWindow.h"
#include "CMedianReporter.h"
#include "capture/CLivePicture.h"
#include "capture/CSnapDeskDlg.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CMainSettingsDlg.h"
#include "settings/CWebcamSettingsPaneDlg.h"
#include "settings/SettingsControlsRegistration.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/ControlsNotify.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int32_t kDark = 40;
constexpr int32_t kBright = 220;

struct Setup {
    CBenchCaptureWindow window;
    CSnapDeskDlg* capture = nullptr;
    IGraniteDeviceManager* facade = nullptr;
    double threshold = 0;
};

double MeanGray(const QImage& frame) {
    if (frame.isNull())
        return -1;
    const QImage small = frame.scaled(32, 24).convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int y = 0; y < small.height(); ++y) {
        const uchar* line = small.constScanLine(y);
        for (int x = 0; x < small.width(); ++x)
            sum += line[x];
    }
    return sum / (small.width() * small.height());
}

// Runs the event loop until the live picture is brighter (or darker) than the threshold.
bool WaitForLook(const Setup& setup, bool bright) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const double gray = MeanGray(setup.capture->LivePicture()->CurrentFrame());
        if (gray >= 0 && (gray > setup.threshold) == bright)
            return true;
    }
    return false;
}

void SetBrightnessDirectly(Setup& setup, int32_t value) {
    setup.facade->SetWebcamLevelA(value);
}

Setup& TheSetup() {
    static Setup* setup = [] {
        auto* s = new Setup();
        RegisterSettingsControls();
        s->facade = GetGraniteDeviceManager();
        if (s->facade != nullptr && s->facade->GetVideoDeviceCount() > 0)
            s->facade->SelectVideoDevice(0);
        s->capture = s->window.Open();
        if (s->facade == nullptr || s->capture == nullptr)
            return s;
        // The picture's mean grey at both brightness values; halfway between tells them apart.
        SetBrightnessDirectly(*s, kDark);
        s->threshold = 1e9;
        WaitForLook(*s, false);
        QElapsedTimer settle;
        for (settle.start(); settle.elapsed() < 300;)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double dark = MeanGray(s->capture->LivePicture()->CurrentFrame());
        SetBrightnessDirectly(*s, kBright);
        for (settle.start(); settle.elapsed() < 300;)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double bright = MeanGray(s->capture->LivePicture()->CurrentFrame());
        s->threshold = (dark + bright) / 2;
        std::printf("picture mean grey: %.1f at brightness %d, %.1f at %d\n", dark, kDark, bright, kBright);
        return s;
    }();
    return *setup;
}

bool Ready(benchmark::State& state, const Setup& setup) {
    if (setup.capture == nullptr || setup.facade == nullptr ||
        setup.capture->LivePicture()->FrameCount() < 10) {
        state.SkipWithError("the capture window did not start the simulated camera");
        return false;
    }
    return true;
}

// The slider moved as the user moves it: the pane hears of the move and writes the camera.
void BM_BrightnessFromThePaneToThePicture(benchmark::State& state) {
    Setup& setup = TheSetup();
    if (!Ready(state, setup))
        return;
    auto* settings = new CMainSettingsDlg();
    settings->Create(nullptr);
    settings->show();
    CWebcamSettingsPaneDlg* pane = CWebcamSettingsPaneDlg::Current();
    auto* slider = pane != nullptr
                       ? pane->GetDlgItemAs<CTransparentSliderCtrl>(CWebcamSettingsPaneDlg::kLevelASlider)
                       : nullptr;
    bool bright = MeanGray(setup.capture->LivePicture()->CurrentFrame()) > setup.threshold;
    for (auto _ : state) {
        if (slider == nullptr) {
            state.SkipWithError("no brightness slider");
            break;
        }
        bright = !bright;
        slider->SetPos(bright ? kBright : kDark);
        pane->SendMessage(WM_HSCROLL, MAKEWPARAM(ControlsNotify::SB_THUMBPOSITION, 0),
                          reinterpret_cast<LPARAM>(static_cast<QWidget*>(slider)));
        if (!WaitForLook(setup, bright)) {
            state.SkipWithError("the picture did not follow the slider");
            break;
        }
    }
    settings->DestroyWindow();
    delete settings;
}
BENCHMARK(BM_BrightnessFromThePaneToThePicture)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_BrightnessThroughTheFacadeToThePicture(benchmark::State& state) {
    Setup& setup = TheSetup();
    if (!Ready(state, setup))
        return;
    bool bright = MeanGray(setup.capture->LivePicture()->CurrentFrame()) > setup.threshold;
    for (auto _ : state) {
        bright = !bright;
        SetBrightnessDirectly(setup, bright ? kBright : kDark);
        if (!WaitForLook(setup, bright)) {
            state.SkipWithError("the picture did not follow the write");
            break;
        }
    }
}
BENCHMARK(BM_BrightnessThroughTheFacadeToThePicture)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Until the window's first paint has run.
class FirstPaint : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

void WaitForPaint(const FirstPaint& paint) {
    QElapsedTimer waited;
    for (waited.start(); !paint.painted && waited.elapsed() < 3000;)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

void BM_OpenSettingsToFirstPaint(benchmark::State& state) {
    Setup& setup = TheSetup();
    if (!Ready(state, setup))
        return;
    for (auto _ : state) {
        FirstPaint paint;
        auto* settings = new CMainSettingsDlg();
        settings->installEventFilter(&paint);
        settings->Create(nullptr);
        settings->show();
        WaitForPaint(paint);
        state.PauseTiming();
        settings->DestroyWindow();
        delete settings;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenSettingsToFirstPaint)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_OpenEmptyDialogToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        FirstPaint paint;
        auto* dialog = new QDialog();
        dialog->resize(358, 600);
        dialog->installEventFilter(&paint);
        dialog->show();
        WaitForPaint(paint);
        state.PauseTiming();
        delete dialog;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenEmptyDialogToFirstPaint)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&reporter](const char* name, const char* yardstick, const char* what) {
        const double measured = reporter.medians[name], base = reporter.medians[yardstick];
        if (measured > 0 && base > 0)
            std::printf("%s: %.1f ms, against %.1f ms: ratio %.2f\n", what, measured / 1000, base / 1000,
                        measured / base);
    };
    ratio("BM_BrightnessFromThePaneToThePicture", "BM_BrightnessThroughTheFacadeToThePicture",
          "brightness from the pane's slider to the live picture, against a facade write");
    ratio("BM_OpenSettingsToFirstPaint", "BM_OpenEmptyDialogToFirstPaint",
          "settings window to its first paint, against an empty dialog");
    CBenchCaptureWindow::Close();
    if (TheSetup().facade != nullptr)
        TheSetup().facade->Release();
    benchmark::Shutdown();
    return 0;
}
