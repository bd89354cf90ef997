// The main window as the user meets it: starts, the tray icon, hiding and closing, and the services' wiring.
#include "RibbonFixture.h"

#include "app/CVidoraApp.h"
#include "capture/CSnapDeskDlg.h"
#include "communicate/CCommunicateDlg.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CDesktopSession.h"
#include "platform/CRegistry.h"
#include "platform/RegisteredMessages.h"
#include "settings/CMainSettingsDlg.h"
#include "support/CFakeProcessLauncher.h"

namespace {

using R = CVidoraRibbonDlg;
using T = CRibbonTray;

class RibbonWindowTest : public RibbonFixture {
protected:
    void SetUp() override {
        RibbonFixture::SetUp();
        SetProcessLauncher(&launcher);
    }
    void TearDown() override {
        RibbonFixture::TearDown();
        SetProcessLauncher(nullptr);
        SetOEMInfo(nullptr);
        oem.reset();
        app.reset();
    }
    void StartHidden() {
        app = std::make_unique<CVidoraApp>();
        app->startHidden = 1;
    }
    T::Command FirstMenuItem() const {
        return static_cast<T::Command>(ribbon->Tray().MenuCommands().front());
    }
    static bool CaptureShown() { return RibbonWindows::Capture() && RibbonWindows::Capture()->isVisible(); }
    CFakeProcessLauncher launcher;
    std::unique_ptr<CVidoraOEMInfo> oem;
    std::unique_ptr<CVidoraApp> app;
};

TEST_F(RibbonWindowTest, StartsExpandedWithTheTrayIconChecksForUpdatesAndAForcedCloseTakesAll) {
    Open();
    EXPECT_TRUE(ribbon->isVisible());
    EXPECT_TRUE(Shown(R::IDC_SETTINGS));
    ASSERT_NE(TrayFake(), nullptr);
    EXPECT_EQ(FirstMenuItem(), T::ID_HIDE);
    EXPECT_TRUE(Shown(R::IDC_VIDEO_MUTE));
    EXPECT_GE(ribbon->geometry().height(), Item(R::IDC_MIC_MUTE)->geometry().bottom());
    timers.Advance(R::kUpdateFirstMs);
    const std::string first = CVidoraSettings::GetCheckUpdatesLastRun();
    EXPECT_FALSE(first.empty());
    timers.Advance(R::kUpdateFirstMs);
    EXPECT_EQ(CVidoraSettings::GetCheckUpdatesLastRun(), first) << "the next one is an hour later";
    Click(R::IDC_BRAND);
    EXPECT_EQ(opened, std::vector<std::string>{CDialogBase::LoadString(108)});
    Click(R::IDC_CAPTURE);
    Click(R::IDC_SETTINGS);
    ribbon->OnCommand(T::ID_ABOUT);
    ribbon->SendMessage(RegisteredMessages::ForceClose.Id(), 0, 0);
    EXPECT_FALSE(ribbon->IsWindow());
    EXPECT_TRUE(RibbonWindows::Capture().IsEmpty() && RibbonWindows::Settings().IsEmpty() &&
                RibbonWindows::About().IsEmpty());
    EXPECT_EQ(ribbon->Tray().Icon(), nullptr);
}

// The tray menu offers Show or Hide from the ribbon's state; turning the icon off while hidden shows it.
TEST_F(RibbonWindowTest, AHiddenStartOrACloseWaitsInTheTrayAndTheMenuFollowsTheRibbon) {
    StartHidden();
    Open();
    for (auto click : {ITrayIcon::Activation::Trigger, ITrayIcon::Activation::DoubleClick}) {
        EXPECT_FALSE(ribbon->isVisible());
        EXPECT_EQ(FirstMenuItem(), T::ID_SHOW);
        ASSERT_TRUE(TrayFake()->Activate(click));
        Pump();
        EXPECT_TRUE(ribbon->isVisible());
        EXPECT_EQ(FirstMenuItem(), T::ID_HIDE);
        ribbon->PostMessage(WM_CLOSE);
        Pump();
        ASSERT_TRUE(ribbon->IsHiddenToTray());
    }
    CVidoraSettings::SetShowSysTrayIcon(0);
    ribbon->PostMessage(R::WM_TRAY_SETTING_CHANGED);
    Pump();
    EXPECT_TRUE(ribbon->isVisible());
    EXPECT_FALSE(ribbon->IsHiddenToTray());
    ribbon->OnCommand(T::ID_EXIT);
    EXPECT_FALSE(ribbon->IsWindow());
}

// With no tray to hide in (none on the desktop, or the icon turned off) the ribbon minimises instead.
TEST_F(RibbonWindowTest, WithNoTrayIconPossibleAHiddenStartOrACloseMinimises) {
    for (bool settingOff : {true, false}) {
        SCOPED_TRACE(settingOff ? "icon turned off" : "no tray");
        StartHidden();
        CVidoraSettings::WriteRootNumber("FirstLaunch", 0);
        CVidoraSettings::SetShowSysTrayIcon(settingOff ? 0 : 1);
        SetSystemTrayAvailableOverride(settingOff);
        Open();
        EXPECT_TRUE(ribbon->isVisible());
        EXPECT_TRUE(ribbon->isMinimized());
        if (!settingOff) {
            ribbon->showNormal();
            ASSERT_FALSE(ribbon->isMinimized());
            ribbon->PostMessage(WM_CLOSE);
            Pump();
            EXPECT_TRUE(ribbon->IsWindow());
            EXPECT_FALSE(ribbon->IsHiddenToTray());
            EXPECT_TRUE(ribbon->isMinimized());
        }
        ribbon.reset();
    }
}

// A second start follows the tray setting before a close relies on it: without an icon the close ends.
TEST_F(RibbonWindowTest, ASecondStartFollowsTheTraySettingBeforeAnyCloseReliesOnIt) {
    Open();
    CVidoraSettings::SetShowSysTrayIcon(0);
    ribbon->SendMessage(RegisteredMessages::UniqueInstance.Id(), 0, 0);
    EXPECT_EQ(ribbon->Tray().Icon(), nullptr);
    ribbon->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_FALSE(ribbon->IsWindow());
    Open();
    CVidoraSettings::SetShowSysTrayIcon(1);
    ribbon->SendMessage(RegisteredMessages::UniqueInstance.Id(), 1, 0);
    EXPECT_NE(ribbon->Tray().Icon(), nullptr);
    EXPECT_FALSE(RibbonWindows::Capture().IsEmpty()) << "the capture switch of the second start";
    ribbon->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_TRUE(ribbon->IsHiddenToTray());
}

// The desktop's sound settings are installed too, but they never report back: started in the wizard's
// place, they would come up at every start.
TEST_F(RibbonWindowTest, TheAudioWizardStartsOncePerRunAndNothingElseInItsPlace) {
    env.SetEnv("PATH", env.Path("programs"));
    env.WriteProgram("programs/pavucontrol");
    for (bool wizard : {false, true}) {
        SCOPED_TRACE(wizard ? "with the wizard" : "without the wizard");
        if (wizard)
            env.WriteProgram("bin/ATWizard.exe");
        launcher.Clear();
        CVidoraSettings::SetVIVFirstTimeUse(1);
        Open();
        ribbon->Hide();
        ribbon->Show();
        Pump();
        EXPECT_EQ(launcher.Started().size(), wizard ? 1u : 0u);
        ribbon.reset();
    }
    // It reported back: the capture window opens, and the first use is over.
    Open();
    ribbon->SendMessage(RegisteredMessages::AudioWizardFinished.Id(), 0, 0);
    EXPECT_FALSE(RibbonWindows::Capture().IsEmpty());
    EXPECT_EQ(CVidoraSettings::GetVIVFirstTimeUse(), 0u);
}

// The first launch copies the reseller's tray switch only when the document has one.
TEST_F(RibbonWindowTest, TheFirstLaunchTakesTheTrayIconFromTheResellersDocument) {
    const char* kDefaultOff = R"(<DefaultRegistryValues>
        <DefaultRegistryValue Id="ShowSysTrayIcon" DefaultValue="0"/></DefaultRegistryValues>)";
    const struct {
        std::string oem;
        bool comms;
        uint32_t expected;
    } cases[] = {
        {std::string("<Oem>") + kDefaultOff + "</Oem>", true, 0},
        {R"(<Oem><Features><Feature Id="Show.SysTray.Icon" Enabled="false"/></Features></Oem>)", false, 0},
        {std::string("<Oem>") + kDefaultOff +
             R"(<Features><Feature Id="Show.SysTray.Icon" Enabled="true"/></Features></Oem>)",
         true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oem);
        RegisterGraniteCommunicationsService();
        if (!c.comms)
            UnregisterGraniteCommunicationsService();
        CVidoraSettings::WriteRootNumber("FirstLaunch", 1);
        env.WriteFile("bin/OEM/OEM.xml", c.oem); // a fresh user's: the tray setting is seeded from it
        oem = std::make_unique<CVidoraOEMInfo>();
        SetOEMInfo(oem.get());
        CRegistry::Instance().DeleteValue(Hive::CurrentUser, CVidoraSettings::GetSettingsRoot(),
                                          "ShowSysTrayIcon");
        CVidoraSettings::SeedDefaults();
        Open();
        EXPECT_EQ(CVidoraSettings::GetShowSysTrayIcon(), c.expected);
        EXPECT_EQ(ribbon->Tray().HasIcon(), c.expected != 0);
        ribbon.reset();
    }
}

