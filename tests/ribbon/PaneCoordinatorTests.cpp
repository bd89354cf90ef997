// The windows the ribbon opens, without the ribbon: one docked pane at a time however a pane is opened,
// the pane buttons' toggle, and closing or destroying everything.
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
        // A stand-in for the ribbon for the panes to dock beside.
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
    QWidget host;
    CPaneCoordinator panes;
};

TEST_F(PaneCoordinatorTest, OneDockedPaneAtATimeWhetherByButtonOrByOpening) {
    for (Pane first : kPanes) {
        for (Pane second : kPanes) {
            if (first == second)
                continue;
            for (bool byButton : {true, false}) {
                panes.Toggle(first);
                ASSERT_NE(CPaneCoordinator::Window(first), nullptr);
                ASSERT_TRUE(CPaneCoordinator::Window(first)->IsDocked());
                byButton ? panes.Toggle(second) : panes.Open(second);
                EXPECT_EQ(OpenPanes(), std::vector<Pane>{second})
                    << static_cast<int>(first) << " then " << static_cast<int>(second) << " by button "
                    << byButton;
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
    EXPECT_EQ(RibbonWindows::Settings().Get(), settings);
    EXPECT_FALSE(settings->isMinimized());
    EXPECT_TRUE(settings->isVisible());
    // Opening never closes it, docked or not.
    panes.Open(Pane::Settings);
    EXPECT_EQ(RibbonWindows::Settings().Get(), settings);
    // A floating pane stays beside the newly opened docked one.
    panes.Toggle(Pane::Communicate);
    EXPECT_EQ(OpenPanes(), (std::vector<Pane>{Pane::Settings, Pane::Communicate}));
}

TEST_F(PaneCoordinatorTest, PanesSharingTheCameraTakeTheCameraControlWindowAway) {
    for (Pane pane : kPanes) {
        RibbonWindows::CameraControl() = new CMSNCameraControlDlg(nullptr);
        RibbonWindows::CameraControl()->SetDeleteOnDestroy(true);
        ASSERT_TRUE(RibbonWindows::CameraControl()->Create(nullptr));
        panes.Toggle(pane);
        EXPECT_EQ(RibbonWindows::CameraControl().IsEmpty(), pane != Pane::Communicate)
            << static_cast<int>(pane);
        panes.DestroyAll();
    }
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
    EXPECT_TRUE(RibbonWindows::Capture().IsEmpty()) << "closing destroys the capture window";
    EXPECT_FALSE(RibbonWindows::Mirror()->isVisible());
    EXPECT_TRUE(OpenPanes().empty());
    EXPECT_FALSE(RibbonWindows::About().IsEmpty()) << "the about box shows no camera";

    panes.OpenCapture();
    panes.OpenHelp();
    panes.OpenShutterSwitch();
    panes.Toggle(Pane::Settings);
    panes.DestroyAll();
    EXPECT_TRUE(RibbonWindows::Capture().IsEmpty());
    EXPECT_TRUE(RibbonWindows::Help().IsEmpty());
    EXPECT_TRUE(RibbonWindows::About().IsEmpty());
    EXPECT_TRUE(RibbonWindows::ShutterSwitch().IsEmpty());
    EXPECT_TRUE(OpenPanes().empty());

    // A switched camera reopens the capture window and closes the effects pane.
    panes.OpenCapture();
    QPointer<CSnapDeskDlg> before = RibbonWindows::Capture().Get();
    panes.Toggle(Pane::Effects);
    panes.OnCameraSwitched();
    Pump();
    EXPECT_TRUE(before.isNull()) << "the old capture window is gone";
    EXPECT_FALSE(RibbonWindows::Capture().IsEmpty());
    EXPECT_TRUE(OpenPanes().empty());
}

TEST_F(PaneCoordinatorTest, LosingTheActivationClosesDockedPanesUnlessAModalDialogTookIt) {
    panes.Toggle(Pane::Settings);
    QPointer<CMainSettingsDlg> settings = RibbonWindows::Settings().Get();
    ASSERT_FALSE(settings.isNull());
    {
        // A modal dialog of the program (a folder picker, a portal's stand-in) is up.
        QDialog modal;
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
