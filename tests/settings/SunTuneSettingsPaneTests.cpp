// The SunTune tab on the simulated full camera: the toggle and the mode it picks, the levels that are the
// user's only while SunTune is off, following changes made elsewhere, and the defaults.
#include "SunTuneFixture.h"
#include "settings/CSunTuneSettingsPaneDlg.h"

namespace {

using Pane = CSunTuneSettingsPaneDlg;
namespace Cam = Granite::CamProp;

class SunTunePaneTest : public SunTuneTest {
protected:
    void SetUp() override {
        SunTuneTest::SetUp();
        OpenSettings();
        settings->SelectTab(CMainSettingsDlg::Tab::SunTune);
        Settle();
        ASSERT_NE(Pane::Current(), nullptr);
    }
    QWidget* Item(int id) const { return Pane::Current()->GetDlgItem(id); }
    CTransparentSliderCtrl* Level(int id) const {
        return Pane::Current()->GetDlgItemAs<CTransparentSliderCtrl>(id);
    }
    QAbstractButton* Toggle() const { return Pane::Current()->GetDlgItemAs<QAbstractButton>(Pane::kToggle); }
    bool LevelsEnabled() const {
        for (int id : {Pane::kLevelASlider, Pane::kLevelBSlider, Pane::kLevelCSlider, Pane::kLevelDSlider,
                       Pane::kLevelACaption, Pane::kLevelDCaption}) {
            if (!Item(id)->isEnabled())
                return false;
        }
        return true;
    }
    void ExpectShowsOn(bool on) {
        EXPECT_EQ(Toggle()->isChecked(), on);
        EXPECT_EQ(Toggle()->toolTip().toStdString(),
                  CDialogBase::LoadString(on ? Pane::kTipOn : Pane::kTipOff));
        EXPECT_EQ(LevelsEnabled(), !on);
    }
    void MoveLevel(int id, int32_t position) {
        Level(id)->SetPos(position);
        Pane::Current()->SendMessage(WM_HSCROLL, MAKEWPARAM(ControlsNotify::SB_THUMBPOSITION, 0),
                                     reinterpret_cast<LPARAM>(static_cast<QWidget*>(Level(id))));
    }
};

TEST_F(SunTunePaneTest, TheToggleSwitchesTheCameraAndPicksTheUsersMode) {
    // The camera comes in its default mode: on, the levels the camera's own and shown at 0.
    ExpectShowsOn(true);
    EXPECT_EQ(Level(Pane::kLevelBSlider)->GetPos(), 0);
    facade->SetVideoDeviceValue(camera, CSunTuneRules::kReturnToDefault, 1);

    Toggle()->click();
    EXPECT_EQ(Mode(), 0);
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 0u);
    EXPECT_EQ(StreamValue(CSunTuneRules::kReturnToDefault), 0) << "the user's choice outlasts the stream";
    ExpectShowsOn(false);
    EXPECT_EQ(Level(Pane::kLevelBSlider)->GetRangeMax(), 100);
    EXPECT_EQ(Level(Pane::kLevelBSlider)->GetPos(), 50);
    MoveLevel(Pane::kLevelCSlider, 70);
    EXPECT_EQ(CameraValue(Cam::SunTuneC), 70);

    // On again: back to the mode before, unless the user once said "always".
    Toggle()->click();
    EXPECT_EQ(Mode(), 5);
    ExpectShowsOn(true);
    CVidoraSettings::SetSTOption(kName, 0);
    Toggle()->click();
    Toggle()->click();
    EXPECT_EQ(Mode(), 10);
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 10u);
    ExpectShowsOn(true);
}

TEST_F(SunTunePaneTest, FollowsChangesMadeElsewhere) {
    SetMode(0);
    ASSERT_TRUE(PumpUntil([&] { return !Toggle()->isChecked(); }));
    ExpectShowsOn(false);
    SetOnCamera(Cam::SunTuneA, 20);
    ASSERT_TRUE(PumpUntil([&] { return Level(Pane::kLevelASlider)->GetPos() == 20; }));

    // The notification's answer, announced by the facade.
    facade->SetSunTuneModeOf(camera, 10);
    facade->FireSeverityChanged(camera, 10, 0);
    ASSERT_TRUE(PumpUntil([&] { return Toggle()->isChecked(); }));
    ExpectShowsOn(true);

    SetMode(5);
    ASSERT_TRUE(PumpUntil([&] { return Level(Pane::kLevelASlider)->GetPos() == 0; }));
    SetOnCamera(Cam::SunTuneA, 30);
    EXPECT_FALSE(PumpUntil([&] { return Level(Pane::kLevelASlider)->GetPos() != 0; }, 300))
        << "in the default mode the levels rest at 0";
}

TEST_F(SunTunePaneTest, RestoreDefaultsPutsBackTheModeAndTheLevels) {
    Toggle()->click();
    MoveLevel(Pane::kLevelDSlider, 90);
    Pane::Current()->GetDlgItemAs<QAbstractButton>(Pane::kRestoreDefaults)->click();
    EXPECT_EQ(Mode(), 5);
    EXPECT_EQ(CameraValue(Cam::SunTuneD), 50);
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 5u);
    ExpectShowsOn(true);
}

TEST_F(SunTunePaneTest, ACameraWithoutSunTuneOffersNothingToSwitch) {
    // The tab stays reachable once any camera offered SunTune; this one does not.
    std::string basic;
    ASSERT_EQ(hardware->Plug(Granite::DeviceKind::Camera, "basic", &basic), S_OK);
    ASSERT_EQ(facade->RefreshVideoDevices(), S_OK);
    ASSERT_EQ(facade->SelectVideoDevice(1), S_OK);
    Pane::Current()->Refresh();
    EXPECT_FALSE(Toggle()->isEnabled());
    EXPECT_FALSE(Item(Pane::kLevelASlider)->isEnabled());
    EXPECT_FALSE(Item(Pane::kRestoreDefaults)->isEnabled());
    Toggle()->click(); // a disabled button takes no click
    EXPECT_EQ(Mode(), 5) << "the other camera is left alone";
}

} // namespace
