// Device lists, the current camera, microphone and speaker, devices plugged in and out, per-camera values.
#include "DeviceManagerTestFixture.h"

namespace {

namespace Cam = DeviceProperty::Camera;

TEST_F(DeviceManagerTest, SelectingACameraTakesItSubscribesItsEventsAndTellsListeners) {
    const auto cams = PlugCameras(2);
    CGraniteDeviceManager& manager = Open();
    RecordingListener listener;
    manager.AddListener(&listener, 7);
    ASSERT_EQ(manager.SelectVideoDevice(0), S_OK);
    ASSERT_EQ(manager.SelectVideoDevice(1), S_OK);
    EXPECT_EQ(InUse(), cams[1]);
    EXPECT_EQ(Seen().mostCamerasHeld, 1u) << "the old camera is let go of before the new one is taken";
    EXPECT_EQ(listener.heard, (Calls{"Selected(7," + cams[0] + ")", "Selected(7," + cams[1] + ")"}));
    // The new camera's own events come through; the old one's no longer do.
    listener.heard.clear();
    ASSERT_EQ(hardware_->RaiseCameraEvent(cams[0], Granite::CamEvent::Button), S_OK);
    ASSERT_EQ(hardware_->RaiseCameraEvent(cams[1], Granite::CamEvent::Button), S_OK);
    ASSERT_TRUE(HearsSoon(listener, "Event1(7)"));
    // The current camera selected again, under another spelling too, changes nothing.
    EXPECT_EQ(manager.SelectVideoDeviceById(OtherSpelling(cams[1])), S_OK);
    EXPECT_EQ(listener.heard, Calls{"Event1(7)"});
    EXPECT_EQ(manager.SelectVideoDeviceById("usb\\cam-z\\video"), E_FAIL);
    int index = -1;
    manager.GetSelectedVideoDeviceIndex(&index);
    EXPECT_EQ(index, 1) << "a refused selection keeps the current camera";
    manager.Release();
    EXPECT_EQ(InUse(), "") << "taken once: one release lets go of it";
}

TEST_F(DeviceManagerTest, CamerasComingAndGoingKeepTheCurrentOneWhileItStays) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera(1);
    RecordingListener listener;
    facade.AddListener(&listener, 3);
    const std::string second = Plug(DeviceKind::Camera, "basic");
    ASSERT_TRUE(HearsSoon(listener, "Arrived(1," + second + ")"));
    EXPECT_EQ(InUse(), cams_[0]) << "a newcomer does not take over";
    // The second one made current, the first one leaves: the current one's place follows the list.
    ASSERT_EQ(facade.SelectVideoDevice(1), S_OK);
    listener.heard.clear();
    ASSERT_EQ(hardware_->Unplug(DeviceKind::Camera, cams_[0]), S_OK);
    ASSERT_TRUE(HearsSoon(listener, "Removed(1," + cams_[0] + "," + second + ")"));
    EXPECT_EQ(listener.heard.size(), 1u) << "nothing else was selected";
    EXPECT_EQ(InUse(), second);
    int index = -1;
    facade.GetSelectedVideoDeviceIndex(&index);
    VideoDeviceInfo info;
    ASSERT_EQ(facade.GetVideoDevice(index, &info), S_OK);
    EXPECT_EQ(info.id, second);
}

TEST_F(DeviceManagerTest, ACurrentCameraGoneBeforeItsRemovalIsHandledIsNotCalledAgain) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera(1);
    RecordingListener listener;
    facade.AddListener(&listener, 4);
    int32_t zoomDuringArrival = 0;
    listener.onCall = [&](const std::string& what) {
        if (what.rfind("Arrived", 0) == 0)
            zoomDuringArrival = facade.GetZoom(&zoomDuringArrival);
    };
    // B arrives and A goes; the arrival is handled first.
    const std::string b = Plug(DeviceKind::Camera, "basic");
    ASSERT_EQ(hardware_->Unplug(DeviceKind::Camera, cams_[0]), S_OK);
    ASSERT_TRUE(HearsSoon(listener, "Removed(1," + cams_[0] + "," + cams_[0] + ")"))
        << "the removal still names A as the camera that was current";
    EXPECT_EQ(zoomDuringArrival, E_FAIL) << "no call may go to a camera that is not there";
    EXPECT_EQ(listener.heard, (Calls{"Arrived(1," + b + ")", "Selected(4," + b + ")",
                                     "Removed(1," + cams_[0] + "," + cams_[0] + ")"}));
    EXPECT_EQ(InUse(), b);
}

