// Device lists, the current camera, microphone and speaker, arrival and removal, per-camera values.
#include "DeviceManagerTestFixture.h"

namespace {

using Calls = std::vector<std::string>;

TEST_F(DeviceManagerTest, SelectingACameraAttachesItSubscribesItsEventsAndTellsListeners) {
    AddCameras({kCamA, kCamB});
    IGraniteDeviceManager* manager = Open();
    RecordingListener listener;
    manager->AddListener(&listener, 7);

    ASSERT_EQ(manager->SelectVideoDevice(0), S_OK);
    EXPECT_EQ(service_.attached, std::set<std::string>{kCamA});
    EXPECT_EQ(CurrentCameraSubscriptions(service_, kCamA), kHeld);

    ASSERT_EQ(manager->SelectVideoDevice(1), S_OK);
    EXPECT_EQ(service_.attached, std::set<std::string>{kCamB});
    EXPECT_EQ(service_.mostAttachedAtOnce, 1u) << "the old camera is let go of before the new one is taken";
    EXPECT_EQ(CurrentCameraSubscriptions(service_, kCamA), kReleased);
    EXPECT_EQ(CurrentCameraSubscriptions(service_, kCamB), kHeld);
    EXPECT_EQ(listener.heard, (Calls{"Selected(7," + kCamA + ")", "Selected(7," + kCamB + ")"}));
    int index = -1;
    manager->GetSelectedVideoDeviceIndex(&index);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(manager->GetSelectedVideoDeviceIndex(nullptr), E_INVALIDARG);

    EXPECT_EQ(manager->SelectVideoDevice(-1), E_INVALIDARG);
    EXPECT_EQ(manager->SelectVideoDevice(2), E_INVALIDARG);
    EXPECT_EQ(manager->SelectVideoDeviceById("usb\\cam-z\\video"), E_FAIL);
    EXPECT_EQ(manager->SelectMicrophone(0), E_INVALIDARG);
    EXPECT_EQ(manager->SelectSpeaker(-3), E_INVALIDARG);
    manager->GetSelectedVideoDeviceIndex(&index);
    EXPECT_EQ(index, 1) << "a refused selection keeps the current camera";
}

TEST_F(DeviceManagerTest, SelectingTheCurrentCameraUnderAnotherSpellingChangesNothing) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera({kCamA, kCamB});
    RecordingListener listener;
    facade.AddListener(&listener, 1);
    const auto subscriptions = service_.Subscriptions();

    EXPECT_EQ(facade.SelectVideoDeviceById("USB\\CAM-A\\other-interface"), S_OK);
    EXPECT_EQ(facade.SelectVideoDevice(0), S_OK);
    EXPECT_EQ(service_.attachCount, (std::map<std::string, int>{{kCamA, 1}}));
    EXPECT_TRUE(service_.detachCount.empty());
    EXPECT_EQ(service_.Subscriptions(), subscriptions);
    EXPECT_TRUE(listener.heard.empty());
}

TEST_F(DeviceManagerTest, ASecondCameraArrivingLeavesTheCurrentOneButFollowsItsNewPlace) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera({kCamA});
    RecordingListener listener;
    facade.AddListener(&listener, 3);
    // The service lists the newcomer first.
    service_.cameras.insert(service_.cameras.begin(), FakeDeviceManagerService::Camera(kCamB, "B"));

    facade.OnDeviceArrived(kDeviceTypeVideo, kCamB);
    EXPECT_EQ(listener.heard, Calls{"Arrived(1," + kCamB + ")"});
    EXPECT_EQ(service_.attachCount, (std::map<std::string, int>{{kCamA, 1}}));
    EXPECT_TRUE(service_.detachCount.empty());
    int index = -1;
    facade.GetSelectedVideoDeviceIndex(&index);
    EXPECT_EQ(index, 1);
    VideoDeviceInfo info;
    ASSERT_EQ(facade.GetVideoDevice(index, &info), S_OK);
    EXPECT_EQ(info.id, kCamA);
}

TEST_F(DeviceManagerTest, RemovingTheCurrentOfTwoCamerasMakesTheOtherCurrent) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera({kCamA, kCamB});
    RecordingListener listener;
    facade.AddListener(&listener, 4);
    service_.cameras.erase(service_.cameras.begin());

    facade.OnDeviceRemoved(kDeviceTypeVideo, kCamA);
    EXPECT_EQ(listener.heard, (Calls{"Selected(4," + kCamB + ")", "Removed(1," + kCamA + "," + kCamA + ")"}));
    EXPECT_EQ(service_.attached, std::set<std::string>{kCamB});
    EXPECT_EQ(service_.mostAttachedAtOnce, 1u);
    EXPECT_EQ(CurrentCameraSubscriptions(service_, kCamA), kReleased)
        << "the removed camera keeps no subscriptions";
    EXPECT_EQ(CurrentCameraSubscriptions(service_, kCamB), kHeld);
    EXPECT_EQ(service_.Subscriptions().at(kCamB + "/15"), 1);
}

