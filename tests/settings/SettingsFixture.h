#pragma once
// The settings window on the simulated devices: the device service of the simulated hardware (cameras of
// the given models and a microphone), a temporary settings store, and the fake clock driving the windows'
// timers. Features a camera offers are recorded as the ribbon records them at start.
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/devices/CSimulatedHardware.h"
#include "platform/CVidoraNamedEvents.h"
#include "platform/IClock.h"
#include "services/CGraniteDeviceManager.h"
#include "services/DeviceManagerProperties.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CMainSettingsDlg.h"
#include "settings/CWebcamSettingsPaneDlg.h"
#include "settings/SettingsControlsRegistration.h"
#include "settings/SettingsPanes.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsNotify.h"
#include "ui/ControlsRegistration.h"

#include <QAbstractButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock.SetTickCount(100000);
        SetClock(&clock);
        SetTimerService(&timers);
        RegisterToolkitControls();
        RegisterSettingsControls();
        CVidoraSkin::SetAnimationsEnabled(false);
        // The named events stay open for the life of a process; each test has its own runtime folder.
        CVidoraNamedEvents::CloseAll();
    }
    void TearDown() override {
        Close();
        if (facade != nullptr)
            facade->Release();
        while (CGraniteDeviceManager* open = CGraniteDeviceManager::Instance())
            open->Release();
        Pump();
        UnregisterGraniteDeviceService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        CVidoraSkin::SetAnimationsEnabled(true);
        CVidoraNamedEvents::CloseAll();
        SetTimerService(nullptr);
        SetClock(nullptr);
    }

    // Plugs in a camera of the model and records the features it offers (none: no camera at all).
    void Plug(const std::string& model, const std::vector<std::string>& features) {
        std::vector<Granite::DeviceRequest> devices;
        if (!model.empty())
            devices.push_back({Granite::DeviceKind::Camera, model});
        devices.push_back({Granite::DeviceKind::Microphone, ""});
        hardware = std::make_shared<Granite::CSimulatedHardware>(devices);
        Granite::CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        if (!model.empty())
            hardware->IdAt(Granite::DeviceKind::Camera, 0, camera);
        for (const std::string& feature : features)
            CVidoraSettings::MarkFeatureSeen(feature);
        facade = GetGraniteDeviceManager();
        // The ribbon makes the first camera the current one at start.
        if (facade != nullptr && facade->GetVideoDeviceCount() > 0)
            facade->SelectVideoDevice(0);
    }
    // What the full model offers.
    static std::vector<std::string> FullFeatures() {
        return {"PTZ",        "FaceTracking",    "MultipleFaceTracking",
                "Autofocus",  "AutofocusManual", "LowLightBoost",
                "ColorBoost", "SunTune"};
    }

    CMainSettingsDlg* OpenSettings() {
        settings = new CMainSettingsDlg();
        settings->SetDeleteOnDestroy(true);
        EXPECT_TRUE(settings->Create(nullptr));
        settings->show();
        Settle();
        return settings;
    }
    CWebcamSettingsPaneDlg* Pane() const { return CWebcamSettingsPaneDlg::Current(); }
    void Settle() {
        for (int i = 0; i < 5; ++i)
            Pump();
    }
    void Close() {
        if (settings != nullptr && settings->IsWindow())
            settings->DestroyWindow();
        settings = nullptr;
        DrainEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CTransparentSliderCtrl* Slider(int item) const {
        return Pane()->GetDlgItemAs<CTransparentSliderCtrl>(item);
    }
    QAbstractButton* Button(int item) const { return Pane()->GetDlgItemAs<QAbstractButton>(item); }
    bool Enabled(int item) const { return Pane()->GetDlgItem(item)->isEnabled(); }
    bool Shown(int item) const { return !Pane()->GetDlgItem(item)->isHidden(); }
    // A camera value as the camera holds it.
    int32_t CameraValue(int32_t property) const {
        Variant value;
        int32_t number = INT32_MIN;
        EXPECT_TRUE(SUCCEEDED(hardware->Get(Granite::DeviceKind::Camera, camera, property, &value)));
        EXPECT_TRUE(value.ToI4(number)) << property;
        return number;
    }
    // A change made elsewhere: another program, or the camera itself.
    void ChangeOnCamera(int32_t property, int32_t value) {
        ASSERT_TRUE(
            SUCCEEDED(hardware->Set(Granite::DeviceKind::Camera, camera, property, Variant::FromI4(value))));
    }
    // Moves a slider as the user does (a key press), which tells the pane.
    void MoveSlider(int item, int32_t position) {
        CTransparentSliderCtrl* slider = Slider(item);
        slider->SetPos(position);
        const UINT message = slider->orientation() == Qt::Vertical ? WM_VSCROLL : WM_HSCROLL;
        Pane()->SendMessage(message, MAKEWPARAM(ControlsNotify::SB_THUMBPOSITION, 0),
                            reinterpret_cast<LPARAM>(static_cast<QWidget*>(slider)));
    }
    void Click(int item) { Button(item)->click(); }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    CVidoraApp app;
    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    IGraniteDeviceManager* facade = nullptr;
    std::string camera;
    CMainSettingsDlg* settings = nullptr;
};