// Of two cameras, the current one going makes the other current; of three, any one going leaves none
// current, and the one that was current is not left attached.
class DeviceManagerRemoval : public DeviceManagerTest,
                             public ::testing::WithParamInterface<std::pair<int, size_t>> {};

TEST_P(DeviceManagerRemoval, OfTwoTheOtherBecomesCurrentAndOfThreeNone) {
    const auto [count, removedAt] = GetParam();
    CGraniteDeviceManager& facade = OpenWithCurrentCamera(count);
    const std::string removed = "Removed(1," + cams_[removedAt] + "," + cams_[0] + ")";
    const std::string next = count == 2 ? cams_[1] : "";
    RecordingListener listener;
    facade.AddListener(&listener, 1);
    ASSERT_EQ(hardware_->Unplug(DeviceKind::Camera, cams_[removedAt]), S_OK);
    ASSERT_TRUE(HearsSoon(listener, removed));
    EXPECT_EQ(listener.heard, (next.empty() ? Calls{removed} : Calls{"Selected(1," + next + ")", removed}));
    EXPECT_EQ(InUse(), next);
    int32_t zoom = 0;
    EXPECT_EQ(facade.GetZoom(&zoom), next.empty() ? E_FAIL : S_OK);
    int index = -1;
    facade.GetSelectedVideoDeviceIndex(&index);
    EXPECT_EQ(index, 0);
    if (!next.empty()) {
        ASSERT_EQ(hardware_->RaiseCameraEvent(next, Granite::CamEvent::Reset), S_OK);
        EXPECT_TRUE(HearsSoon(listener, "Event26(1)")) << "the new current camera's events are subscribed";
    }
}

INSTANTIATE_TEST_SUITE_P(CountAndRemoved, DeviceManagerRemoval,
                         ::testing::Values(std::pair(2, 0u), std::pair(3, 0u), std::pair(3, 1u),
                                           std::pair(3, 2u)));

TEST_F(DeviceManagerTest, MicrophonesSpeakersAndHidDevicesFollowArrivalAndRemovalAndAreSelectedByExactId) {
    CGraniteDeviceManager& manager = Open();
    std::string id;
    EXPECT_EQ(manager.GetSelectedMicrophoneId(id), E_FAIL);
    RecordingListener listener;
    manager.AddListener(&listener, 2);
    // The first to arrive becomes current; a second leaves it so.
    const std::string mic1 = Plug(DeviceKind::Microphone);
    ASSERT_TRUE(HearsSoon(listener, "Arrived(2," + mic1 + ")"));
    const std::string mic2 = Plug(DeviceKind::Microphone);
    const std::string speaker = Plug(DeviceKind::Speaker);
    ASSERT_TRUE(HearsSoon(listener, "Arrived(3," + speaker + ")"));
    ASSERT_EQ(manager.GetSelectedMicrophoneId(id), S_OK);
    EXPECT_EQ(id, mic1);
    EXPECT_EQ(manager.SelectMicrophone(1), S_OK);
    EXPECT_EQ(manager.SelectMicrophoneById(Upper(mic1)), E_FAIL) << "microphone ids compare exactly";
    EXPECT_EQ(manager.SelectSpeakerById(speaker), S_OK);
    std::string preferred;
    EXPECT_TRUE(hardware_->Resolve(DeviceKind::Microphone, 0, preferred));
    EXPECT_EQ(preferred, mic2);
    // The current one going makes the other current; a HID device going names no previous device.
    ASSERT_EQ(hardware_->Unplug(DeviceKind::Microphone, mic2), S_OK);
    ASSERT_TRUE(HearsSoon(listener, "Removed(2," + mic2 + "," + mic2 + ")"));
    manager.GetSelectedMicrophoneId(id);
    EXPECT_EQ(id, mic1);
    const std::string hid = Plug(DeviceKind::Hid);
    ASSERT_TRUE(HearsSoon(listener, "Arrived(4," + hid + ")"));
    ASSERT_EQ(hardware_->Unplug(DeviceKind::Hid, hid), S_OK);
    manager.OnDeviceRemoved(99, "bogus"); // unknown kinds are ignored
    ASSERT_TRUE(HearsSoon(listener, "Removed(4," + hid + ",)"));
    EXPECT_EQ(listener.heard.back(), "Removed(4," + hid + ",)");
}

