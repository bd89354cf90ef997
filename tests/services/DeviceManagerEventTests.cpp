// The listener table and the service's events: which listener operation each event becomes, which events
// need a current device, listeners changing the table from inside a call, and delivery through the
// serializers on the user-interface thread.
#include "DeviceManagerTestFixture.h"

#include <memory>
#include <thread>

namespace {

namespace Cam = DeviceProperty::Camera;

Variant I4(int32_t v) {
    return Variant::FromI4(v);
}

TEST_F(DeviceManagerTest, ListenersAreCalledInSlotOrderAndATwentySixthIsNeverCalled) {
    CGraniteDeviceManager* manager = &Open();
    std::vector<std::string> order;
    std::vector<std::unique_ptr<RecordingListener>> listeners;
    for (uint32_t i = 0; i < 26; ++i) {
        listeners.push_back(std::make_unique<RecordingListener>());
        listeners.back()->onCall = [&order, i](const std::string&) { order.push_back(std::to_string(i)); };
        EXPECT_EQ(manager->AddListener(listeners.back().get(), 100 + i), S_OK);
    }
    manager->NotifyCameraSwitched();
    ASSERT_EQ(order.size(), 25u);
    EXPECT_EQ(order.front(), "0");
    EXPECT_EQ(order.back(), "24");
    EXPECT_TRUE(listeners[25]->heard.empty());
    EXPECT_EQ(listeners[3]->heard, Calls{"Notify48(103)"});

    // A freed slot is taken by the next registration, which is then called in that slot's turn.
    manager->RemoveListener(listeners[3].get());
    manager->AddListener(listeners[25].get(), 999);
    order.clear();
    manager->NotifyListeners7();
    ASSERT_EQ(order.size(), 25u);
    EXPECT_EQ(order[3], "25");
    EXPECT_EQ(listeners[25]->heard, Calls{"Notify7(999)"});
    EXPECT_EQ(manager->AddListener(nullptr, 1), E_INVALIDARG);
}

TEST_F(DeviceManagerTest, AListenerRegisteredTwiceHearsTwiceAndOneRemovalClearsBoth) {
    CGraniteDeviceManager* manager = &Open();
    RecordingListener twice, other;
    manager->AddListener(&twice, 1);
    manager->AddListener(&other, 2);
    manager->AddListener(&twice, 3);
    manager->SetSharedState(5);
    EXPECT_EQ(twice.heard, (Calls{"Shared(1,5)", "Shared(3,5)"}));
    manager->RemoveListener(&twice);
    manager->NotifyListeners4();
    EXPECT_EQ(twice.heard.size(), 2u);
    EXPECT_EQ(other.heard, (Calls{"Shared(2,5)", "Notify4(2)"}));
    int32_t state = 0;
    EXPECT_EQ(manager->GetSharedState(&state), S_OK);
    EXPECT_EQ(state, 5);
    EXPECT_EQ(manager->GetSharedState(nullptr), E_FAIL);
}

TEST_F(DeviceManagerTest, ListenersMayChangeTheTableFromInsideACall) {
    CGraniteDeviceManager* manager = &Open();
    RecordingListener first, second, third, late;
    manager->AddListener(&first, 1);
    manager->AddListener(&second, 2);
    manager->AddListener(&third, 3);
    // The first listener removes the second and registers a newcomer, which takes the second's slot.
    first.onCall = [&](const std::string&) {
        manager->RemoveListener(&second);
        manager->AddListener(&late, 4);
        first.onCall = nullptr;
    };
    manager->NotifyListeners4();
    EXPECT_EQ(first.heard, Calls{"Notify4(1)"});
    EXPECT_TRUE(second.heard.empty()) << "removed before its turn";
    EXPECT_TRUE(late.heard.empty()) << "registered during the walk";
    EXPECT_EQ(third.heard, Calls{"Notify4(3)"});

    manager->NotifyListeners4();
    EXPECT_EQ(late.heard, Calls{"Notify4(4)"});
    EXPECT_EQ(third.heard.size(), 2u);

    // A listener removing itself is not called again, and nobody is skipped.
    third.onCall = [&](const std::string&) { manager->RemoveListener(&third); };
    manager->NotifyListeners4();
    manager->NotifyListeners4();
    EXPECT_EQ(third.heard.size(), 3u);
    EXPECT_EQ(first.heard.size(), 4u);
    EXPECT_EQ(late.heard.size(), 3u);
}

TEST_F(DeviceManagerTest, ListenersMayCallTheFacadeAndEvenReenterAnEventFromACallback) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    const std::string& kCamA = cams_[0];
    SetOnCamera(kCamA, Cam::Zoom.value, I4(300));
    RecordingListener listener;
    facade.AddListener(&listener, 1);
    int32_t zoomSeen = -1;
    bool nested = false;
    listener.onCall = [&](const std::string& what) {
        if (what == "Zoom(1,300)") {
            facade.GetZoom(&zoomSeen);
            if (!nested) {
                nested = true; // as if a nested message loop delivered the next event now
                facade.OnVideoPropertyChanged(kCamA, 0, 8, I4(44), I4(0));
                facade.SetSharedState(1);
            }
        }
    };
    facade.OnVideoPropertyChanged(kCamA, 0, 20, I4(300), I4(0));
    EXPECT_EQ(zoomSeen, 300);
    EXPECT_EQ(listener.heard, (Calls{"Zoom(1,300)", "LevelA(1,44)", "Shared(1,1)"}));
}

