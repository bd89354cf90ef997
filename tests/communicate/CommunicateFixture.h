#pragma once
// A temporary desktop (settings store, PATH and XDG folders; nothing of this machine's leaks in), a launcher
// that starts nothing, a web opener that records; CommunicateTest adds the window and a scripted service.
#include "app/CVidoraApp.h"
#include "communicate/CCommunicateDlg.h"
#include "platform/CObjectFactory.h"
#include "platform/CRegistry.h"
#include "platform/CResourceLibrary.h"
#include "platform/DesktopLinks.h"
#include "services/CGraniteCommunicationsManager.h"
#include "support/CFakeClock.h"
#include "support/CFakeProcessLauncher.h"
#include "support/CSwitchesOEM.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"
#include "tests/services/CommunicationsFakeService.h"
#include "ui/CCustomMessageBox.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsRegistration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class CommunicateDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        env.SetEnv("PATH", env.Path("bin/programs"));
        env.SetEnv("XDG_DATA_DIRS", env.Path("share"));
        env.SetEnv("XDG_CONFIG_DIRS", env.Path("etc/xdg"));
        env.SetEnv("XDG_CURRENT_DESKTOP", "");
        SetUiLanguage(0x0409);
        SetProcessLauncher(&launcher);
        DesktopLinks::SetOpenHook([this](const std::string& address) {
            opened.push_back(address);
            return true;
        });
    }
    void TearDown() override {
        DesktopLinks::SetOpenHook({});
        SetProcessLauncher(nullptr);
    }

    // A program that does nothing at `relative`; its full path.
    std::string Program(const std::string& relative) {
        env.WriteProgram(relative);
        return env.Path(relative);
    }
    void Record(Hive hive, const std::string& key, const std::string& value) {
        CRegistry& registry = CRegistry::Instance();
        ASSERT_TRUE(SUCCEEDED(registry.CreateKey(hive, key, "", false)));
        ASSERT_TRUE(SUCCEEDED(registry.SetValue(hive, key, "Path", RegValue::String(value))));
    }
    std::string Recorded(Hive hive, const std::string& key) {
        RegValue value;
        return SUCCEEDED(CRegistry::Instance().QueryValue(hive, key, "Path", value)) ? value.text : "<none>";
    }

    CTempEnvironment env;
    CFakeProcessLauncher launcher;
    std::vector<std::string> opened;
};

class CommunicateTest : public CommunicateDesktop {
protected:
    using Section = CCommunicateSections::Section;

    void SetUp() override {
        CommunicateDesktop::SetUp();
        clock.SetTickCount(100000);
        SetClock(&clock);
        SetTimerService(&timers);
        RegisterToolkitControls();
        CVidoraSkin::SetAnimationsEnabled(false);
        SetOEMInfo(&oem);
        CObjectFactory::Instance().Register(
            CLSID_CommunicationsService,
            [this](const Guid& iid, void** object) { return service.QueryInterface(iid, object); });
        CCustomMessageBox::SetAnswerHook(
            [this](CCustomMessageBox::Kind, const std::string& text, MessageBoxIcon) {
                shownTexts.push_back(text);
                return IDOK;
            });
    }
    void TearDown() override {
        Close();
        while (CGraniteCommunicationsManager::Current() != nullptr)
            CGraniteCommunicationsManager::Current()->Release();
        CObjectFactory::Instance().Unregister(CLSID_CommunicationsService);
        CCustomMessageBox::SetAnswerHook(nullptr);
        SetOEMInfo(nullptr);
        CVidoraSkin::SetAnimationsEnabled(true);
        SetTimerService(nullptr);
        SetClock(nullptr);
        CommunicateDesktop::TearDown();
    }

    // A document of the "Config" folder beside the executable.
    void WriteConfig(const std::string& fileName, const std::string& content) {
        env.WriteFile("bin/Config/" + fileName, content);
    }
    void Open() {
        window = new CCommunicateDlg();
        window->SetDeleteOnDestroy(true);
        EXPECT_TRUE(window->Create(nullptr));
        window->show();
        DrainEvents();
    }
    void Close() {
        if (window != nullptr && window->IsWindow())
            window->DestroyWindow();
        window = nullptr;
        DrainEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    CTransparentImageButton* Button(Section section) const {
        return window->GetDlgItemAs<CTransparentImageButton>(CCommunicateSections::InfoOf(section).button);
    }
    bool Shown(Section section) const { return !Button(section)->isHidden(); }
    void Choose(Section section) {
        Button(section)->click();
        DrainEvents();
    }

    CFakeClock clock;
    CVirtualTimerService timers{clock};
    CVidoraApp app;
    CSwitchesOEM oem;
    CommunicationsFakeService service;
    std::vector<std::string> shownTexts;
    CCommunicateDlg* window = nullptr;
};
