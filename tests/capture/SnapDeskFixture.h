#pragma once
// The capture window on the simulated devices: the device service and the capture objects of the simulated
// hardware, a temporary settings store and capture folders, the fake clock driving the window's timers, and
// hooks that keep what message boxes said and which files were opened on the desktop.
#include "SimulatedDevices.h"
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "capture/CSnapDeskDlg.h"
#include "capture/CaptureControlsRegistration.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/IClock.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"
#include "ui/CCustomMessageBox.h"
#include "ui/CVidoraSkin.h"
#include "ui/CWindowSlot.h"
#include "ui/ControlsRegistration.h"

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class SnapDeskTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock.SetTickCount(100000);
        SetClock(&clock);
        SetTimerService(&timers);
        RegisterToolkitControls();
        RegisterCaptureControls();
        CVidoraSkin::SetAnimationsEnabled(false);
        env.SetEnv("VIDORA_AUDIO_SINK", "fakesink");
        app.photoFolder = env.Path("Pictures/Vidora");
        app.movieFolder = env.Path("Videos/Vidora");
        for (const std::string* folder : {&app.photoFolder, &app.movieFolder})
            QDir().mkpath(QString::fromStdString(*folder));
        CCustomMessageBox::SetAnswerHook(
            [this](CCustomMessageBox::Kind, const std::string& text, MessageBoxIcon) {
                boxes.push_back(text);
                return intptr_t{IDOK};
            });
        CDesktopFileOpener::Desktop desktop;
        desktop.openDefault = [this](const std::string& path) {
            opened.push_back(path);
            return true;
        };
        CDesktopFileOpener::SetDesktopHook(desktop);
    }
    void TearDown() override {
        Close();
        UnregisterGraniteCaptureObjects();
        devices.Unplug();
        CDesktopFileOpener::SetDesktopHook({});
        CCustomMessageBox::SetAnswerHook(nullptr);
        CVidoraSkin::SetAnimationsEnabled(true);
        SetTimerService(nullptr);
        SetClock(nullptr);
    }

    // Plugs in the simulated devices (cameras of the given models; none for an empty list).
    void Plug(const std::vector<std::string>& cameraModels) {
        std::vector<Granite::DeviceRequest> requests;
        for (const std::string& model : cameraModels)
            requests.push_back({Granite::DeviceKind::Camera, model});
        requests.push_back({Granite::DeviceKind::Microphone, ""});
        devices.Plug(requests);
        devices.StartService();
        RegisterGraniteCaptureObjects();
        if (!cameraModels.empty())
            camera = devices.CameraId();
    }
    // Opens the window and lets its camera start-up run.
    CSnapDeskDlg* Open(bool takePhoto = false) {
        CSnapDeskDlg::ShowSnapDesk(takePhoto, false);
        window = CSnapDeskDlg::Current();
        EXPECT_NE(window, nullptr);
        Settle();
        return window;
    }
    // Handles what the window posted to itself.
    void Settle() {
        for (int i = 0; i < 5; ++i)
            Pump();
    }
    void Close() {
        if (CSnapDeskDlg* open = CSnapDeskDlg::Slot().Get()) {
            CSnapDeskDlg::Slot().Clear();
            open->DestroyWindow();
        }
        DrainEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window = nullptr;
    }
    std::string Caption(int id) const { return window->GetDlgItemText(id); }
    bool Enabled(int id) const { return window->GetDlgItem(id)->isEnabled(); }
    bool Shown(int id) const { return !window->GetDlgItem(id)->isHidden(); }
    static std::string Str(uint32_t id) { return CDialogBase::LoadString(id); }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    CVidoraApp app;
    CSimulatedDevices devices;
    std::string camera;
    CSnapDeskDlg* window = nullptr;
    std::vector<std::string> boxes;
    std::vector<std::string> opened;
};
