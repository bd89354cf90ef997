// The capture of a real camera shows the privacy shade while the device service keeps that camera muted:
// the capture finds the camera's mute by its path, which names the camera as the service's id does.
#include "granite/capture/CVideoCapture.h"
#include "granite/v4l2/CV4l2ShadeStates.h"

#include <gtest/gtest.h>

using namespace Granite;

TEST(RealCameraShade, FollowsTheMuteOfTheCameraItsPathNames) {
    CameraInfo real;
    real.kind = CameraInfo::Kind::V4l2;
    real.devnode = "/dev/video3";
    real.devicePath = "\\\\?\\usb#vid_046d&pid_0825&mi_00#sn-CAFE42\\/dev/video3";
    CameraInfo other = real;
    other.devicePath = "\\\\?\\usb#vid_046d&pid_0825&mi_00#sn-BEEF01\\/dev/video5";
    const CEffectsStage::ShadeQuery shaded = CVideoCapture::RealCameraShade(real);
    const CEffectsStage::ShadeQuery otherShaded = CVideoCapture::RealCameraShade(other);
    ASSERT_TRUE(shaded && otherShaded);

    // The service's id of the camera, in the case sysfs gave it.
    CV4l2ShadeStates::Flag muted =
        CV4l2ShadeStates::Process().FlagOf("\\\\?\\usb#vid_046d&pid_0825&mi_00#SN-CAFE42\\v4l2");
    EXPECT_FALSE(shaded());
    muted->store(true);
    EXPECT_TRUE(shaded());
    EXPECT_FALSE(otherShaded());
    muted->store(false);
    EXPECT_FALSE(shaded());

    // A simulated camera's source says itself whether it is shaded.
    EXPECT_FALSE(CVideoCapture::RealCameraShade(CameraInfo{}));
}