TEST_F(DeviceManagerTest, CameraPropertyEventsReachListenersOnlyForTheCurrentCamera) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera(2);
    const std::string &kCamA = cams_[0], &kCamB = cams_[1];
    RecordingListener listener;
    facade.AddListener(&listener, 9);
    facade.OnVideoPropertyChanged(kCamB, 0, 20, I4(1), I4(0));
    facade.OnVideoPropertyChanged(OtherSpelling(kCamA), 0, 20, I4(2), I4(0));
    EXPECT_EQ(listener.heard, Calls{"Zoom(9,2)"});

    struct Case {
        int32_t property;
        Variant value;
        const char* heard; // empty: nothing
    };
    const Case cases[] = {
        {Cam::FaceTracking.value, I4(0), "TriState(9,0)"},
        {Cam::FaceTracking.value, I4(1), "TriState(9,1)"},
        {Cam::FaceTracking.value, I4(4), "TriState(9,2)"},
        {Cam::FaceTracking.value, I4(3), ""},
        {Cam::FaceTracking.value, I4(2), ""},
        {Cam::PowerLineFrequency.value, I4(2), "SwitchD(9,2)"},
        {Cam::PowerLineFrequency.value, I4(3), ""},
        {Cam::ColorBoost.value, I4(1), "ColorBoost(9,1)"},
        {Cam::Backlight.value, I4(6), "Backlight(9,6)"},
        {Cam::AutoWhiteBalance.value, Variant::FromBool(true), "SwitchE(9,1)"},
        {Cam::AutoWhiteBalance.value, I4(1), "SwitchE(9,0)"},
        // Auto-focus is told as 0 or 1, as its getter reads it, not as the raw VARIANT_BOOL.
        {Cam::AutoFocus.value, Variant::FromBool(true), "AutoFocus(9,1)"},
        {Cam::AutoFocus.value, Variant::FromBool(false), "AutoFocus(9,0)"},
        {Cam::VideoMute.value, I4(1), "VideoMute(9,1)"},
        {Cam::SunTuneMode.value, I4(10), "SunTuneMode(9,10)"},
        {Cam::Brightness.value, I4(-5), "LevelA(9,-5)"},
        {Cam::Saturation.min, I4(1), ""},
        {Cam::Zoom.value, Variant::FromString("x"), ""},
    };
    for (const Case& c : cases) {
        listener.heard.clear();
        facade.OnVideoPropertyChanged(kCamA, 0, c.property, c.value, I4(0));
        EXPECT_EQ(listener.heard, std::string(c.heard).empty() ? Calls{} : Calls{c.heard})
            << c.property << " " << static_cast<int>(c.value.Type());
    }
}