TEST_F(DeviceManagerTest, ACurrentCameraGoneBeforeItsRemovalIsReportedIsLetGoOfOnce) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera({kCamA});
    RecordingListener listener;
    facade.AddListener(&listener, 4);
    // B arrives and A goes; the arrival is handled first.
    service_.cameras = {FakeDeviceManagerService::Camera(kCamB, "B")};

    facade.OnDeviceArrived(kDeviceTypeVideo, kCamB);
    EXPECT_TRUE(service_.attached.empty());
    int32_t zoom = 0;
    EXPECT_EQ(facade.GetZoom(&zoom), E_FAIL) << "no call may go to a camera that is not there";
    EXPECT_EQ(CurrentCameraSubscriptions(service_, kCamA), kReleased);

    listener.heard.clear();
    facade.OnDeviceRemoved(kDeviceTypeVideo, kCamA);
    EXPECT_EQ(listener.heard, (Calls{"Selected(4," + kCamB + ")", "Removed(1," + kCamA + "," + kCamA + ")"}))
        << "the removal still names A as the camera that was current";
    EXPECT_EQ(service_.detachCount, (std::map<std::string, int>{{kCamA, 1}})) << "A is let go of once";
    EXPECT_EQ(service_.attached, std::set<std::string>{kCamB});
}

TEST_F(DeviceManagerTest, ARemovedCameraThatIsListedAgainStaysAttachedAndCurrent) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera({kCamA, kCamB});
    RecordingListener listener;
    facade.AddListener(&listener, 4);

    // Unplugged and plugged back before the removal is handled: the service lists it as before.
    facade.OnDeviceRemoved(kDeviceTypeVideo, kCamA);
    EXPECT_EQ(service_.attached, std::set<std::string>{kCamA});
    EXPECT_TRUE(service_.detachCount.empty());
    EXPECT_EQ(CurrentCameraSubscriptions(service_, kCamA), kHeld)
        << "its current-camera events stay subscribed";
    EXPECT_EQ(listener.heard, Calls{"Removed(1," + kCamA + "," + kCamA + ")"});
    int32_t zoom = 0;
    service_.FindCamera(kCamA)->properties[20] = Variant::FromI4(3);
    EXPECT_EQ(facade.GetZoom(&zoom), S_OK);
    EXPECT_EQ(zoom, 3);
}

TEST_F(DeviceManagerTest, RemovingTheOtherOfTwoCamerasKeepsTheCurrentOneUntouched) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera({kCamA, kCamB});
    RecordingListener listener;
    facade.AddListener(&listener, 4);
    service_.cameras.pop_back();

    facade.OnDeviceRemoved(kDeviceTypeVideo, kCamB);
    EXPECT_EQ(listener.heard, Calls{"Removed(1," + kCamB + "," + kCamA + ")"});
    EXPECT_EQ(service_.attached, std::set<std::string>{kCamA});
    EXPECT_EQ(service_.detachCount, (std::map<std::string, int>{{kCamB, 1}}));
    EXPECT_EQ(CurrentCameraSubscriptions(service_, kCamA), kHeld);
}

class DeviceManagerThreeCameras : public DeviceManagerTest, public ::testing::WithParamInterface<int> {};

TEST_P(DeviceManagerThreeCameras, RemovingAnyOfThreeLeavesNoCameraCurrentAndReleasesTheOldOne) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera({kCamA, kCamB, kCamC});
    const std::string removed = service_.cameras[static_cast<size_t>(GetParam())].id;
    service_.cameras.erase(service_.cameras.begin() + GetParam());
    RecordingListener listener;
    facade.AddListener(&listener, 1);

    facade.OnDeviceRemoved(kDeviceTypeVideo, removed);
    EXPECT_EQ(listener.heard, Calls{"Removed(1," + removed + "," + kCamA + ")"});
    int32_t zoom = 0;
    EXPECT_EQ(facade.GetZoom(&zoom), E_FAIL);
    int index = -1;
    facade.GetSelectedVideoDeviceIndex(&index);
    EXPECT_EQ(index, 0);
    // The camera that was current is not left attached with its events subscribed.
    EXPECT_TRUE(service_.attached.empty());
    EXPECT_EQ(service_.detachCount.at(kCamA), 1);
    EXPECT_EQ(CurrentCameraSubscriptions(service_, kCamA), kReleased);
    // Nor does the removed camera keep the events every listed camera reports.
    for (int32_t code : DeviceEntry::kListEventCodes)
        EXPECT_EQ(service_.Subscriptions().count(removed + "/" + std::to_string(code)), 0u) << code;
    // Selecting again works normally.
    EXPECT_EQ(facade.SelectVideoDevice(0), S_OK);
    EXPECT_EQ(facade.GetSelectedVideoDeviceIndex(&index), S_OK);
}

