// The display, the camera enumerator, and how real cameras are named and find their mute.
#include "CaptureFixture.h"
#include "granite/capture/CV4l2Camera.h"
#include "granite/capture/CVideoDisplay.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "granite/v4l2/CV4l2ShadeStates.h"
#include "granite/v4l2/CV4l2SysfsCamera.h"
#include "platform/CObjectFactory.h"
#include "services/CDeviceLists.h"

using namespace Granite;

// Logs the size of every frame the display presents ("bad" for one without its pixels).
struct CRecordingSurface : IVideoSurface, CEventLog<std::string> {
    void PresentFrame(const VideoRect&, const VideoFrame& f) override {
        const bool ok = f.pixels != nullptr && f.stride >= f.width * 4;
        Add(ok ? std::to_string(f.width) + "x" + std::to_string(f.height) : "bad");
    }
};

class DisplayAndEnumerator : public CaptureFixture {};

TEST_F(DisplayAndEnumerator, DisplayPresentsFramesOfTheRectangleAndNothingWhilePausedOrAfterDetach) {
    RefPtr<IVideoCapture> capture = Open(0);
    CFrameCollector clock;
    Frames(capture.get())->AddFrameListener(&clock);
    RefPtr<IVideoDisplay> display(CVideoDisplay::Create());
    CRecordingSurface surface;
    EXPECT_EQ(display->attach(nullptr, -1, {0, 0, 10, 10}, capture.get()), E_POINTER);
    ASSERT_EQ(display->attach(&surface, -1, {10, 20, 200, 150}, capture.get()), S_OK);
    ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
    ASSERT_EQ(capture->start(), S_OK);
    clock.Next(3);
    ASSERT_FALSE(surface.Events().empty());
    EXPECT_EQ(surface.Events().back(), "200x150");
    ASSERT_EQ(display->setPosition({0, 0, 96, 64}), S_OK);
    clock.Next(3);
    EXPECT_EQ(surface.Events().back(), "96x64");
    ASSERT_EQ(display->pauseDuringMove(1), S_OK);
    clock.Next(1);
    size_t held = surface.Events().size();
    clock.Next(3);
    EXPECT_EQ(surface.Events().size(), held);
    ASSERT_EQ(display->pauseDuringMove(0), S_OK);
    clock.Next(3);
    EXPECT_GT(surface.Events().size(), held);
    ASSERT_EQ(display->detach(), S_OK);
    held = surface.Events().size();
    clock.Next(3);
    EXPECT_EQ(surface.Events().size(), held);
    capture->stop();
    Frames(capture.get())->RemoveFrameListener(&clock);
}

TEST_F(DisplayAndEnumerator, EnumeratorListsSimulatedCamerasFirstAndOpensThemByPath) {
    RegisterGraniteCaptureObjects();
    ICameraEnumerator* raw = nullptr;
    ASSERT_EQ(CObjectFactory::Instance().Create(CLSID_CameraEnumerator, IID_ICameraEnumerator, &raw), S_OK);
    RefPtr<ICameraEnumerator> cameras(raw);
    int32_t n = 0;
    ASSERT_EQ(cameras->count(&n), S_OK);
    ASSERT_GE(n, 2);
    std::string name, path;
    for (int32_t i = 0; i < 2; ++i) {
        ASSERT_EQ(cameras->item(i, &name, &path), S_OK);
        EXPECT_EQ(path, CameraId(i));
    }
    EXPECT_EQ(cameras->item(n, &name, &path), E_INVALIDARG);
    EXPECT_EQ(cameras->item(-1, &name, &path), E_INVALIDARG);
    IVideoCapture* capture = nullptr;
    EXPECT_EQ(cameras->createCapture("\\\\?\\usb#vid_dead&pid_beef&mi_00#9&v4l2\\/dev/video99", &capture),
              E_FAIL);
    EXPECT_EQ(capture, nullptr);
    // Made directly, a capture opens the camera in use.
    ASSERT_EQ(hardware->Attach(CSimulatedHardware::NewClientId(), CameraId(1)), S_OK);
    IVideoCapture* direct = nullptr;
    ASSERT_EQ(CObjectFactory::Instance().Create(CLSID_VideoCapture, IID_IVideoCapture, &direct), S_OK);
    RefPtr<IVideoCapture> directRef(direct);
    ASSERT_EQ(direct->devicePath(&path), S_OK);
    EXPECT_EQ(path, CameraId(1));
    UnregisterGraniteCaptureObjects();
}

TEST_F(DisplayAndEnumerator, RealCameraPathsNameTheDeviceAsTheDeviceServiceDoesWhateverItsNode) {
    // A sysfs tree as the kernel lays it out: the video device's "device" is the USB interface, whose
    // parent holds the ids and the serial number.
    namespace fs = std::filesystem;
    const fs::path sys = Path("sys"), usb = sys / "devices/usb1/1-2",
                   node = usb / "1-2:1.0/video4linux/video2";
    fs::create_directories(node);
    fs::create_directories(sys / "class/video4linux");
    std::ofstream(usb / "idVendor") << "046d\n";
    std::ofstream(usb / "idProduct") << "08E5\n";
    std::ofstream(usb / "serial") << "CAFE42\n";
    fs::create_directory_symlink(usb / "1-2:1.0", node / "device");
    fs::create_directory_symlink(node, sys / "class/video4linux/video2");
    V4l2SysfsCamera described;
    ASSERT_TRUE(CV4l2SysfsCamera::Read(sys, "video2", described));
    const std::string real = CV4l2Camera::PathOf(sys, "/dev/video2", 3);
    EXPECT_TRUE(CDeviceLists::SameDevice(real, described.id)) << real << " / " << described.id;
    EXPECT_EQ(CV4l2Camera::DevnodeOf(real), "/dev/video2");
    // A node sysfs does not describe keeps the numbered path; a simulated camera's path names no node.
    EXPECT_EQ(CV4l2Camera::PathOf(sys, "/dev/video7", 4),
              "\\\\?\\usb#vid_0000&pid_0000&mi_00#4&v4l2\\/dev/video7");
    EXPECT_EQ(CV4l2Camera::DevnodeOf(CameraId(0)), "");
}

// A real camera's capture finds the device service's mute by its path, which names the camera as the id does.
TEST(RealCameraShade, FollowsTheMuteOfTheCameraItsPathNames) {
    CameraInfo real;
    real.kind = CameraInfo::Kind::V4l2;
    real.devnode = "/dev/video3";
    real.devicePath = "\\\\?\\usb#vid_046d&pid_0825&mi_00#sn-CAFE42\\/dev/video3";
    CameraInfo other = real;
    other.devicePath = "\\\\?\\usb#vid_046d&pid_0825&mi_00#sn-BEEF01\\/dev/video5";
    const CEffectsStage::ShadeQuery shaded = CVideoCapture::RealCameraShade(real),
                                    otherShaded = CVideoCapture::RealCameraShade(other);
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
