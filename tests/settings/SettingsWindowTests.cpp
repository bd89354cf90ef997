// The settings window's tabs and the webcam pane on the simulated full camera: what the pane reads, what the
// user's moves write, how it follows the camera, and putting the camera's defaults back.
#include "platform/CNamedEvent.h"
#include "tests/settings/SettingsFixture.h"
#include "ui/CTransparentImageButton.h"

namespace {

namespace Cam = DeviceProperty::Camera;
using Pane = CWebcamSettingsPaneDlg;

class SettingsWindowTest : public SettingsTest {
protected:
    void OpenOn(const std::vector<std::string>& features) {
        Plug("full", features);
        OpenSettings();
    }
    CTransparentImageButton* TabButton(Tab tab) const {
        return settings->GetDlgItemAs<CTransparentImageButton>(CMainSettingsDlg::TabItem(tab));
    }
    static int PaneCount() {
        return !SettingsPanes::Webcam().IsEmpty() + !SettingsPanes::Audio().IsEmpty() +
               !SettingsPanes::SunTune().IsEmpty() + !SettingsPanes::Advanced().IsEmpty() +
               !SettingsPanes::Preferences().IsEmpty();
    }
};

TEST_F(SettingsWindowTest, OneTabsPaneAtATimeGoneWithTheWindow) {
    OpenOn(FullFeatures());
    // The selected tab clicked again keeps its pane and what it shows.
    CDialogBase* pane = Current();
    Slider(Pane::kLevelASlider)->SetPos(17); // shown, not yet written
    TabButton(Tab::Webcam)->click();
    Settle();
    EXPECT_EQ(Current(), pane);
    EXPECT_EQ(Slider(Pane::kLevelASlider)->GetPos(), 17);
    for (Tab tab : {Tab::Audio, Tab::SunTune, Tab::Advanced, Tab::Preferences}) {
        TabButton(tab)->click();
        Settle();
        EXPECT_EQ(PaneCount(), 1) << static_cast<int>(tab);
        ASSERT_NE(Current(), nullptr);
        EXPECT_TRUE(Current()->isVisible());
        EXPECT_TRUE(TabButton(tab)->IsPressedLook());
        EXPECT_FALSE(TabButton(Tab::Webcam)->IsPressedLook());
    }
    Close();
    EXPECT_EQ(PaneCount(), 0);
}

TEST_F(SettingsWindowTest, WorksWithoutAnyCamera) {
    Plug("", {});
    OpenSettings();
    EXPECT_FALSE(Enabled(Pane::kLevelASlider));
    Click(Pane::kRestoreDefaults);
    Click(Pane::kFaceSingle);
    Settle();
}

TEST_F(SettingsWindowTest, ThePaneReadsTheCameraAndTheUsersMovesWriteIt) {
    OpenOn(FullFeatures());
    // Brightness 0..255 at 128; white balance automatic; zoom 100..400 at 100; focus 0..250 in steps of 5
    // at 100, automatic.
    EXPECT_EQ(Slider(Pane::kLevelASlider)->GetPos(), 128);
    EXPECT_EQ(Slider(Pane::kLevelDSlider)->GetLineSize(), 37); // a hundredth of a wide range
    EXPECT_FALSE(Enabled(Pane::kLevelDSlider));
    EXPECT_EQ(Slider(Pane::kZoomSlider)->GetPos(), 150);
    EXPECT_FALSE(Enabled(Pane::kFocusSlider));
    EXPECT_EQ(Slider(Pane::kFocusSlider)->GetPos(), 30);
    MoveSlider(Pane::kLevelBSlider, 200);
    EXPECT_EQ(CameraValue(Cam::Contrast.value), 200);
    MoveSlider(Pane::kZoomSlider, 0);
    EXPECT_EQ(CameraValue(Cam::Zoom.value), 250);
    Click(Pane::kAutoWhiteBalance);
    EXPECT_EQ(CameraValue(Cam::AutoWhiteBalance.value), 0);
    MoveSlider(Pane::kLevelDSlider, 5000);
    EXPECT_EQ(CameraValue(Cam::WhiteBalance.value), 5000);
    // Manual focus writes the minimum, then follows the slider.
    Click(Pane::kFocusManual);
    EXPECT_EQ(CameraValue(Cam::AutoFocus.value), 0);
    EXPECT_EQ(CameraValue(Cam::Focus.value), 0);
    MoveSlider(Pane::kFocusSlider, 10);
    EXPECT_EQ(CameraValue(Cam::Focus.value), 200);
    Click(Pane::kFocusAuto);
    EXPECT_NE(CameraValue(Cam::AutoFocus.value), 0);
    EXPECT_FALSE(Enabled(Pane::kFocusSlider));
}

TEST_F(SettingsWindowTest, FaceTrackingIsToldToOtherProgramsOnlyOnceWrittenAndOffZoomsAllTheWayOut) {
    CNamedEvent any, single;
    OpenOn(FullFeatures());
    ASSERT_TRUE(any.Create(CVidoraNamedEvents::Name(CVidoraNamedEvents::FaceTracking), false, false));
    ASSERT_TRUE(
        single.Create(CVidoraNamedEvents::Name(CVidoraNamedEvents::FaceTrackingSingle), false, false));
    MoveSlider(Pane::kZoomSlider, -150);
    // A failed write keeps the buttons as they were.
    hardware->Failures().Fail(15); // every camera write
    Click(Pane::kFaceSingle);
    EXPECT_TRUE(Checked(Pane::kFaceOff));
    EXPECT_FALSE(Checked(Pane::kFaceSingle));
    hardware->Failures().ClearAll();
    EXPECT_FALSE(any.IsSet());
    Click(Pane::kFaceSingle);
    EXPECT_EQ(CameraValue(Cam::FaceTracking.value), 1);
    EXPECT_TRUE(PumpUntil([&] { return single.IsSet(); }));
    EXPECT_TRUE(any.IsSet());
    Click(Pane::kFaceOff);
    EXPECT_EQ(CameraValue(Cam::FaceTracking.value), 0);
    EXPECT_EQ(CameraValue(Cam::Zoom.value), 100);
    EXPECT_EQ(Slider(Pane::kZoomSlider)->GetPos(), 150);
}

} // namespace
