// The main window as the user meets it: start-up in its different situations, the tray icon, hiding and
// closing, collapsing, second starts, the desktop session, and the wiring from the services to the panes.
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

#include <QMenu>

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
    // The OEM document of a fresh user's product: the tray setting is seeded from it.
    void UseOem(const std::string& document) {
        env.WriteFile("bin/OEM/OEM.xml", document);
        oem = std::make_unique<CVidoraOEMInfo>();
        SetOEMInfo(oem.get());
        CRegistry::Instance().DeleteValue(Hive::CurrentUser, CVidoraSettings::GetSettingsRoot(),
                                          "ShowSysTrayIcon");
        CVidoraSettings::SeedDefaults();
    }
    void StartHidden() {
        app = std::make_unique<CVidoraApp>();
        app->startHidden = 1;
    }
    T::Command FirstMenuItem() const {
        return static_cast<T::Command>(ribbon->Tray().MenuCommands().front());
    }
    static bool CaptureShown() { return RibbonWindows::Capture() && RibbonWindows::Capture()->isVisible(); }
    size_t WizardStarts() const { return launcher.Started().size(); }

    CFakeProcessLauncher launcher;
    std::unique_ptr<CVidoraOEMInfo> oem;
    std::unique_ptr<CVidoraApp> app;
};

TEST_F(RibbonWindowTest, StartsExpandedWithTheTrayIconAndFitsItsButtons) {
    Open();
    EXPECT_TRUE(ribbon->IsInitDone());
    EXPECT_TRUE(ribbon->isVisible());
    EXPECT_TRUE(Shown(R::IDC_SETTINGS));
    EXPECT_TRUE(Shown(R::IDC_COMMUNICATE));
    EXPECT_EQ(ribbon->windowTitle().toStdString(), CDialogBase::LoadString(109));
    ASSERT_NE(TrayFake(), nullptr);
    EXPECT_EQ(FirstMenuItem(), T::ID_HIDE);
    // The full camera with its microphone offers both mutes; the window fits its lowest control.
    EXPECT_TRUE(Shown(R::IDC_MIC_MUTE));
    EXPECT_TRUE(Shown(R::IDC_VIDEO_MUTE));
    EXPECT_GE(ribbon->geometry().height(), Item(R::IDC_MIC_MUTE)->geometry().bottom());
    EXPECT_TRUE(ribbon->IsTimerRunning(R::kUpdateTimer));
}