// Without the communications manager start-up runs every other step, and closing writes back only what it
// read.
TEST_F(RibbonWindowTest, ACollapsedStartKeepsTheChoiceAlsoWithoutTheCommunicationsManager) {
    CVidoraSettings::WriteRootNumber("RibbonToggleOpen", 1);
    UnregisterGraniteCommunicationsService();
    Open();
    EXPECT_TRUE(ribbon->IsCollapsed());
    EXPECT_NE(ribbon->Tray().Icon(), nullptr);
    EXPECT_TRUE(ribbon->IsTimerRunning(R::kUpdateTimer));
    EXPECT_TRUE(Item(R::IDC_MIC_MUTE)->isEnabled());
    EXPECT_TRUE(Item(R::IDC_VIDEO_MUTE)->isEnabled());
    ribbon->Devices().Shutter().StartVideoCall();
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_TRUE(RibbonWindows::Communicate().IsEmpty());
    ribbon->OnCommand(T::ID_EXIT);
    EXPECT_EQ(CVidoraSettings::ReadRootNumber("RibbonToggleOpen", 7), 1u);
    RegisterGraniteCommunicationsService();
    Open();
    EXPECT_TRUE(ribbon->IsCollapsed());
    EXPECT_FALSE(Shown(R::IDC_SETTINGS));
    EXPECT_FALSE(Shown(R::IDC_COMMUNICATE));
    const int collapsedHeight = ribbon->height();
    Click(R::IDC_TOGGLE);
    EXPECT_TRUE(Shown(R::IDC_SETTINGS));
    EXPECT_GT(ribbon->height(), collapsedHeight);
    EXPECT_EQ(Item(R::IDC_TOGGLE)->toolTip().toStdString(), CDialogBase::LoadString(310));
    ribbon->DestroyWindow();
    EXPECT_EQ(CVidoraSettings::ReadRootNumber("RibbonToggleOpen", 7), 0u);
}

