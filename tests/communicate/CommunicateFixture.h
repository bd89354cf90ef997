#pragma once
// The communicate window in a temporary home: configuration documents written to the "Config" folder beside
// the stand-in executable, a scripted communications service, and fakes for the desktop's web opener, the
// process launcher and message boxes.
#include "app/CVidoraApp.h"
#include "communicate/CCommunicateDlg.h"
#include "platform/CObjectFactory.h"
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

class CommunicateTest : public ::testing::Test {
protected:
    using Section = CCommunicateSections::Section;

    void SetUp() override {
        clock.SetTickCount(100000);
        SetClock(&clock);
        SetTimerService(&timers);
        RegisterToolkitControls();
        CVidoraSkin::SetAnimationsEnabled(false);
        SetOEMInfo(&oem);
        // Nothing of the machine's: no desktop entries, no programs on the path but the test's own.
        env.SetEnv("XDG_DATA_DIRS", env.Path("system"));
        env.SetEnv("PATH", env.Path("programs"));
        CObjectFactory::Instance().Register(
            CLSID_CommunicationsService,
            [this](const Guid& iid, void** object) { return service.QueryInterface(iid, object); });
        DesktopLinks::SetOpenHook([this](const std::string& address) {
            opened.push_back(address);
            return true;
        });
        SetProcessLauncher(&launcher);
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
        SetProcessLauncher(nullptr);
        DesktopLinks::SetOpenHook(nullptr);
        SetOEMInfo(nullptr);
        CVidoraSkin::SetAnimationsEnabled(true);
        SetTimerService(nullptr);
        SetClock(nullptr);
    }

    // A document of the "Config" folder beside the executable.
    void WriteConfig(const std::string& fileName, const std::string& content) {
        env.WriteFile("bin/Config/" + fileName, content);
    }
    // A tool document of one section holding the tools given (each a <Tool> element).
    static std::string ToolDocument(const std::string& root, const std::string& tools) {
        return "<?xml version=\"1.0\"?><" + root + "><Section><Logo>0</Logo>" + tools + "</Section></" +
               root + ">";
    }
    // The three tool documents whose button can go, all without a tool to show.
    void NoToolsAnywhere() {
        WriteConfig("EditTools.xml", "<EditTools/>");
        WriteConfig("VLogTools.xml", "<VloggingTools><Section><Logo>1</Logo></Section></VloggingTools>");
        // Its only tool is for another operating-system type.
        WriteConfig("VideoSnap.xml",
                    ToolDocument("VideoSnap", "<Tool Id=\"old\"><Name Localized=\"false\">Old</Name>"
                                              "<OSes><OS>2K</OS></OSes></Tool>"));
    }

    CCommunicateDlg* Open() {
        window = new CCommunicateDlg();
        window->SetDeleteOnDestroy(true);
        EXPECT_TRUE(window->Create(nullptr));
        window->show();
        DrainEvents();
        return window;
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

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    CVidoraApp app;
    CSwitchesOEM oem;
    CommunicationsFakeService service;
    CFakeProcessLauncher launcher;
    std::vector<std::string> opened;
    std::vector<std::string> shownTexts;
    CCommunicateDlg* window = nullptr;
};