TEST_F(DeviceManagerTest, MicrophoneAndSpeakerEventsNeedTheExactCurrentDevice) {
    const std::string mic = Plug(DeviceKind::Microphone), spk = Plug(DeviceKind::Speaker);
    CGraniteDeviceManager& facade = Open();
    CGraniteDeviceManager* manager = &facade;
    RecordingListener listener;
    manager->AddListener(&listener, 2);
    facade.OnMicrophonePropertyChanged(mic, 0, 6, I4(1), I4(0));
    EXPECT_TRUE(listener.heard.empty()) << "no microphone is current yet";

    manager->SelectMicrophone(0);
    manager->SelectSpeaker(0);
    facade.OnMicrophonePropertyChanged(Upper(mic), 0, 6, I4(1),
                                       I4(0)); // differs in case only: another device
    facade.OnMicrophonePropertyChanged(mic, 0, 6, I4(30), I4(0));
    facade.OnMicrophonePropertyChanged(mic, 0, 9, I4(12), I4(0));
    facade.OnMicrophonePropertyChanged(mic, 0, 10, I4(1), I4(0));
    facade.OnMicrophonePropertyChanged(mic, 0, 10, I4(0), I4(1));
    facade.OnMicrophonePropertyChanged(mic, 0, 4, I4(0), I4(1));
    facade.OnSpeakerPropertyChanged(spk, 0, 8, I4(40), I4(0));
    facade.OnSpeakerPropertyChanged(spk, 0, 9, I4(0x10000), I4(0)); // the 16-bit payload is 0
    facade.OnSpeakerPropertyChanged(spk, 0, 9, Variant::FromBool(true), I4(0));
    facade.OnSpeakerPropertyChanged(Upper(spk), 0, 8, I4(41), I4(0));
    EXPECT_EQ(listener.heard,
              (Calls{"MicVolume(2,30)", "MicLevel(2,12)", "MicMute(2,1)", "MicLevel(2,0)", "MicMute(2,0)",
                     "SpeakerVolume(2,40)", "SpeakerMute(2,0)", "SpeakerMute(2,1)"}));
}

TEST_F(DeviceManagerTest, CameraMotorSoundHidAndGlobalEventsBecomeTheirListenerOperations) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera(2);
    const std::string &kCamA = cams_[0], &kCamB = cams_[1];
    RecordingListener listener;
    facade.AddListener(&listener, 5);
    for (int code : {1, 26, 29, 30, 33, 34, 35, 20, 99})
        facade.OnVideoDeviceEvent(kCamA, code, 0, Variant());
    for (int code : {1, 33}) // current-camera codes from another camera are dropped
        facade.OnVideoDeviceEvent(kCamB, code, 0, Variant());
    for (int code : {8, 9, 31, 32, 15, 16})
        facade.OnVideoDeviceEvent(kCamB, code, 0, Variant());
    facade.OnVideoMotorStatus(Upper(kCamA), 1); // the motor event compares ids exactly
    facade.OnVideoMotorStatus(kCamA, 1);
    facade.OnPlaySoundFileStatus("spk9", 3);
    facade.OnHIDPropertyChanged("hid1", 0, 4, Variant::FromBytes({1, 2}));
    facade.OnHIDPropertyChanged2("hid1", 0, 5, Variant::FromBool(true), Variant());
    facade.OnHIDPropertyChanged2("hid1", 0, 6, I4(1), Variant());
    facade.OnHIDPropertyChanged2("hid1", 0, 7, Variant::FromBool(true), Variant());
    facade.OnGlobalPropertyChanged(0, Variant::FromBool(true));
    facade.OnGlobalPropertyChanged(1, Variant::FromBool(false));
    facade.OnGlobalPropertyChanged(2, Variant::FromBool(true));
    EXPECT_EQ(listener.heard, (Calls{"Event1(5)",
                                     "Event26(5)",
                                     "Event29(5)",
                                     "Event30(5)",
                                     "Status(5,1)",
                                     "Status(5,3)",
                                     "Status(5,3)",
                                     "Event20(5)",
                                     "Event8or9(" + kCamB + ",5,1)",
                                     "Event8or9(" + kCamB + ",5,0)",
                                     "Event31or32(" + kCamB + ",5,1)",
                                     "Event31or32(" + kCamB + ",5,0)",
                                     "Event15(" + kCamB + ",5)",
                                     "Event16(" + kCamB + ",5)",
                                     "Motor()",
                                     "SoundStatus(spk9,3)",
                                     "Hid5(1)",
                                     "Hid6(0)",
                                     "Echo(1)",
                                     "Noise(0)"}));
}