// A fault seen under load: the shutter's notice is handled before the window system has reported the hiding
// (or, without a tray, the minimising), and what the window system said late undid the shade the shutter
// had opened.
TEST_F(RibbonWindowTest, AClosedShutterRightAfterHidingOrMinimisingOpensTheShadeAndKeepsIt) {
    CVidoraSettings::SetShadeFirstTimeUse(0);
    CVidoraSettings::SetShadeBehavior(1);
    for (bool tray : {true, false}) {
        SCOPED_TRACE(tray ? "hidden to the tray" : "minimised");
        SetSystemTrayAvailableOverride(tray);
        Open();
        if (tray)
            ribbon->Hide();
        else
            ribbon->SendMessage(WM_CLOSE);
        ribbon->Devices().OnVideoDeviceEvent30(0);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        EXPECT_FALSE(RibbonWindows::PrivacyShade().IsEmpty());
        EXPECT_TRUE(ribbon->isVisible());
        EXPECT_FALSE(ribbon->isMinimized());
        if (!tray) {
            // A minimise that stands still takes the docked pane away.
            ribbon->showMinimized();
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
            EXPECT_TRUE(RibbonWindows::PrivacyShade().IsEmpty());
        }
        ribbon.reset();
    }
}

TEST_F(RibbonWindowTest, TheShuttersNoticeReachesTheRibbonFromTheService) {
    CVidoraSettings::SetShadeFirstTimeUse(0);
    CVidoraSettings::SetShadeBehavior(1);
    Open();
    ribbon->Hide();
    ASSERT_EQ(Control().SetShutter(true), S_OK);
    ASSERT_TRUE(PumpUntil([] { return !RibbonWindows::PrivacyShade().IsEmpty(); }));
    EXPECT_FALSE(ribbon->IsHiddenToTray());
}

// Suspend and the session going inactive close the windows that use the camera; the screen saver does not.
TEST_F(RibbonWindowTest, SuspendAndAnInactiveSessionCloseTheWindowsThatUseTheCamera) {
    Open();
    auto* session = ribbon->findChild<CDesktopSession*>();
    ASSERT_NE(session, nullptr);
    const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
    const QVariantMap inactive{{QStringLiteral("Active"), false}}, active{{QStringLiteral("Active"), true}};
    for (int notice = 0; notice < 3; ++notice) {
        Click(R::IDC_CAPTURE);
        ASSERT_TRUE(CaptureShown());
        if (notice == 0) {
            session->OnPrepareForSleep(true);
        } else if (notice == 1) {
            session->OnSessionPropertiesChanged(kSession, inactive, {});
            session->OnSessionPropertiesChanged(kSession, active, {});
        } else {
            session->OnScreenSaverActiveChanged(true);
        }
        Pump();
        EXPECT_EQ(CaptureShown(), notice == 2) << notice;
    }
}

TEST_F(RibbonWindowTest, AHighLoadWhileEffectsRunRaisesTheWarning) {
    Open();
    uint64_t time = 0;
    ribbon->SetLoadSampler(std::make_unique<CProcessorLoadSampler>(
        [&time](CpuTimes& t) {
            t.time = time += 1000;
            t.idle = 1; // never idle again: fully busy
            t.processors = 1;
            return true;
        },
        1));
    ribbon->Devices().OnEffectsModeChange(0, 0, 1);
    timers.Advance(R::kLoadTimerMs * 9);
    EXPECT_TRUE(TrayFake()->Balloons().empty()) << "nine samples are not enough";
    timers.Advance(R::kLoadTimerMs);
    ASSERT_EQ(TrayFake()->Balloons().size(), 1u);
    EXPECT_EQ(TrayFake()->Balloons()[0].title, CDialogBase::LoadString(253));
    ribbon->Devices().OnEffectsModeChange(0, 1, 0);
    EXPECT_FALSE(ribbon->IsTimerRunning(R::kLoadTimer));
}

} // namespace