INSTANTIATE_TEST_SUITE_P(Removed, DeviceManagerThreeCameras, ::testing::Values(0, 1, 2));

TEST_F(DeviceManagerTest, MicrophonesAndSpeakersAreSelectedByExactIdAndOnlyOnce) {
    service_.microphones = {FakeDeviceManagerService::Audio("mic1", "One"),
                            FakeDeviceManagerService::Audio("mic2", "Two")};
    service_.speakers = {FakeDeviceManagerService::Audio("spk1", "Speaker")};
    IGraniteDeviceManager* manager = Open();

    EXPECT_EQ(manager->SelectMicrophone(1), S_OK);
    EXPECT_EQ(manager->SelectMicrophone(1), S_OK);
    EXPECT_EQ(manager->SelectMicrophoneById("MIC1"), E_FAIL) << "microphone ids compare exactly";
    EXPECT_EQ(manager->SelectMicrophoneById("mic1"), S_OK);
    EXPECT_EQ(manager->SelectSpeakerById("spk1"), S_OK);
    EXPECT_EQ(service_.selectedMicrophone, "mic1");
    EXPECT_EQ(service_.microphoneSelections, 2) << "selecting the current microphone again is not passed on";
    EXPECT_EQ(service_.selectedSpeaker, "spk1");

    std::string id;
    EXPECT_EQ(manager->GetSelectedMicrophoneId(id), S_OK);
    EXPECT_EQ(id, "mic1");
    int index = -1;
    manager->GetSelectedSpeakerIndex(&index);
    EXPECT_EQ(index, 0);
}

TEST_F(DeviceManagerTest, MicrophoneArrivalAndRemovalFollowTheSameRulesAsCameras) {
    IGraniteDeviceManager* manager = Open();
    CGraniteDeviceManager& facade = *CGraniteDeviceManager::Instance();
    std::string id;
    EXPECT_EQ(manager->GetSelectedMicrophoneId(id), E_FAIL);

    service_.microphones = {FakeDeviceManagerService::Audio("mic1", "One")};
    facade.OnDeviceArrived(kDeviceTypeMicrophone, "mic1");
    ASSERT_EQ(manager->GetSelectedMicrophoneId(id), S_OK);
    EXPECT_EQ(id, "mic1");

    service_.microphones.push_back(FakeDeviceManagerService::Audio("mic2", "Two"));
    facade.OnDeviceArrived(kDeviceTypeMicrophone, "mic2");
    manager->GetSelectedMicrophoneId(id);
    EXPECT_EQ(id, "mic1");

    RecordingListener listener;
    manager->AddListener(&listener, 1);
    service_.microphones.erase(service_.microphones.begin());
    facade.OnDeviceRemoved(kDeviceTypeMicrophone, "mic1");
    manager->GetSelectedMicrophoneId(id);
    EXPECT_EQ(id, "mic2");
    EXPECT_EQ(listener.heard, Calls{"Removed(2,mic1,mic1)"});
}

TEST_F(DeviceManagerTest, HidArrivalOnlyRefreshesAndRemovalReportsNoPreviousDevice) {
    IGraniteDeviceManager* manager = Open();
    RecordingListener listener;
    manager->AddListener(&listener, 1);
    service_.hids = {
        FakeDeviceManagerService::Device{"hid1", {{1, Variant::FromI4(5)}, {2, Variant::FromI4(6)}}}};
    CGraniteDeviceManager::Instance()->OnDeviceArrived(kDeviceTypeHid, "hid1");
    EXPECT_EQ(manager->GetHidDeviceCount(), 1);
    DeviceInfo info;
    ASSERT_EQ(manager->FindHidDevice("hid1", &info), S_OK);
    EXPECT_EQ(info.productId, 5);
    service_.hids.clear();
    CGraniteDeviceManager::Instance()->OnDeviceRemoved(kDeviceTypeHid, "hid1");
    CGraniteDeviceManager::Instance()->OnDeviceRemoved(99, "bogus"); // unknown kinds are ignored
    EXPECT_EQ(listener.heard, (Calls{"Arrived(4,hid1)", "Removed(4,hid1,)"}));
}

TEST_F(DeviceManagerTest, SameDeviceMeansEqualIgnoringCaseOrEqualUpToTheLastBackslash) {
    IGraniteDeviceManager* manager = Open();
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
        EXPECT_EQ(manager->IsSameDevice(c.a, c.b, &same), S_OK);
        EXPECT_EQ(same, c.same) << c.a << " / " << c.b;
    }
    EXPECT_EQ(manager->IsSameDevice("a", "b", nullptr), S_OK);
}