TEST_F(DeviceManagerTest, Event20IsPassedOnOnlyForTheOneCameraModelThatReportsIt) {
    const std::string full = Plug(DeviceKind::Camera, "full"), basic = Plug(DeviceKind::Camera, "basic");
    ASSERT_EQ(Granite::kProductFullCamera, GdmProperty::kEvent20ProductId);
    CGraniteDeviceManager& facade = Open();
    RecordingListener listener;
    facade.AddListener(&listener, 5);
    ASSERT_EQ(facade.SelectVideoDevice(1), S_OK);
    listener.heard.clear();
    facade.OnVideoDeviceEvent(basic, 20, 0, Variant());
    EXPECT_TRUE(listener.heard.empty());
    ASSERT_EQ(facade.SelectVideoDevice(0), S_OK);
    listener.heard.clear();
    facade.OnVideoDeviceEvent(full, 20, 0, Variant());
    EXPECT_EQ(listener.heard, Calls{"Event20(5)"});
    Fail(Op::VideoGet); // the model cannot be read
    facade.OnVideoDeviceEvent(full, 20, 0, Variant());
    EXPECT_EQ(listener.heard.size(), 1u);
}

TEST_F(DeviceManagerTest, ServiceThreadEventsReachListenersOnlyFromTheMessageLoopInOrder) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    const std::string& kCamA = cams_[0];
    RecordingListener listener;
    facade.AddListener(&listener, 1);
    // Backlight changes nothing else on the camera (a zoom also moves the pan and tilt ranges), so exactly
    // three events are queued.
    SetOnCamera(kCamA, Cam::Backlight.value, I4(2));
    ASSERT_EQ(hardware_->RaiseCameraEvent(kCamA, Granite::CamEvent::FocusSettled), S_OK);
    SetOnCamera(kCamA, Cam::Backlight.value, I4(3));
    ASSERT_TRUE(QueuedSoon(facade, 3));
    EXPECT_TRUE(listener.heard.empty());
    Pump();
    EXPECT_EQ(listener.heard, (Calls{"Backlight(1,2)", "Status(1,1)", "Backlight(1,3)"}));
}

TEST_F(DeviceManagerTest, TheOnlyCameraArrivingIsListedThenAnnouncedThenMadeCurrent) {
    CGraniteDeviceManager& manager = Open();
    RecordingListener listener;
    manager.AddListener(&listener, 6);
    int countSeenByListener = -1;
    listener.onCall = [&](const std::string&) {
        if (countSeenByListener < 0)
            countSeenByListener = manager.GetVideoDeviceCount();
    };
    const std::string cam = Plug(DeviceKind::Camera);
    ASSERT_TRUE(HearsSoon(listener, "Selected(6," + cam + ")"));
    EXPECT_EQ(countSeenByListener, 1) << "the list is refreshed before anyone hears of it";
    EXPECT_EQ(listener.heard, (Calls{"Arrived(1," + cam + ")", "Selected(6," + cam + ")"}));
    EXPECT_EQ(InUse(), cam);
    int32_t zoom = 0;
    SetOnCamera(cam, Cam::Zoom.value, I4(150));
    EXPECT_EQ(manager.GetZoom(&zoom), S_OK);
    EXPECT_EQ(zoom, 150);
}

TEST_F(DeviceManagerTest, SeverityChangesAreAnnouncedLaterAsSunTuneModeChanges) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera(2);
    const std::string &kCamA = cams_[0], &kCamB = cams_[1];
    RecordingListener listener;
    facade.AddListener(&listener, 8);
    const int32_t modeOnA = OnCamera(kCamA, Cam::SunTuneMode.value);
    EXPECT_EQ(facade.FireSeverityChanged(kCamA, 10, 5), S_OK);
    EXPECT_EQ(facade.FireSeverityChanged(kCamB, 3, 5), S_OK); // not the current camera
    EXPECT_TRUE(listener.heard.empty());
    EXPECT_EQ(facade.FireEvents().PendingCount(), 2u);
    Pump();
    EXPECT_EQ(listener.heard, Calls{"SunTuneMode(8,10)"});
    EXPECT_EQ(OnCamera(kCamA, Cam::SunTuneMode.value), modeOnA)
        << "announcing a mode does not touch the camera";

    // Announced from inside a listener, it arrives after that listener returned.
    listener.heard.clear();
    listener.onCall = [&](const std::string& what) {
        if (what == "Event15(" + kCamA + ",8)")
            facade.FireSeverityChanged(kCamA, 0, 10);
    };
    facade.OnVideoDeviceEvent(kCamA, 15, 0, Variant());
    facade.OnVideoDeviceEvent(kCamA, 16, 0, Variant());
    Pump();
    EXPECT_EQ(listener.heard,
              (Calls{"Event15(" + kCamA + ",8)", "Event16(" + kCamA + ",8)", "SunTuneMode(8,0)"}));
}

} // namespace