TEST_F(RibbonWindowTest, CollapsedStartHidesSettingsAndCommunicateAndTheChoiceIsKept) {
    CVidoraSettings::WriteRootNumber("RibbonToggleOpen", 1);
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

TEST_F(RibbonWindowTest, ClosingHidesToTheTrayAndEitherClickBringsTheRibbonBack) {
    Open();
    for (auto click : {ITrayIcon::Activation::Trigger, ITrayIcon::Activation::DoubleClick}) {
        ribbon->PostMessage(WM_CLOSE);
        Pump();
        ASSERT_TRUE(ribbon->IsHiddenToTray());
        EXPECT_FALSE(ribbon->isVisible());
        EXPECT_EQ(FirstMenuItem(), T::ID_SHOW);
        ASSERT_TRUE(TrayFake()->Activate(click));
        Pump();
        EXPECT_FALSE(ribbon->IsHiddenToTray());
        EXPECT_TRUE(ribbon->isVisible());
        EXPECT_EQ(FirstMenuItem(), T::ID_HIDE);
    }
    // Turning the tray icon off while hidden brings the ribbon back.
    ribbon->Hide();
    CVidoraSettings::SetShowSysTrayIcon(0);
    ribbon->PostMessage(R::WM_TRAY_SETTING_CHANGED);
    Pump();
    EXPECT_TRUE(ribbon->isVisible());
    EXPECT_FALSE(ribbon->IsHiddenToTray());
    ribbon->OnCommand(T::ID_EXIT);
    EXPECT_FALSE(ribbon->IsWindow());
}

TEST_F(RibbonWindowTest, WithoutTheTrayIconClosingEndsAndWithoutATrayItMinimises) {
    SetSystemTrayAvailableOverride(false);
    Open();
    ribbon->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_TRUE(ribbon->IsWindow());
    EXPECT_FALSE(ribbon->IsHiddenToTray());
    EXPECT_TRUE(ribbon->isMinimized());

    CVidoraSettings::SetShowSysTrayIcon(0);
    ribbon->PostMessage(R::WM_TRAY_SETTING_CHANGED);
    ribbon->PostMessage(R::WM_CLOSE_REQUEST);
    Pump();
    EXPECT_FALSE(ribbon->IsWindow());
}

TEST_F(RibbonWindowTest, ASecondStartFollowsTheTraySettingBeforeAnyCloseReliesOnIt) {
    Open();
    CVidoraSettings::SetShowSysTrayIcon(0);
    ribbon->SendMessage(RegisteredMessages::UniqueInstance.Id(), 0, 0);
    EXPECT_EQ(ribbon->Tray().Icon(), nullptr);
    ribbon->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_FALSE(ribbon->IsWindow()) << "no icon to hide in: the close ends the program";

    CVidoraSettings::SetShowSysTrayIcon(0);
    Open();
    CVidoraSettings::SetShowSysTrayIcon(1);
    ribbon->SendMessage(RegisteredMessages::UniqueInstance.Id(), 1, 0);
    EXPECT_NE(ribbon->Tray().Icon(), nullptr);
    EXPECT_FALSE(RibbonWindows::Capture().IsEmpty()) << "the capture switch of the second start";
    ribbon->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_TRUE(ribbon->IsHiddenToTray());
}

TEST_F(RibbonWindowTest, AHiddenStartWaitsInTheTrayAndTheMenuFollowsTheRibbon) {
    StartHidden();
    Open();
    EXPECT_FALSE(ribbon->isVisible());
    EXPECT_EQ(FirstMenuItem(), T::ID_SHOW);
    EXPECT_EQ(WizardStarts(), 0u);
    ASSERT_TRUE(TrayFake()->Activate(ITrayIcon::Activation::Trigger));
    Pump();
    EXPECT_TRUE(ribbon->isVisible());
    EXPECT_EQ(FirstMenuItem(), T::ID_HIDE);
    // The icon made again (the setting went off and on) offers what fits now.
    CVidoraSettings::SetShowSysTrayIcon(0);
    ribbon->PostMessage(R::WM_TRAY_SETTING_CHANGED);
    Pump();
    CVidoraSettings::SetShowSysTrayIcon(1);
    ribbon->PostMessage(R::WM_TRAY_SETTING_CHANGED);
    Pump();
    EXPECT_EQ(FirstMenuItem(), T::ID_HIDE);
}

TEST_F(RibbonWindowTest, AHiddenStartWithNoTrayIconPossibleStartsMinimised) {
    for (bool settingOff : {true, false}) {
        StartHidden();
        CVidoraSettings::WriteRootNumber("FirstLaunch", 0);
        CVidoraSettings::SetShowSysTrayIcon(settingOff ? 0 : 1);
        SetSystemTrayAvailableOverride(settingOff);
        Open();
        EXPECT_TRUE(ribbon->isVisible()) << settingOff;
        EXPECT_TRUE(ribbon->isMinimized()) << settingOff;
        ribbon.reset();
    }
}

TEST_F(RibbonWindowTest, TheAudioWizardStartsOncePerRunAndNothingElseInItsPlace) {
    // The desktop's sound settings are installed too, but they never report back: started in the wizard's
    // place, they would come up at every start.
    env.SetEnv("PATH", env.Path("programs"));
    env.WriteProgram("programs/pavucontrol");
    for (bool wizard : {false, true}) {
        SCOPED_TRACE(wizard ? "with the wizard" : "without the wizard");
        if (wizard)
            env.WriteProgram("bin/ATWizard.exe");
        launcher.Clear();
        CVidoraSettings::SetVIVFirstTimeUse(1);
        Open();
        ribbon->Show();
        ribbon->Hide();
        ribbon->Show();
        Pump();
        EXPECT_EQ(WizardStarts(), wizard ? 1u : 0u);
        if (wizard) {
            // It reported back: the capture window opens once, and the first use is over.
            ribbon->SendMessage(RegisteredMessages::AudioWizardFinished.Id(), 0, 0);
            EXPECT_FALSE(RibbonWindows::Capture().IsEmpty());
            EXPECT_EQ(CVidoraSettings::GetVIVFirstTimeUse(), 0u);
        }
        ribbon.reset();
    }
}

struct TrayDefaultCase {
    const char* name;
    const char* oem;
    bool comms;
    uint32_t expected;
};

TEST_F(RibbonWindowTest, TheFirstLaunchTakesTheTrayIconFromTheResellersDocument) {
    const TrayDefaultCase cases[] = {
        {"default off, no switch", R"(<Oem><DefaultRegistryValues>
            <DefaultRegistryValue Id="ShowSysTrayIcon" DefaultValue="0"/></DefaultRegistryValues></Oem>)",
         true, 0},
        {"switch off", R"(<Oem><Features><Feature Id="Show.SysTray.Icon" Enabled="false"/></Features></Oem>)",
         true, 0},
        {"switch off, no communications manager",
         R"(<Oem><Features><Feature Id="Show.SysTray.Icon" Enabled="false"/></Features></Oem>)", false, 0},
        {"switch on over a default off", R"(<Oem><DefaultRegistryValues>
            <DefaultRegistryValue Id="ShowSysTrayIcon" DefaultValue="0"/></DefaultRegistryValues>
            <Features><Feature Id="Show.SysTray.Icon" Enabled="true"/></Features></Oem>)",
         true, 1},
    };
    for (const TrayDefaultCase& c : cases) {
        RegisterGraniteCommunicationsService();
        if (!c.comms)
            UnregisterGraniteCommunicationsService();
        CVidoraSettings::WriteRootNumber("FirstLaunch", 1);
        UseOem(c.oem);
        Open();
        EXPECT_EQ(CVidoraSettings::GetShowSysTrayIcon(), c.expected) << c.name;
        EXPECT_EQ(ribbon->Tray().HasIcon(), c.expected != 0) << c.name;
        ribbon.reset();
    }
}

