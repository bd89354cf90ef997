#pragma once
// The main window with the stand-in device, communications and effects services behind the facades, a fake
// clock driving its timers, fake tray icons, answered message boxes and a recorded web browser.
#include "app/CVidoraSettings.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "granite/control/CSimulatedDeviceControl.h"
#include "granite/devices/CSimulatedHardware.h"
#include "granite/effects/CGraniteEffectsControl.h"
#include "granite/effects/RegisterGraniteEffectsService.h"
#include "platform/CFakeClock.h"
#include "platform/DesktopLinks.h"
#include "ribbon/CVidoraRibbonDlg.h"
#include "ribbon/RibbonWindows.h"
#include "support/CFakeTrayIcon.h"
#include "support/CTempEnvironment.h"
#include "ui/CCustomMessageBox.h"
#include "ui/CVidoraSkin.h"
#include "ui/CVirtualTimerService.h"
#include "ui/ControlsRegistration.h"
#include "ui/TrayIcons.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenu>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A processor-load reader that plays back percentages: each sample is the next value.
class CScriptedLoad {
public:
    void Push(std::vector<uint32_t> values) { values_.insert(values_.end(), values.begin(), values.end()); }
    // A reader whose idle time makes the sampler compute exactly the next scripted value (one processor,
    // 1000 units per sample).
    CpuReader Reader() {
        return [this](CpuTimes& t) {
            uint32_t load = 0;
            if (!values_.empty()) {
                load = values_.front();
                values_.pop_front();
            }
            time_ += 1000;
            idle_ += 1000 - load * 10;
            t.idle = idle_;
            t.time = time_;
            t.processors = 1;
            return true;
        };
    }

private:
    std::deque<uint32_t> values_;
    uint64_t idle_ = 0;
    uint64_t time_ = 0;
};

class RibbonFixture : public ::testing::Test {
protected:
    virtual const char* Devices() const { return "camera:full,microphone,speaker"; }

    void SetUp() override {
        env.SetEnv("VIDORA_SIMULATED_DEVICES", Devices());
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        controller = std::make_unique<Granite::CSimulatedDeviceControl>(); // the devices of this test
        Granite::CGraniteEffectsControl::Instance().Reset();
        RegisterGraniteDeviceService();
        RegisterGraniteCommunicationsService();
        RegisterGraniteEffectsService();
        CVidoraSettings::SeedDefaults();
        RegisterToolkitControls();
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
        CVidoraRibbonDlg::SetScreenSaverProbe([this] { return screenSaver; });
    }

    void TearDown() override {
        ribbon.reset();
        QCoreApplication::processEvents();
        CVidoraRibbonDlg::SetScreenSaverProbe({});
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

    // Creates and initialises the ribbon (modeless, as a test cannot run it modally).
    CVidoraRibbonDlg& Open() {
        ribbon = std::make_unique<CVidoraRibbonDlg>();
        ribbon->SetLoadSampler(std::make_unique<CProcessorLoadSampler>(load.Reader(), 1));
        EXPECT_TRUE(ribbon->Create(nullptr));
        Pump();
        return *ribbon;
    }

    // Lets queued messages and the services' events through; waits (at most 5 s) until `done` holds.
    static bool PumpUntil(const std::function<bool()>& done) {
        QElapsedTimer elapsed;
        elapsed.start();
        for (;;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (done())
                return true;
            if (elapsed.elapsed() > 5000)
                return false;
        }
    }
    static void Pump() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    Granite::CSimulatedDeviceControl& Control() { return *controller; }
    CFakeTrayIcon* TrayFake() const { return static_cast<CFakeTrayIcon*>(ribbon->TrayIcon()); }
    CFakeTrayIcon* NoticeFake() const { return static_cast<CFakeTrayIcon*>(ribbon->NoticeIcon()); }
    QWidget* Item(int id) const { return ribbon->GetDlgItem(id); }
    bool Shown(int id) const { return Item(id) != nullptr && !Item(id)->isHidden(); }
    void Click(int id) { ribbon->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<uint16_t>(id), 0), 0); }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    CScriptedLoad load;
    std::unique_ptr<Granite::CSimulatedDeviceControl> controller;
    std::vector<std::string> boxes;
    std::vector<std::string> opened;
    intptr_t answer = IDOK;
    bool screenSaver = false;
    std::unique_ptr<CVidoraRibbonDlg> ribbon;
};
