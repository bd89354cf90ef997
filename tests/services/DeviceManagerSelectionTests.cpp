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
    EXPECT_EQ(InUse(), cams[0]);
    ASSERT_EQ(manager.SelectVideoDevice(1), S_OK);
    EXPECT_EQ(InUse(), cams[1]);
    EXPECT_EQ(Seen().mostCamerasHeld, 1u) << "the old camera is let go of before the new one is taken";
    EXPECT_EQ(listener.heard, (Calls{"Selected(7," + cams[0] + ")", "Selected(7," + cams[1] + ")"}));
    // The new camera's own events come through; the old one's no longer do.
    listener.heard.clear();
    ASSERT_EQ(hardware_->RaiseCameraEvent(cams[0], Granite::CamEvent::Button), S_OK);
    ASSERT_EQ(hardware_->RaiseCameraEvent(cams[1], Granite::CamEvent::Button), S_OK);
    ASSERT_TRUE(HearsSoon(listener, "Event1(7)"));
    EXPECT_EQ(listener.heard, Calls{"Event1(7)"});
    // The current camera selected again, under another spelling too, changes nothing.
    EXPECT_EQ(manager.SelectVideoDeviceById(OtherSpelling(cams[1])), S_OK);
    EXPECT_EQ(manager.SelectVideoDevice(1), S_OK);
    EXPECT_EQ(listener.heard, Calls{"Event1(7)"});

    int index = -1;
    manager.GetSelectedVideoDeviceIndex(&index);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(manager.GetSelectedVideoDeviceIndex(nullptr), E_INVALIDARG);
    EXPECT_EQ(manager.SelectVideoDevice(-1), E_INVALIDARG);
    EXPECT_EQ(manager.SelectVideoDevice(2), E_INVALIDARG);
    EXPECT_EQ(manager.SelectVideoDeviceById("usb\\cam-z\\video"), E_FAIL);
    EXPECT_EQ(manager.SelectMicrophone(0), E_INVALIDARG);
    EXPECT_EQ(manager.SelectSpeaker(-3), E_INVALIDARG);
    manager.GetSelectedVideoDeviceIndex(&index);
    EXPECT_EQ(index, 1) << "a refused selection keeps the current camera";
    manager.Release();
    EXPECT_EQ(InUse(), "") << "taken once: one release lets go of it";
    EXPECT_FALSE(Seen().disconnectedWhileHolding) << "the camera goes before the event connection";
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
    EXPECT_EQ(index, 0);
    VideoDeviceInfo info;
    ASSERT_EQ(facade.GetVideoDevice(index, &info), S_OK);
    EXPECT_EQ(info.id, second);
}

TEST_F(DeviceManagerTest, RemovingTheCurrentOfTwoCamerasMakesTheOtherCurrent) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera(2);
    RecordingListener listener;
    facade.AddListener(&listener, 4);
    ASSERT_EQ(hardware_->Unplug(DeviceKind::Camera, cams_[0]), S_OK);
    ASSERT_TRUE(HearsSoon(listener, "Removed(1," + cams_[0] + "," + cams_[0] + ")"));
    EXPECT_EQ(listener.heard,
              (Calls{"Selected(4," + cams_[1] + ")", "Removed(1," + cams_[0] + "," + cams_[0] + ")"}));
    EXPECT_EQ(InUse(), cams_[1]);
    listener.heard.clear();
    ASSERT_EQ(hardware_->RaiseCameraEvent(cams_[1], Granite::CamEvent::Reset), S_OK);
    EXPECT_TRUE(HearsSoon(listener, "Event26(4)")) << "the new current camera's events are subscribed";
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

class DeviceManagerThreeCameras : public DeviceManagerTest, public ::testing::WithParamInterface<int> {};

TEST_P(DeviceManagerThreeCameras, RemovingAnyOfThreeLeavesNoCameraCurrentAndReleasesTheOldOne) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera(3);
    const std::string removed = cams_[static_cast<size_t>(GetParam())];
    RecordingListener listener;
    facade.AddListener(&listener, 1);
    ASSERT_EQ(hardware_->Unplug(DeviceKind::Camera, removed), S_OK);
    ASSERT_TRUE(HearsSoon(listener, "Removed(1," + removed + "," + cams_[0] + ")"));
    EXPECT_EQ(listener.heard.size(), 1u);
    int32_t zoom = 0;
    EXPECT_EQ(facade.GetZoom(&zoom), E_FAIL);
    int index = -1;
    facade.GetSelectedVideoDeviceIndex(&index);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(InUse(), "") << "the camera that was current is not left attached";
    EXPECT_EQ(facade.SelectVideoDevice(0), S_OK);
    EXPECT_NE(InUse(), "");
}

INSTANTIATE_TEST_SUITE_P(Removed, DeviceManagerThreeCameras, ::testing::Values(0, 1, 2));

