// The windows the ribbon opens, without the ribbon: one docked pane at a time, toggles, closing all.
#include "capture/CSnapDeskDlg.h"
#include "capture/CaptureControlsRegistration.h"
#include "communicate/CCommunicateDlg.h"
#include "effects/CVideoEffectsDialog.h"
#include "privacy/CPrivacyShadeDialog.h"
#include "ribbon/CMSNCameraControlDlg.h"
#include "ribbon/CMirrorModeDlg.h"
#include "ribbon/CPaneCoordinator.h"
#include "ribbon/RibbonWindows.h"
#include "settings/CMainSettingsDlg.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"
#include "ui/CAttachablePane.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsRegistration.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using Pane = CPaneCoordinator::Pane;
constexpr Pane kPanes[] = {Pane::Settings, Pane::Effects, Pane::Shade, Pane::Communicate};

class PaneCoordinatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterToolkitControls();
        RegisterCaptureControls();
        CVidoraSkin::SetAnimationsEnabled(false);
        host.setGeometry(700, 100, 63, 400);
        host.show();
        CAttachablePane::SetDockHost(&host);
    }
    void TearDown() override {
        panes.DestroyAll();
        Pump();
        CAttachablePane::SetDockHost(nullptr);
    }
    static std::vector<Pane> OpenPanes() {
        std::vector<Pane> open;
        for (Pane pane : kPanes) {
            if (CPaneCoordinator::Window(pane) != nullptr)
                open.push_back(pane);
        }
        return open;
    }
    CTempEnvironment env;
    QWidget host; // the ribbon's stand-in
    CPaneCoordinator panes;
};

// One docked pane at a time, whether opened by its button or otherwise; each button but the communicate
// pane's opens a pane that shares the camera and takes the camera control window away.
TEST_F(PaneCoordinatorTest, OneDockedPaneAtATimeWhetherByButtonOrByOpening) {
    for (Pane first : kPanes) {
        for (Pane second : kPanes) {
            for (bool byButton : {true, false}) {
                if (first == second)
                    continue;
                SCOPED_TRACE(testing::Message()
                             << int(first) << " then " << int(second) << " by button " << byButton);
                panes.Toggle(first);
                ASSERT_TRUE(CPaneCoordinator::Window(first) && CPaneCoordinator::Window(first)->IsDocked());
                RibbonWindows::CameraControl() = new CMSNCameraControlDlg(nullptr);
                RibbonWindows::CameraControl()->SetDeleteOnDestroy(true);
                ASSERT_TRUE(RibbonWindows::CameraControl()->Create(nullptr));
                byButton ? panes.Toggle(second) : panes.Open(second);
                EXPECT_EQ(OpenPanes(), std::vector<Pane>{second});
                if (byButton) {
                    EXPECT_EQ(RibbonWindows::CameraControl().IsEmpty(), second != Pane::Communicate);
                }
                panes.DestroyAll();
            }
        }
    }
}

TEST_F(PaneCoordinatorTest, TheButtonClosesItsDockedPaneAndBringsBackAFloatingOne) {
    panes.Toggle(Pane::Settings);
    panes.Toggle(Pane::Settings);
    EXPECT_TRUE(RibbonWindows::Settings().IsEmpty());
    panes.Toggle(Pane::Settings);
    CMainSettingsDlg* settings = RibbonWindows::Settings().Get();
    ASSERT_NE(settings, nullptr);
    settings->Undock();
    settings->showMinimized();
    panes.Toggle(Pane::Settings);
    panes.Open(Pane::Settings);
    EXPECT_EQ(RibbonWindows::Settings().Get(), settings);
    EXPECT_FALSE(settings->isMinimized());
    EXPECT_TRUE(settings->isVisible());
    panes.Toggle(Pane::Communicate);
    EXPECT_EQ(OpenPanes(), (std::vector<Pane>{Pane::Settings, Pane::Communicate}));
}

TEST_F(PaneCoordinatorTest, CloseAllDestroyAllAndACameraSwitchTakeTheirWindows) {
    panes.OpenCapture();
    panes.OpenMirror();
    panes.OpenAbout();
    panes.Toggle(Pane::Effects);
    CAttachablePane* effects = CPaneCoordinator::Window(Pane::Effects);
    panes.CloseAll();
    EXPECT_TRUE(effects->IsClosedByRibbon());
    Pump();
    EXPECT_TRUE(RibbonWindows::Capture().IsEmpty());
    EXPECT_FALSE(RibbonWindows::Mirror()->isVisible());
    EXPECT_TRUE(OpenPanes().empty());
    EXPECT_FALSE(RibbonWindows::About().IsEmpty());
    panes.OpenHelp();
    panes.OpenShutterSwitch();
    panes.DestroyAll();
    EXPECT_TRUE(RibbonWindows::Help().IsEmpty());
    EXPECT_TRUE(RibbonWindows::About().IsEmpty());
    EXPECT_TRUE(RibbonWindows::ShutterSwitch().IsEmpty());
    panes.OpenCapture();
    QPointer<CSnapDeskDlg> before = RibbonWindows::Capture().Get();
    panes.Toggle(Pane::Effects);
    panes.OnCameraSwitched();
    Pump();
    EXPECT_TRUE(before.isNull());
    EXPECT_FALSE(RibbonWindows::Capture().IsEmpty());
    EXPECT_TRUE(OpenPanes().empty());
}

TEST_F(PaneCoordinatorTest, LosingTheActivationClosesDockedPanesUnlessAModalDialogTookIt) {
    panes.Toggle(Pane::Settings);
    QPointer<CMainSettingsDlg> settings = RibbonWindows::Settings().Get();
    ASSERT_FALSE(settings.isNull());
    {
        QDialog modal; // the program's own, a folder picker or a portal's stand-in
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        panes.OnApplicationDeactivated();
        DrainEvents();
        EXPECT_FALSE(RibbonWindows::Settings().IsEmpty());
    }
    panes.OnApplicationDeactivated();
    DrainEvents();
    EXPECT_TRUE(RibbonWindows::Settings().IsEmpty());
}

} // namespace
