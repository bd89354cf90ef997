#pragma once
// The capture window on the simulated full camera at 640x480, for the benchmarks that need the live
// picture: a throwaway home, settings and runtime folder, the simulated device service and capture objects,
// the window opened and running until ten frames have arrived (at most ten seconds).
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "capture/CLivePicture.h"
#include "capture/CSnapDeskDlg.h"
#include "capture/CaptureControlsRegistration.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "granite/devices/CSimulatedHardware.h"
#include "ui/CWindowSlot.h"
#include "ui/ControlsRegistration.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdlib>

class CBenchCaptureWindow {
public:
    CBenchCaptureWindow() {
        const QString root = dir_.path();
        for (const char* name : {"home", "config", "runtime", "machine", "data", "cache"})
            QDir().mkpath(root + "/" + name);
        setenv("HOME", (root + "/home").toUtf8().constData(), 1);
        setenv("XDG_CONFIG_HOME", (root + "/config").toUtf8().constData(), 1);
        setenv("XDG_RUNTIME_DIR", (root + "/runtime").toUtf8().constData(), 1);
        setenv("XDG_DATA_HOME", (root + "/data").toUtf8().constData(), 1);
        setenv("XDG_CACHE_HOME", (root + "/cache").toUtf8().constData(), 1);
        setenv("VIDORA_MACHINE_DIR", (root + "/machine").toUtf8().constData(), 1);
        setenv("VIDORA_AUDIO_SINK", "fakesink", 1);
        app_.photoFolder = (root + "/Pictures").toStdString();
        app_.movieFolder = (root + "/Videos").toStdString();
        QDir().mkpath(QString::fromStdString(app_.photoFolder));
        QDir().mkpath(QString::fromStdString(app_.movieFolder));
        Granite::CSimulatedHardware::SetCurrent(std::make_shared<Granite::CSimulatedHardware>(
            std::vector<Granite::DeviceRequest>{{Granite::DeviceKind::Camera, "full"}}));
        RegisterGraniteDeviceService();
        RegisterGraniteCaptureObjects();
        RegisterToolkitControls();
        RegisterCaptureControls();
    }

    // Opens the window and waits for its live picture.
    CSnapDeskDlg* Open() {
        CVidoraSettings::SetSnapDeskCaptureXRes(640);
        CVidoraSettings::SetSnapDeskCaptureYRes(480);
        CSnapDeskDlg::ShowSnapDesk(false, false);
        window_ = CSnapDeskDlg::Current();
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 10000 && (window_ == nullptr || window_->LivePicture()->FrameCount() < 10))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return window_;
    }
    CSnapDeskDlg* Window() const { return window_; }
    bool Running() const { return window_ != nullptr && window_->LivePicture()->FrameCount() >= 10; }

    // The window goes before the event loop does.
    static void Close() {
        if (CSnapDeskDlg* window = CSnapDeskDlg::Slot().Get()) {
            CSnapDeskDlg::Slot().Clear();
            window->DestroyWindow();
            QCoreApplication::processEvents();
        }
    }

private:
    QTemporaryDir dir_;
    CVidoraApp app_;
    CSnapDeskDlg* window_ = nullptr;
};
