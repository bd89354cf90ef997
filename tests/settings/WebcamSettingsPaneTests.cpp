// The webcam pane on the simulated full camera: what it reads, what the user's moves write, how it follows
// changes made elsewhere, and putting the camera's defaults back.
#include "platform/CNamedEvent.h"
#include "tests/settings/SettingsFixture.h"

namespace {

namespace Cam = DeviceProperty::Camera;
using Pane = CWebcamSettingsPaneDlg;

class WebcamPaneTest : public SettingsTest {
protected:
    void OpenOn(const std::vector<std::string>& features) {
        Plug("full", features);
        OpenSettings();
        ASSERT_NE(CWebcamSettingsPaneDlg::Current(), nullptr);
    }
};

TEST_F(WebcamPaneTest, ReadsTheCameraIntoEveryControl) {
    OpenOn(FullFeatures());
    // The simulated camera: brightness 0..255 at 128, white balance 2800..6500 under automatic control,
    // zoom 100..400 at 100, focus 0..250 in steps of 5 at 100, automatic.
    EXPECT_EQ(Slider(Pane::kLevelASlider)->GetRangeMax(), 255);
    EXPECT_EQ(Slider(Pane::kLevelASlider)->GetPos(), 128);
    EXPECT_EQ(Slider(Pane::kLevelASlider)->GetLineSize(), 2);
    EXPECT_EQ(Slider(Pane::kLevelDSlider)->GetLineSize(), 37);
    EXPECT_TRUE(Button(Pane::kAutoWhiteBalance)->isChecked());
    EXPECT_FALSE(Enabled(Pane::kLevelDSlider));
    EXPECT_FALSE(Enabled(Pane::kLevelDCaption));
    EXPECT_TRUE(Enabled(Pane::kLevelASlider));

    EXPECT_EQ(Slider(Pane::kZoomSlider)->GetRangeMin(), -150);
    EXPECT_EQ(Slider(Pane::kZoomSlider)->GetRangeMax(), 150);
    EXPECT_EQ(Slider(Pane::kZoomSlider)->GetPos(), 150);
    EXPECT_TRUE(Enabled(Pane::kZoomSlider));
    EXPECT_TRUE(Enabled(Pane::kPanTilt));

    EXPECT_TRUE(Button(Pane::kFaceOff)->isChecked());
    EXPECT_TRUE(Shown(Pane::kFaceMulti));
    EXPECT_TRUE(Button(Pane::kFocusAuto)->isChecked());
    EXPECT_FALSE(Enabled(Pane::kFocusSlider));
    EXPECT_EQ(Slider(Pane::kFocusSlider)->GetRangeMax(), 50);
    EXPECT_EQ(Slider(Pane::kFocusSlider)->GetPos(), 30);
    EXPECT_TRUE(Shown(Pane::kSunTuneHint));
}

TEST_F(WebcamPaneTest, UserMovesWriteTheCamera) {
    OpenOn(FullFeatures());
    MoveSlider(Pane::kLevelBSlider, 200);
    EXPECT_EQ(CameraValue(Cam::Contrast.value), 200);
    MoveSlider(Pane::kZoomSlider, -150);
    EXPECT_EQ(CameraValue(Cam::Zoom.value), 400);
    MoveSlider(Pane::kZoomSlider, 0);
    EXPECT_EQ(CameraValue(Cam::Zoom.value), 250);

    Click(Pane::kAutoWhiteBalance);
    EXPECT_EQ(CameraValue(Cam::AutoWhiteBalance.value), 0);
    EXPECT_TRUE(Enabled(Pane::kLevelDSlider));
    MoveSlider(Pane::kLevelDSlider, 5000);
    EXPECT_EQ(CameraValue(Cam::WhiteBalance.value), 5000);

    Click(Pane::kLowLightBoost);
    EXPECT_EQ(CameraValue(Cam::LowLightBoost.value), 1);
    Click(Pane::kColorBoost);
    EXPECT_EQ(CameraValue(Cam::ColorBoost.value), 1);

    // Manual focus writes the minimum, then follows the slider.
    Click(Pane::kFocusManual);
    EXPECT_EQ(CameraValue(Cam::AutoFocus.value), 0);
    EXPECT_EQ(CameraValue(Cam::Focus.value), 0);
    EXPECT_TRUE(Enabled(Pane::kFocusSlider));
    MoveSlider(Pane::kFocusSlider, 10);
    EXPECT_EQ(CameraValue(Cam::Focus.value), 200);
    Click(Pane::kFocusAuto);
    EXPECT_NE(CameraValue(Cam::AutoFocus.value), 0);
    EXPECT_FALSE(Enabled(Pane::kFocusSlider));
}

TEST_F(WebcamPaneTest, ControlsFollowChangesMadeElsewhere) {
    OpenOn(FullFeatures());
    ChangeOnCamera(Cam::Brightness.value, 40);
    ASSERT_TRUE(PumpUntil([&] { return Slider(Pane::kLevelASlider)->GetPos() == 40; }));
    EXPECT_EQ(CameraValue(Cam::Brightness.value), 40);

    ChangeOnCamera(Cam::Zoom.value, 400);
    ASSERT_TRUE(PumpUntil([&] { return Slider(Pane::kZoomSlider)->GetPos() == -150; }));
    EXPECT_EQ(CameraValue(Cam::Zoom.value), 400);

    ChangeOnCamera(Cam::AutoWhiteBalance.value, 0);
    ASSERT_TRUE(PumpUntil([&] { return !Button(Pane::kAutoWhiteBalance)->isChecked(); }));
    EXPECT_TRUE(Enabled(Pane::kLevelDSlider));

    ChangeOnCamera(Cam::AutoFocus.value, 0);
    ASSERT_TRUE(PumpUntil([&] { return Button(Pane::kFocusManual)->isChecked(); }));
    EXPECT_TRUE(Enabled(Pane::kFocusSlider));
    ChangeOnCamera(Cam::Focus.value, 250);
    EXPECT_TRUE(PumpUntil([&] { return Slider(Pane::kFocusSlider)->GetPos() == 0; }));

    ChangeOnCamera(Cam::ColorBoost.value, 1);
    EXPECT_TRUE(PumpUntil([&] { return Button(Pane::kColorBoost)->isChecked(); }));
}

TEST_F(WebcamPaneTest, FaceTrackingIsToldToOtherProgramsOnlyOnceWrittenAndOffZoomsAllTheWayOut) {
    CNamedEvent any, single;
    OpenOn(FullFeatures());
    ASSERT_TRUE(any.Create(CVidoraNamedEvents::Name(CVidoraNamedEvents::FaceTracking), false, false));
    ASSERT_TRUE(
        single.Create(CVidoraNamedEvents::Name(CVidoraNamedEvents::FaceTrackingSingle), false, false));
    MoveSlider(Pane::kZoomSlider, -150);
    // A failed write keeps the buttons as they were.
    hardware->Failures().Fail(15); // every camera write
    Click(Pane::kFaceSingle);
    EXPECT_TRUE(Button(Pane::kFaceOff)->isChecked());
    EXPECT_FALSE(Button(Pane::kFaceSingle)->isChecked());
    hardware->Failures().ClearAll();
    EXPECT_EQ(CameraValue(Cam::FaceTracking.value), 0);
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

TEST_F(WebcamPaneTest, ALargePhotoSizeTakesAwayPanTiltAndFaceTrackingWhenNotShared) {
    CVidoraSettings::SetSnapDeskCaptureXRes(1280);
    CVidoraSettings::SetSnapDeskCaptureYRes(960);
    OpenOn(FullFeatures());
    facade->SetSharedState(0);
    Pane()->Refresh();
    EXPECT_TRUE(Enabled(Pane::kZoomSlider));
    EXPECT_FALSE(Enabled(Pane::kPanTilt));
    EXPECT_FALSE(Enabled(Pane::kFaceSingle));

    // A smaller size chosen in the capture window reaches the pane through the ribbon's refresh.
    CVidoraSettings::SetSnapDeskCaptureXRes(640);
    CVidoraSettings::SetSnapDeskCaptureYRes(480);
    Pane()->PostMessage(Pane::kRefreshMessage);
    Settle();
    EXPECT_TRUE(Enabled(Pane::kPanTilt));
    EXPECT_TRUE(Enabled(Pane::kFaceSingle));
}

TEST_F(WebcamPaneTest, RestoreDefaultsPutsTheCameraBack) {
    OpenOn(FullFeatures());
    MoveSlider(Pane::kLevelASlider, 10);
    MoveSlider(Pane::kLevelCSlider, 200);
    MoveSlider(Pane::kZoomSlider, -150);
    Click(Pane::kFaceMulti);
    Click(Pane::kLowLightBoost);
    Click(Pane::kFocusManual);
    // White balance is under automatic control by default: its level is left as it is.
    ChangeOnCamera(Cam::WhiteBalance.value, 6000);
    Settle();

    Click(Pane::kRestoreDefaults);
    EXPECT_EQ(CameraValue(Cam::Brightness.value), 128);
    EXPECT_EQ(CameraValue(Cam::Saturation.value), 32);
    EXPECT_EQ(CameraValue(Cam::Zoom.value), 100);
    EXPECT_EQ(CameraValue(Cam::FaceTracking.value), 0);
    EXPECT_EQ(CameraValue(Cam::LowLightBoost.value), 0);
    EXPECT_NE(CameraValue(Cam::AutoFocus.value), 0);
    EXPECT_NE(CameraValue(Cam::AutoWhiteBalance.value), 0);
    EXPECT_EQ(CameraValue(Cam::WhiteBalance.value), 6000);

    EXPECT_EQ(Slider(Pane::kLevelASlider)->GetPos(), 128);
    EXPECT_EQ(Slider(Pane::kZoomSlider)->GetPos(), 150);
    EXPECT_TRUE(Button(Pane::kFaceOff)->isChecked());
    EXPECT_TRUE(Button(Pane::kFocusAuto)->isChecked());
    EXPECT_FALSE(Enabled(Pane::kLevelDSlider));
}

TEST_F(WebcamPaneTest, GroupsNoCameraOfferedAreHiddenAndTheRestMovesUp) {
    OpenOn({"LowLightBoost"});
    const int fullHeight = 500;
    EXPECT_FALSE(Shown(Pane::kZoomSlider));
    EXPECT_FALSE(Shown(Pane::kPanTilt));
    EXPECT_FALSE(Shown(Pane::kFaceSingle));
    EXPECT_FALSE(Shown(Pane::kFocusAuto));
    EXPECT_FALSE(Shown(Pane::kFocusSlider));
    EXPECT_FALSE(Shown(Pane::kColorBoost));
    ASSERT_TRUE(Shown(Pane::kLowLightBoost));
    // Low-light boost moves up to just below the picture levels.
    EXPECT_EQ(Pane()->GetDlgItem(Pane::kLowLightBoost)->y(), 150 + 2);
    EXPECT_EQ(Pane()->height(), fullHeight - (376 - 150) - (428 - 402));
    // Without the feature recorded, several faces is not offered even when the camera has it.
    EXPECT_FALSE(Shown(Pane::kFaceMulti));
}

} // namespace
