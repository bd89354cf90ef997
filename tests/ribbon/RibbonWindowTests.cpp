// The main window as the user meets it: start-up state, tray icon and closing, collapsing, the pane buttons,
// second starts and the brand link.
#include "RibbonFixture.h"

#include "capture/CSnapDeskDlg.h"
#include "communicate/CCommunicateDlg.h"
#include "platform/RegisteredMessages.h"
#include "settings/CMainSettingsDlg.h"

namespace {

using R = CVidoraRibbonDlg;

TEST_F(RibbonFixture, StartsExpandedWithTheTrayIconAndItsMenu) {
    Open();
    EXPECT_TRUE(ribbon->IsInitDone());
    EXPECT_FALSE(ribbon->IsCollapsed());
    EXPECT_TRUE(Shown(R::IDC_SETTINGS));
    EXPECT_TRUE(Shown(R::IDC_COMMUNICATE));
    EXPECT_EQ(ribbon->windowTitle().toStdString(), CDialogBase::LoadString(109));
    ASSERT_NE(TrayFake(), nullptr);
    EXPECT_TRUE(TrayFake()->IsShowRequested());
    EXPECT_EQ(TrayFake()->ContextMenu(), ribbon->TrayMenu());
    // Hide (not started hidden), capture, help, about, check for updates, exit; separators between groups.
    EXPECT_EQ(ribbon->TrayMenuCommands(),
              (std::vector<int>{R::ID_TRAY_HIDE, 0, R::ID_TRAY_CAPTURE, 0, R::ID_TRAY_HELP, R::ID_ABOUT, 0,
                                R::ID_TRAY_CHECK_UPDATES, 0, R::ID_TRAY_EXIT}));
    // The full camera with its microphone offers both mutes; the window fits its lowest control.
    EXPECT_TRUE(Shown(R::IDC_MIC_MUTE));
    EXPECT_EQ(ribbon->geometry().height() >= Item(R::IDC_MIC_MUTE)->geometry().bottom(), true);
    EXPECT_FALSE(ribbon->HighLoadText().empty());
}

TEST_F(RibbonFixture, CollapsedStartHidesSettingsAndCommunicateAndTheToggleBringsThemBack) {
    CVidoraSettings::WriteRootNumber("RibbonToggleOpen", 1);
    Open();
    EXPECT_TRUE(ribbon->IsCollapsed());
    EXPECT_FALSE(Shown(R::IDC_SETTINGS));
    EXPECT_FALSE(Shown(R::IDC_COMMUNICATE));
    const int collapsedHeight = ribbon->height();
    Click(R::IDC_TOGGLE);
    EXPECT_FALSE(ribbon->IsCollapsed());
    EXPECT_TRUE(Shown(R::IDC_SETTINGS));
    EXPECT_GT(ribbon->height(), collapsedHeight);
    EXPECT_EQ(Item(R::IDC_TOGGLE)->toolTip().toStdString(), CDialogBase::LoadString(310));
    // Kept for the next start when the window goes.
    ribbon->DestroyWindow();
    EXPECT_EQ(CVidoraSettings::ReadRootNumber("RibbonToggleOpen", 7), 0u);
}

TEST_F(RibbonFixture, WithTheTrayIconClosingHidesToTheTrayAndShowComesBack) {
    Open();
    ribbon->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_TRUE(ribbon->IsWindow());
    EXPECT_TRUE(ribbon->IsHiddenToTray());
    EXPECT_FALSE(ribbon->isVisible());
    EXPECT_EQ(ribbon->TrayMenuCommands().front(), R::ID_TRAY_SHOW);
    ASSERT_TRUE(TrayFake()->Activate(ITrayIcon::Activation::DoubleClick));
    Pump();
    EXPECT_FALSE(ribbon->IsHiddenToTray());
    EXPECT_TRUE(ribbon->isVisible());
    EXPECT_EQ(ribbon->TrayMenuCommands().front(), R::ID_TRAY_HIDE);
    // The menu's exit ends the window.
    ribbon->OnCommand(R::ID_TRAY_EXIT);
    EXPECT_FALSE(ribbon->IsWindow());
}

TEST_F(RibbonFixture, WithoutTheTrayIconClosingEndsTheWindow) {
    CVidoraSettings::WriteRootNumber("FirstLaunch", 0);
    CVidoraSettings::SetShowSysTrayIcon(0);
    Open();
    EXPECT_EQ(ribbon->TrayIcon(), nullptr);
    ribbon->PostMessage(R::WM_CLOSE_REQUEST);
    Pump();
    EXPECT_FALSE(ribbon->IsWindow());
}

TEST_F(RibbonFixture, WithoutATrayOnTheDesktopClosingMinimisesInsteadOfHiding) {
    SetSystemTrayAvailableOverride(false);
    Open();
    ribbon->show();
    ribbon->PostMessage(WM_CLOSE);
    Pump();
    EXPECT_TRUE(ribbon->IsWindow());
    EXPECT_FALSE(ribbon->IsHiddenToTray());
}

TEST_F(RibbonFixture, TheTraySettingIsFollowedWhenItChanges) {
    Open();
    CVidoraSettings::SetShowSysTrayIcon(0);
    ribbon->PostMessage(R::WM_TRAY_SETTING_CHANGED);
    Pump();
    EXPECT_EQ(ribbon->TrayIcon(), nullptr);
    EXPECT_FALSE(ribbon->TrayIconEnabled());
    CVidoraSettings::SetShowSysTrayIcon(1);
    ribbon->PostMessage(R::WM_TRAY_SETTING_CHANGED);
    Pump();
    EXPECT_NE(ribbon->TrayIcon(), nullptr);
}

TEST_F(RibbonFixture, NoticesGoToTheTrayIconElseToATemporaryIconForTenSeconds) {
    Open();
    ribbon->ShowNotice("Camera ready", "Vidora");
    ASSERT_EQ(TrayFake()->Balloons().size(), 1u);
    EXPECT_EQ(TrayFake()->Balloons()[0].milliseconds, 10000);
    EXPECT_EQ(ribbon->NoticeIcon(), nullptr);

    CVidoraSettings::SetShowSysTrayIcon(0);
    ribbon->PostMessage(R::WM_TRAY_SETTING_CHANGED);
    Pump();
    ribbon->ShowNotice(std::string(300, 'x'), "Vidora");
    ASSERT_NE(NoticeFake(), nullptr);
    ASSERT_EQ(NoticeFake()->Balloons().size(), 1u);
    EXPECT_EQ(NoticeFake()->Balloons()[0].text.size(), R::kMaxNoticeText);
    timers.Advance(9999);
    EXPECT_NE(ribbon->NoticeIcon(), nullptr);
    timers.Advance(1);
    EXPECT_EQ(ribbon->NoticeIcon(), nullptr);
}

TEST_F(RibbonFixture, PressingTheSettingsButtonTwiceClosesTheDockedPane) {
    Open();
    Click(R::IDC_SETTINGS);
    CMainSettingsDlg* settings = RibbonWindows::Settings().Get();
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->IsDocked());
    Click(R::IDC_SETTINGS);
    EXPECT_TRUE(RibbonWindows::Settings().IsEmpty());
}