TEST_F(DeviceManagerTest, MicrophonesAndSpeakersAreSelectedByExactIdAndFollowArrivalAndRemoval) {
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
    int index = -1;
    manager.GetSelectedSpeakerIndex(&index);
    EXPECT_EQ(index, 0);
    std::string preferred;
    EXPECT_TRUE(hardware_->Resolve(DeviceKind::Microphone, 0, preferred));
    EXPECT_EQ(preferred, mic2);

    // The current one going makes the other current.
    ASSERT_EQ(hardware_->Unplug(DeviceKind::Microphone, mic2), S_OK);
    ASSERT_TRUE(HearsSoon(listener, "Removed(2," + mic2 + "," + mic2 + ")"));
    manager.GetSelectedMicrophoneId(id);
    EXPECT_EQ(id, mic1);
}

TEST_F(DeviceManagerTest, HidArrivalOnlyRefreshesAndRemovalReportsNoPreviousDevice) {
    CGraniteDeviceManager& manager = Open();
    RecordingListener listener;
    manager.AddListener(&listener, 1);
    const std::string hid = Plug(DeviceKind::Hid);
    ASSERT_TRUE(HearsSoon(listener, "Arrived(4," + hid + ")"));
    EXPECT_EQ(manager.GetHidDeviceCount(), 1);
    DeviceInfo info;
    ASSERT_EQ(manager.FindHidDevice(hid, &info), S_OK);
    EXPECT_EQ(info.productId, Granite::kProductHid);
    ASSERT_EQ(hardware_->Unplug(DeviceKind::Hid, hid), S_OK);
    manager.OnDeviceRemoved(99, "bogus"); // unknown kinds are ignored
    ASSERT_TRUE(HearsSoon(listener, "Removed(4," + hid + ",)"));
    EXPECT_EQ(listener.heard, (Calls{"Arrived(4," + hid + ")", "Removed(4," + hid + ",)"}));
}

TEST_F(DeviceManagerTest, SameDeviceMeansEqualIgnoringCaseOrEqualUpToTheLastBackslash) {
    CGraniteDeviceManager& manager = Open();
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"usb\\cam-a\\video", "USB\\CAM-A\\VIDEO", true},
        {"usb\\cam-a\\video", "usb\\cam-a\\still", true},
        {"usb\\cam-a\\video", "usb\\cam-b\\video", false},
        {"camera", "CAMERA", true},
        {"camera", "camera2", false},
        {"usb\\cam-a", "usb\\cam-a\\x", false},
        {"\\one", "\\two", false},
        {"", "", true},
    };
    for (const Case& c : cases) {
        bool same = !c.same;
        EXPECT_EQ(manager.IsSameDevice(c.a, c.b, &same), S_OK);
        EXPECT_EQ(same, c.same) << c.a << " / " << c.b;
    }
    EXPECT_EQ(manager.IsSameDevice("a", "b", nullptr), S_OK);
}

TEST_F(DeviceManagerTest, ListAccessChecksItsArgumentsAndAFailingCountEmptiesTheList) {
    const std::string cam = PlugCameras(1)[0];
    const std::string mic = Plug(DeviceKind::Microphone);
    CGraniteDeviceManager& manager = Open();
    DeviceInfo info;
    EXPECT_EQ(manager.GetMicrophone(0, nullptr), E_INVALIDARG);
    EXPECT_EQ(manager.GetMicrophone(-1, &info), E_INVALIDARG);
    EXPECT_EQ(manager.GetMicrophone(1, &info), E_FAIL);
    EXPECT_EQ(manager.GetSpeaker(0, &info), E_FAIL);
    ASSERT_EQ(manager.GetMicrophone(0, &info), S_OK);
    EXPECT_EQ(info.name, "Brenmoor Vidora Microphone");
    EXPECT_EQ(manager.FindMicrophone(Upper(mic), &info), E_FAIL);
    VideoDeviceInfo video;
    video.reserved = 99;
    ASSERT_EQ(manager.FindVideoDevice(OtherSpelling(cam), &video), S_OK);
    EXPECT_EQ(video.id, cam);
    EXPECT_EQ(video.reserved, 0);
    EXPECT_EQ(manager.FindVideoDevice("usb\\cam-b\\video", &video), E_FAIL);

    Fail(Op::VideoCount);
    EXPECT_EQ(manager.RefreshVideoDevices(), E_FAIL);
    EXPECT_EQ(manager.GetVideoDeviceCount(), 0);
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
}

TEST_F(DeviceManagerTest, PerCameraValuesAreKeptByCameraAndSurviveOtherCamerasArriving) {
    const std::string cam = PlugCameras(1)[0];
    CGraniteDeviceManager& manager = Open();
    int32_t value = -1;
    EXPECT_EQ(manager.GetVideoDeviceValue(cam, "NoSTNotification", &value), S_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(manager.GetVideoDeviceValue(cam, "NoSTNotification", &value, 5), S_OK);
    EXPECT_EQ(value, 5);

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
    EXPECT_EQ(manager.GetVideoDeviceValue(cam, "x", nullptr), E_FAIL);
}

} // namespace