TEST_F(DeviceManagerTest, SameDeviceMeansEqualIgnoringCaseOrEqualUpToTheLastBackslash) {
    CGraniteDeviceManager& manager = Open();
    const struct {
        const char *a, *b;
        bool same;
    } cases[] = {
        {"usb\\cam-a\\video", "USB\\CAM-A\\VIDEO", true},
        {"usb\\cam-a\\video", "usb\\cam-a\\still", true},
        {"usb\\cam-a\\video", "usb\\cam-b\\video", false},
        {"camera", "CAMERA", true},
        {"camera", "camera2", false},
        {"usb\\cam-a", "usb\\cam-a\\x", false},
        {"\\one", "\\two", false},
        {"", "", true},
    };
    for (const auto& c : cases) {
        bool same = !c.same;
        EXPECT_EQ(manager.IsSameDevice(c.a, c.b, &same), S_OK);
        EXPECT_EQ(same, c.same) << c.a << " / " << c.b;
    }
    EXPECT_EQ(manager.IsSameDevice("a", "b", nullptr), S_OK);
    // Cameras are found under any spelling of their id.
    const std::string cam = PlugCameras(1)[0];
    manager.RefreshVideoDevices();
    VideoDeviceInfo video;
    ASSERT_EQ(manager.FindVideoDevice(OtherSpelling(cam), &video), S_OK);
    EXPECT_EQ(video.id, cam);
    EXPECT_EQ(manager.FindVideoDevice("usb\\cam-b\\video", &video), E_FAIL);
}

TEST_F(DeviceManagerTest, RefreshListsOnlyIdentifiableDevicesAndBoundsAbsurdCounts) {
    const auto cams = PlugCameras(3);
    Script().failingReads = {{cams[1], DeviceProperty::Common::VendorId.value}, // identity incomplete
                             {cams[2], Cam::Revision.value}};                   // optional: listed with 0
    Script().cameraCount = 4;
    Script().cameraIds[3] = ""; // reads as a whole camera, but nothing could address it later
    Script().emptyIdReadsAs = cams[0];
    CGraniteDeviceManager& manager = Open();
    ASSERT_EQ(manager.GetVideoDeviceCount(), 2);
    VideoDeviceInfo info;
    ASSERT_EQ(manager.GetVideoDevice(1, &info), S_OK);
    EXPECT_EQ(std::pair(info.id, info.revision), std::pair(cams[2], 0));
    Script() = {};
    const struct {
        int32_t count;
        int listed;
    } cases[] = {{-5, 0}, {0, 0}, {2000000000, 3}, {INT32_MAX, 3}};
    for (const auto& c : cases) {
        Script().cameraCount = c.count;
        CScriptedDeviceService::seen.idLookups = 0;
        EXPECT_EQ(manager.RefreshVideoDevices(), S_OK) << c.count;
        EXPECT_EQ(manager.GetVideoDeviceCount(), c.listed) << c.count;
        EXPECT_LE(Seen().idLookups, 1024) << c.count;
    }
    Fail(Op::VideoCount);
    EXPECT_EQ(manager.RefreshVideoDevices(), E_FAIL);
    EXPECT_EQ(manager.GetVideoDeviceCount(), 0) << "a failing count empties the list";
}

TEST_F(DeviceManagerTest, PerCameraValuesAreKeptByCameraAndSurviveOtherCamerasArriving) {
    const std::string cam = PlugCameras(1)[0];
    CGraniteDeviceManager& manager = Open();
    int32_t value = -1;
    EXPECT_EQ(manager.SetVideoDeviceValue(OtherSpelling(cam), "NoSTNotification", 1), S_OK);
    EXPECT_EQ(manager.SetVideoDeviceValue(cam, "NoSTNotification", 2), S_OK);
    EXPECT_EQ(manager.SetVideoDeviceValue("usb\\cam-b\\video", "NoSTNotification", 1), E_FAIL);
    EXPECT_EQ(manager.GetVideoDeviceValue(cam, "nostnotification", &value), S_OK);
    EXPECT_EQ(value, 0) << "keys compare exactly";
    RecordingListener listener;
    manager.AddListener(&listener, 1);
    const std::string second = Plug(DeviceKind::Camera, "basic");
    ASSERT_TRUE(HearsSoon(listener, "Arrived(1," + second + ")"));
    EXPECT_EQ(manager.GetVideoDeviceValue(cam, "NoSTNotification", &value), S_OK);
    EXPECT_EQ(value, 2);
    value = 9;
    EXPECT_EQ(manager.GetVideoDeviceValue("usb\\cam-z\\video", "NoSTNotification", &value), E_FAIL);
    EXPECT_EQ(value, 0);
}

} // namespace