TEST_F(RibbonFixture, PressingTheSettingsButtonForAFloatingMinimisedPaneRestoresIt) {
    Open();
    Click(R::IDC_SETTINGS);
    CMainSettingsDlg* settings = RibbonWindows::Settings().Get();
    ASSERT_NE(settings, nullptr);
    settings->Undock();
    settings->showMinimized();
    Click(R::IDC_SETTINGS);
    EXPECT_EQ(RibbonWindows::Settings().Get(), settings);
    EXPECT_FALSE(settings->isMinimized());
    EXPECT_TRUE(settings->isVisible());
}

TEST_F(RibbonFixture, OnlyOneDockedPaneAtATime) {
    Open();
    Click(R::IDC_SETTINGS);
    ASSERT_FALSE(RibbonWindows::Settings().IsEmpty());
    Click(R::IDC_COMMUNICATE);
    EXPECT_TRUE(RibbonWindows::Settings().IsEmpty());
    EXPECT_FALSE(RibbonWindows::Communicate().IsEmpty());
    // Moving the ribbon takes the docked pane along.
    ribbon->move(ribbon->pos() + QPoint(-40, 30));
    Pump();
    CAttachablePane* pane = RibbonWindows::Communicate().Get();
    EXPECT_EQ(pane->frameGeometry().top(), ribbon->frameGeometry().top());
}

TEST_F(RibbonFixture, ASecondStartWithTheCaptureSwitchOpensTheCaptureWindow) {
    Open();
    ASSERT_FALSE(ribbon->LaunchSnapDesk());
    ribbon->SendMessage(RegisteredMessages::UniqueInstance.Id(), 0, 0);
    EXPECT_TRUE(RibbonWindows::Capture().IsEmpty());
    ribbon->SendMessage(RegisteredMessages::UniqueInstance.Id(), 1, 0);
    EXPECT_FALSE(RibbonWindows::Capture().IsEmpty());
    // Again: the same window comes forward.
    CSnapDeskDlg* capture = RibbonWindows::Capture().Get();
    ribbon->SendMessage(RegisteredMessages::UniqueInstance.Id(), 1, 0);
    EXPECT_EQ(RibbonWindows::Capture().Get(), capture);
}

TEST_F(RibbonFixture, TheForceCloseMessageEndsTheWindow) {
    Open();
    ribbon->SendMessage(RegisteredMessages::ForceClose.Id(), 0, 0);
    EXPECT_FALSE(ribbon->IsWindow());
}

TEST_F(RibbonFixture, TheBrandLogoOpensTheMakersPageUnlessTheLinkIsOff) {
    Open();
    Click(R::IDC_BRAND);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], CDialogBase::LoadString(108));
}

TEST_F(RibbonFixture, ClosingTheWindowDestroysEveryWindowItOpened) {
    Open();
    Click(R::IDC_CAPTURE);
    Click(R::IDC_SETTINGS);
    ribbon->OnCommand(R::ID_ABOUT);
    ASSERT_FALSE(RibbonWindows::About().IsEmpty());
    ribbon->DestroyWindow();
    EXPECT_TRUE(RibbonWindows::Capture().IsEmpty());
    EXPECT_TRUE(RibbonWindows::Settings().IsEmpty());
    EXPECT_TRUE(RibbonWindows::About().IsEmpty());
    EXPECT_EQ(ribbon->TrayIcon(), nullptr);
    Pump();
}

TEST_F(RibbonFixture, UpdateChecksRunAfterTwoMinutesThenHourly) {
    Open();
    EXPECT_TRUE(ribbon->IsTimerRunning(R::kUpdateTimer));
    timers.Advance(R::kUpdateFirstMs);
    const std::string first = CVidoraSettings::GetCheckUpdatesLastRun();
    // The next one is an hour later, not two minutes.
    timers.Advance(R::kUpdateFirstMs);
    EXPECT_EQ(CVidoraSettings::GetCheckUpdatesLastRun(), first);
    EXPECT_TRUE(ribbon->IsTimerRunning(R::kUpdateTimer));
}

} // namespace