TEST_F(DeviceManagerTest, ListAccessChecksItsArguments) {
    AddCameras({kCamA});
    service_.microphones = {FakeDeviceManagerService::Audio("mic1", "One")};
    IGraniteDeviceManager* manager = Open();
    DeviceInfo info;
    EXPECT_EQ(manager->GetMicrophone(0, nullptr), E_INVALIDARG);
    EXPECT_EQ(manager->GetMicrophone(-1, &info), E_INVALIDARG);
    EXPECT_EQ(manager->GetMicrophone(1, &info), E_FAIL);
    EXPECT_EQ(manager->GetSpeaker(0, &info), E_FAIL);
    ASSERT_EQ(manager->GetMicrophone(0, &info), S_OK);
    EXPECT_EQ(info.name, "One");
    EXPECT_EQ(manager->FindMicrophone("Mic1", &info), E_FAIL);
    VideoDeviceInfo video;
    video.reserved = 99;
    ASSERT_EQ(manager->FindVideoDevice("USB\\Cam-A\\whatever", &video), S_OK);
    EXPECT_EQ(video.id, kCamA);
    EXPECT_EQ(video.reserved, 0);
    EXPECT_EQ(manager->FindVideoDevice(kCamB, &video), E_FAIL);
}

TEST_F(DeviceManagerTest, RefreshListsOnlyIdentifiableDevicesAndBoundsAbsurdCounts) {
    AddCameras({kCamA, kCamB, kCamC});
    service_.FindCamera(kCamB)->properties.erase(2);  // identity incomplete: skipped
    service_.FindCamera(kCamC)->properties.erase(84); // optional number: listed with 0
    service_.cameras.push_back(FakeDeviceManagerService::Camera("", "no id"));
    IGraniteDeviceManager* manager = Open();
    ASSERT_EQ(manager->GetVideoDeviceCount(), 2);
    VideoDeviceInfo info;
    manager->GetVideoDevice(1, &info);
    EXPECT_EQ(info.id, kCamC);
    EXPECT_EQ(info.revision, 0);
    EXPECT_EQ(service_.Subscriptions().count(kCamB + "/8"), 0u);

    service_.cameras.resize(1);
    service_.countOverride = -5;
    EXPECT_EQ(manager->RefreshVideoDevices(), S_OK);
    EXPECT_EQ(manager->GetVideoDeviceCount(), 0);
    service_.countOverride = 2000000000;
    service_.idLookups = 0;
    EXPECT_EQ(manager->RefreshVideoDevices(), S_OK);
    EXPECT_EQ(manager->GetVideoDeviceCount(), 1);
    EXPECT_LE(service_.idLookups, 1024);
    service_.countOverride = FakeDeviceManagerService::kNoOverride;
    service_.failing.insert("GetVideoDeviceCount");
    EXPECT_EQ(manager->RefreshVideoDevices(), E_FAIL);
    EXPECT_EQ(manager->GetVideoDeviceCount(), 0);
}

TEST_F(DeviceManagerTest, PerCameraValuesAreKeptByCameraAndSurviveOtherCamerasArriving) {
    AddCameras({kCamA});
    IGraniteDeviceManager* manager = Open();
    int32_t value = -1;
    EXPECT_EQ(manager->GetVideoDeviceValue(kCamA, "NoSTNotification", &value), S_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(manager->GetVideoDeviceValue(kCamA, "NoSTNotification", &value, 5), S_OK);
    EXPECT_EQ(value, 5);

    EXPECT_EQ(manager->SetVideoDeviceValue("USB\\CAM-A\\still", "NoSTNotification", 1), S_OK);
    EXPECT_EQ(manager->SetVideoDeviceValue(kCamA, "NoSTNotification", 2), S_OK);
    EXPECT_EQ(manager->SetVideoDeviceValue(kCamB, "NoSTNotification", 1), E_FAIL);
    EXPECT_EQ(manager->GetVideoDeviceValue(kCamA, "nostnotification", &value), S_OK);
    EXPECT_EQ(value, 0) << "keys compare exactly";

    AddCameras({kCamB});
    CGraniteDeviceManager::Instance()->OnDeviceArrived(kDeviceTypeVideo, kCamB);
    EXPECT_EQ(manager->GetVideoDeviceValue(kCamA, "NoSTNotification", &value), S_OK);
    EXPECT_EQ(value, 2);
    value = 9;
    EXPECT_EQ(manager->GetVideoDeviceValue("usb\\cam-z\\video", "NoSTNotification", &value), E_FAIL);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(manager->GetVideoDeviceValue(kCamA, "x", nullptr), E_FAIL);
}

} // namespace
