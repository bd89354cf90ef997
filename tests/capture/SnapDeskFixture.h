#pragma once
// The capture window on the simulated devices: the device service and the capture objects of the simulated
// hardware, a temporary settings store and capture folders, the fake clock driving the window's timers, and
// hooks that keep what message boxes said and which files were opened on the desktop.
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "capture/CSnapDeskDlg.h"
#include "capture/CaptureControlsRegistration.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "granite/devices/CSimulatedHardware.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/IClock.h"
#include "services/CGraniteDeviceManager.h"
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
        while (CGraniteDeviceManager* facade = CGraniteDeviceManager::Instance())
            facade->Release();
        Pump();
        UnregisterGraniteDeviceService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        CDesktopFileOpener::SetDesktopHook({});
        CCustomMessageBox::SetAnswerHook(nullptr);
        CVidoraSkin::SetAnimationsEnabled(true);
        SetTimerService(nullptr);
        SetClock(nullptr);
    }

    // Plugs in the simulated devices (cameras of the given models; none for an empty list).
    void Plug(const std::vector<std::string>& cameraModels) {
        std::vector<Granite::DeviceRequest> devices;
        for (const std::string& model : cameraModels)
            devices.push_back({Granite::DeviceKind::Camera, model});
        devices.push_back({Granite::DeviceKind::Microphone, ""});
        hardware = std::make_shared<Granite::CSimulatedHardware>(devices);
        Granite::CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        RegisterGraniteCaptureObjects();
        if (!cameraModels.empty())
            hardware->IdAt(Granite::DeviceKind::Camera, 0, camera);
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
    static std::string Str(uint32_t id) { return CDialogBase::LoadString(id); }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    CVidoraApp app;
    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    std::string camera;
    CSnapDeskDlg* window = nullptr;
    std::vector<std::string> boxes;
    std::vector<std::string> opened;
};
