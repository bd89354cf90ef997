#pragma once
// Stand-in services, fake clock, tray icons, message boxes and browser; RibbonFixture adds the main window.
#include "app/CVidoraSettings.h"
#include "capture/CSnapDeskDlg.h"
#include "capture/CaptureControlsRegistration.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "granite/control/CSimulatedDeviceControl.h"
#include "granite/devices/CSimulatedHardware.h"
#include "granite/effects/CGraniteEffectsControl.h"
#include "granite/effects/RegisterGraniteEffectsService.h"
#include "platform/DesktopLinks.h"
#include "ribbon/CVidoraRibbonDlg.h"
#include "ribbon/RibbonWindows.h"
#include "support/CFakeClock.h"
#include "support/CFakeTrayIcon.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"
#include "ui/CCustomMessageBox.h"
#include "ui/CVidoraSkin.h"
#include "ui/CWindowSlot.h"
#include "ui/ControlsRegistration.h"
#include "ui/TrayIcons.h"

#include <gtest/gtest.h>

#include <memory>

class RibbonServicesFixture : public ::testing::Test {
protected:
    virtual const char* Devices() const { return "camera:full,microphone,speaker"; }
    void SetUp() override {
        env.SetEnv("VIDORA_SIMULATED_DEVICES", Devices());
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        controller = std::make_unique<Granite::CSimulatedDeviceControl>();
        Granite::CGraniteEffectsControl::Instance().Reset();
        RegisterGraniteDeviceService();
        RegisterGraniteCommunicationsService();
        RegisterGraniteEffectsService();
        CVidoraSettings::SeedDefaults();
        RegisterToolkitControls();
        RegisterCaptureControls();
        SetClock(&clock);
        SetTimerService(&timers);
        SetTrayIconFactory([] { return std::make_unique<CFakeTrayIcon>(); });
        SetSystemTrayAvailableOverride(true);
        CVidoraSkin::SetAnimationsEnabled(false);
        CCustomMessageBox::SetAnswerHook(
            [this](CCustomMessageBox::Kind, const std::string& text, MessageBoxIcon) {
                boxes.push_back(text);
                return answer;
            });
        DesktopLinks::SetOpenHook([this](const std::string& address) {
            opened.push_back(address);
            return true;
        });
    }
    void TearDown() override {
        // A capture window a test opened lets go of its camera before the devices go.
        if (CSnapDeskDlg* capture = CSnapDeskDlg::Slot().Get()) {
            CSnapDeskDlg::Slot().Clear();
            capture->DestroyWindow();
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DesktopLinks::SetOpenHook({});
        CCustomMessageBox::SetAnswerHook({});
        SetSystemTrayAvailableOverride(std::nullopt);
        SetTrayIconFactory({});
        SetTimerService(nullptr);
        SetClock(nullptr);
        UnregisterGraniteEffectsService();
        UnregisterGraniteCommunicationsService();
        UnregisterGraniteDeviceService();
        Granite::CGraniteEffectsControl::Instance().Reset();
        controller.reset();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
    }
    Granite::CSimulatedDeviceControl& Control() { return *controller; }
    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    std::unique_ptr<Granite::CSimulatedDeviceControl> controller;
    std::vector<std::string> boxes;
    std::vector<std::string> opened;
    intptr_t answer = IDOK;
};

class RibbonFixture : public RibbonServicesFixture {
protected:
    void TearDown() override {
        ribbon.reset();
        RibbonServicesFixture::TearDown();
    }
    // Modeless, as a test cannot run it modally.
    CVidoraRibbonDlg& Open() {
        ribbon = std::make_unique<CVidoraRibbonDlg>();
        EXPECT_TRUE(ribbon->Create(nullptr));
        QCoreApplication::processEvents();
        return *ribbon;
    }
    CFakeTrayIcon* TrayFake() const { return static_cast<CFakeTrayIcon*>(ribbon->Tray().Icon()); }
    QWidget* Item(int id) const { return ribbon->GetDlgItem(id); }
    bool Shown(int id) const { return Item(id) != nullptr && !Item(id)->isHidden(); }
    void Click(int id) { ribbon->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<uint16_t>(id), 0), 0); }
    std::unique_ptr<CVidoraRibbonDlg> ribbon;
};
