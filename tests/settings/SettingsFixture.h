#pragma once
// The settings window on the simulated devices, a temporary settings store and the fake clock driving the
// windows' timers. The control helpers act on the pane of the open tab.
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
#include <QComboBox>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class SettingsTest : public ::testing::Test {
protected:
    using Tab = CMainSettingsDlg::Tab;

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

    // Plugs in the devices and records the features seen as the ribbon does; the first camera is current.
    void PlugDevices(const std::vector<Granite::DeviceRequest>& devices,
                     const std::vector<std::string>& features) {
        hardware = std::make_shared<Granite::CSimulatedHardware>(devices);
        Granite::CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        for (std::string id;
             hardware->IdAt(Granite::DeviceKind::Camera, static_cast<int32_t>(cameras.size()), id);)
            cameras.push_back(id);
        camera = cameras.empty() ? "" : cameras[0];
        for (const std::string& feature : features)
            CVidoraSettings::MarkFeatureSeen(feature);
        facade = GetGraniteDeviceManager();
        if (facade != nullptr && facade->GetVideoDeviceCount() > 0)
            facade->SelectVideoDevice(0);
    }
    // A camera of the model (none for "") and a microphone.
    void Plug(const std::string& model, const std::vector<std::string>& features) {
        std::vector<Granite::DeviceRequest> devices;
        if (!model.empty())
            devices.push_back({Granite::DeviceKind::Camera, model});
        devices.push_back({Granite::DeviceKind::Microphone, ""});
        PlugDevices(devices, features);
    }
    static std::vector<std::string> FullFeatures() {
        return {"PTZ",        "FaceTracking",    "MultipleFaceTracking",
                "Autofocus",  "AutofocusManual", "LowLightBoost",
                "ColorBoost", "SunTune"};
    }

    // Opens the settings window (again) on the tab.
    void OpenSettings(Tab tab = Tab::Webcam) {
        Close();
        settings = new CMainSettingsDlg();
        settings->SetDeleteOnDestroy(true);
        ASSERT_TRUE(settings->Create(nullptr));
        settings->show();
        Settle();
        if (tab != Tab::Webcam) {
            settings->SelectTab(tab);
            Settle();
        }
        ASSERT_NE(Current(), nullptr);
    }
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

    CDialogBase* Current() const { return settings->CurrentPane(); }
    QWidget* Item(int item) const { return Current()->GetDlgItem(item); }
    CTransparentSliderCtrl* Slider(int item) const {
        return Current()->GetDlgItemAs<CTransparentSliderCtrl>(item);
    }
    QAbstractButton* Button(int item) const { return Current()->GetDlgItemAs<QAbstractButton>(item); }
    QComboBox* Combo(int item) const { return Current()->GetDlgItemAs<QComboBox>(item); }
    bool Enabled(int item) const { return Item(item)->isEnabled(); }
    bool Shown(int item) const { return !Item(item)->isHidden(); }
    bool Checked(int item) const { return Button(item)->isChecked(); }
    std::string Tip(int item) const { return Item(item)->toolTip().toStdString(); }
    void Click(int item) { Button(item)->click(); }
    // Moves a slider or picks a row of a list as the user does, which tells the pane.
    void MoveSlider(int item, int32_t position) {
        CTransparentSliderCtrl* slider = Slider(item);
        slider->SetPos(position);
        ControlsNotify::SendScroll(slider, slider->orientation(), ControlsNotify::SB_THUMBPOSITION, 0);
    }
    void Pick(int item, int row) {
        Combo(item)->setCurrentIndex(row);
        ControlsNotify::SendCommand(Combo(item), ControlsNotify::CBN_SELCHANGE);
        Settle();
    }

    // A camera value as the camera (the current one unless named) holds it.
    int32_t CameraValue(int32_t property, const std::string& id = "") const {
        Variant value;
        int32_t number = INT32_MIN;
        EXPECT_TRUE(SUCCEEDED(
            hardware->Get(Granite::DeviceKind::Camera, id.empty() ? camera : id, property, &value)));
        EXPECT_TRUE(value.ToI4(number)) << property;
        return number;
    }
    // A change made elsewhere: another program, or the camera itself.
    void ChangeOnCamera(int32_t property, int32_t value) {
        ASSERT_TRUE(
            SUCCEEDED(hardware->Set(Granite::DeviceKind::Camera, camera, property, Variant::FromI4(value))));
    }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    CVidoraApp app;
    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    IGraniteDeviceManager* facade = nullptr;
    std::vector<std::string> cameras;
    std::string camera;
    CMainSettingsDlg* settings = nullptr;
};