TEST_F(RibbonWindowTest, WithoutTheCommunicationsManagerTheRibbonStartsFullyAndKeepsTheUsersChoices) {
    UnregisterGraniteCommunicationsService();
    CVidoraSettings::WriteRootNumber("RibbonToggleOpen", 1);
    Open();
    EXPECT_TRUE(ribbon->IsInitDone());
    EXPECT_TRUE(ribbon->IsCollapsed());
    EXPECT_NE(ribbon->Tray().Icon(), nullptr);
    EXPECT_TRUE(ribbon->IsTimerRunning(R::kUpdateTimer));
    EXPECT_TRUE(Item(R::IDC_MIC_MUTE)->isEnabled());
    EXPECT_TRUE(Item(R::IDC_VIDEO_MUTE)->isEnabled());
    // A video call is not offered.
    ribbon->Devices().Shutter().StartVideoCall();
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_TRUE(RibbonWindows::Communicate().IsEmpty());
    ribbon->OnCommand(T::ID_EXIT);
    EXPECT_EQ(CVidoraSettings::ReadRootNumber("RibbonToggleOpen", 7), 1u);
}

TEST_F(RibbonWindowTest, ShowingTheCommunicatePaneOnRequestReplacesTheDockedPane) {
    Open();
    Click(R::IDC_SETTINGS);
    ASSERT_FALSE(RibbonWindows::Settings().IsEmpty());
    ribbon->PostMessage(R::WM_SHOW_COMMUNICATE);
    Pump();
    EXPECT_TRUE(RibbonWindows::Settings().IsEmpty());
    ASSERT_FALSE(RibbonWindows::Communicate().IsEmpty());
    // Moving the ribbon takes the docked pane along.
    ribbon->move(ribbon->pos() + QPoint(-40, 30));
    Pump();
    EXPECT_EQ(RibbonWindows::Communicate()->frameGeometry().top(), ribbon->frameGeometry().top());
}

TEST_F(RibbonWindowTest, AClosedShutterRightAfterHidingOrMinimisingOpensTheShadeAndKeepsIt) {
    // The shutter's notice is handled before the window system has reported the hiding (or, without a
    // tray, the minimising): what the window system says late must not undo the shade the shutter opened.
    CVidoraSettings::SetShadeFirstTimeUse(0);
    CVidoraSettings::SetShadeBehavior(1);
    for (bool tray : {true, false}) {
        SetSystemTrayAvailableOverride(tray);
        Open();
        if (tray)
            ribbon->Hide();
        else
            ribbon->SendMessage(WM_CLOSE);
        ribbon->Devices().OnVideoDeviceEvent30(0);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        EXPECT_FALSE(RibbonWindows::PrivacyShade().IsEmpty()) << "tray " << tray;
        EXPECT_TRUE(ribbon->isVisible()) << "tray " << tray;
        EXPECT_FALSE(ribbon->isMinimized()) << "tray " << tray;
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

TEST_F(RibbonWindowTest, SuspendAndAnInactiveSessionCloseTheWindowsThatUseTheCamera) {
    Open();
    auto* session = ribbon->findChild<CDesktopSession*>();
    ASSERT_NE(session, nullptr);
    const QVariantMap inactive{{QStringLiteral("Active"), false}};
    const QVariantMap active{{QStringLiteral("Active"), true}};
    for (const auto& notice : std::vector<std::function<void()>>{
             [&] { session->OnPrepareForSleep(true); },
             [&] {
                 session->OnSessionPropertiesChanged(QStringLiteral("org.freedesktop.login1.Session"),
                                                     inactive, {});
                 session->OnSessionPropertiesChanged(QStringLiteral("org.freedesktop.login1.Session"), active,
                                                     {});
             }}) {
        Click(R::IDC_CAPTURE);
        ASSERT_TRUE(CaptureShown());
        notice();
        Pump();
        EXPECT_FALSE(CaptureShown());
    }
    // The screen saver starting is no such reason.
    Click(R::IDC_CAPTURE);
    session->OnScreenSaverActiveChanged(true);
    Pump();
    EXPECT_TRUE(CaptureShown());
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
    EXPECT_FALSE(ribbon->IsTimerRunning(R::kStatusTimer));
}

TEST_F(RibbonWindowTest, UpdateChecksRunAfterTwoMinutesThenHourly) {
    Open();
    timers.Advance(R::kUpdateFirstMs);
    const std::string first = CVidoraSettings::GetCheckUpdatesLastRun();
    EXPECT_FALSE(first.empty());
    timers.Advance(R::kUpdateFirstMs);
    EXPECT_EQ(CVidoraSettings::GetCheckUpdatesLastRun(), first) << "the next one is an hour later";
    EXPECT_TRUE(ribbon->IsTimerRunning(R::kUpdateTimer));
}

TEST_F(RibbonWindowTest, TheBrandLinkTheForceCloseAndClosingWithWindowsOpen) {
    Open();
    Click(R::IDC_BRAND);
    EXPECT_EQ(opened, std::vector<std::string>{CDialogBase::LoadString(108)});
    Click(R::IDC_CAPTURE);
    Click(R::IDC_SETTINGS);
    ribbon->OnCommand(T::ID_ABOUT);
    ribbon->SendMessage(RegisteredMessages::ForceClose.Id(), 0, 0);
    EXPECT_FALSE(ribbon->IsWindow());
    EXPECT_TRUE(RibbonWindows::Capture().IsEmpty());
    EXPECT_TRUE(RibbonWindows::Settings().IsEmpty());
    EXPECT_TRUE(RibbonWindows::About().IsEmpty());
    EXPECT_EQ(ribbon->Tray().Icon(), nullptr);
}

} // namespace
