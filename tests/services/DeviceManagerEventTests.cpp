// The listener table and the service's events: which listener operation each event becomes, which need a
// current device, listeners changing the table from inside a call, delivery on the user-interface thread.
#include "DeviceManagerTestFixture.h"

#include <utility>

namespace {

namespace Cam = DeviceProperty::Camera;

Variant I4(int32_t v) {
    return Variant::FromI4(v);
}

TEST_F(DeviceManagerTest, TheListenerTableCallsTwentyFiveInSlotOrderAndMayChangeFromInsideACall) {
    CGraniteDeviceManager& m = Open();
    RecordingListener ls[26];
    std::string order, expected;
    for (uint32_t i = 0; i < 26; ++i) {
        ls[i].onCall = [&order, i](const std::string&) { order += std::to_string(i) + " "; };
        EXPECT_EQ(m.AddListener(&ls[i], 100 + i), S_OK);
        expected += i < 25 ? std::to_string(i) + " " : "";
    }
    EXPECT_EQ(m.AddListener(nullptr, 1), E_INVALIDARG);
    m.NotifyCameraSwitched();
    EXPECT_EQ(order, expected);
    EXPECT_EQ(ls[3].heard, Calls{"Notify48(103)"});
    EXPECT_TRUE(ls[25].heard.empty()) << "the table is full";
    // 1 removes 2 and registers 25, which takes slot 2 but waits for the next walk; 3 removes itself.
    bool changed = false;
    ls[1].onCall = [&](const std::string&) {
        if (!std::exchange(changed, true)) {
            m.RemoveListener(&ls[2]);
            m.AddListener(&ls[25], 999);
        }
    };
    ls[3].onCall = [&](const std::string&) { m.RemoveListener(&ls[3]); };
    m.NotifyListeners4();
    order.clear();
    m.NotifyListeners7();
    EXPECT_EQ(ls[2].heard.size(), 1u) << "removed before its turn";
    EXPECT_EQ(ls[3].heard.size(), 2u) << "called in the walk it left, then never again";
    EXPECT_EQ(ls[25].heard, Calls{"Notify7(999)"});
    EXPECT_EQ(order.substr(0, 8), "0 25 4 5") << "the newcomer is called in slot 2's turn";
    // Registered twice (into the slot 3 freed), a listener hears twice; one removal clears both.
    m.AddListener(&ls[0], 7);
    m.SetSharedState(5);
    int32_t state = 0;
    EXPECT_EQ(m.GetSharedState(&state), S_OK);
    EXPECT_EQ(state, 5);
    m.RemoveListener(&ls[0]);
    m.NotifyListeners4();
    EXPECT_EQ(ls[0].heard,
              (Calls{"Notify48(100)", "Notify4(100)", "Notify7(100)", "Shared(100,5)", "Shared(7,5)"}));
}

// From inside a call a listener may use the facade, have the next event delivered (as a nested message loop
// would), and announce severity changes, which arrive as SunTune mode changes after it returned.
TEST_F(DeviceManagerTest, ListenersMayCallAndReenterTheFacadeFromInsideACall) {
    cams_ = PlugCameras(2);
    const std::string& a = cams_[0];
    SetOnCamera(a, Cam::Zoom.value, I4(300)); // before the facade subscribes to the camera's events
    CGraniteDeviceManager& facade = Open();
    ASSERT_EQ(facade.SelectVideoDevice(0), S_OK);
    const int32_t modeOnA = OnCamera(a, Cam::SunTuneMode.value);
    RecordingListener listener;
    facade.AddListener(&listener, 1);
    int32_t zoomSeen = -1;
    listener.onCall = [&](const std::string& what) {
        if (what != "Zoom(1,300)" || zoomSeen != -1)
            return;
        facade.GetZoom(&zoomSeen);
        facade.OnVideoPropertyChanged(a, 0, 8, I4(44), I4(0));
        EXPECT_EQ(facade.FireSeverityChanged(a, 10, 5), S_OK);
        EXPECT_EQ(facade.FireSeverityChanged(cams_[1], 3, 5), S_OK); // not the current camera
        facade.SetSharedState(1);
    };
    facade.OnVideoPropertyChanged(a, 0, 20, I4(300), I4(0));
    facade.OnVideoDeviceEvent(a, 16, 0, Variant());
    Pump();
    EXPECT_EQ(zoomSeen, 300);
    EXPECT_EQ(listener.heard, (Calls{"Zoom(1,300)", "LevelA(1,44)", "Shared(1,1)", "Event16(" + a + ",1)",
                                     "SunTuneMode(1,10)"}));
    EXPECT_EQ(OnCamera(a, Cam::SunTuneMode.value), modeOnA) << "announcing a mode does not touch the camera";
}

TEST_F(DeviceManagerTest, CameraPropertyEventsReachListenersOnlyForTheCurrentCamera) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera(2);
    RecordingListener listener;
    facade.AddListener(&listener, 9);
    facade.OnVideoPropertyChanged(cams_[1], 0, 20, I4(1), I4(0));
    facade.OnVideoPropertyChanged(OtherSpelling(cams_[0]), 0, 20, I4(2), I4(0));
    EXPECT_EQ(listener.heard, Calls{"Zoom(9,2)"});
    const struct {
        int32_t property;
        std::vector<Variant> values;
        const char* heard;
    } cases[] = {
        {Cam::FaceTracking.value,
         {I4(0), I4(1), I4(4), I4(3), I4(2)},
         "TriState(9,0) TriState(9,1) TriState(9,2) "},
        {Cam::PowerLineFrequency.value, {I4(2), I4(3)}, "SwitchD(9,2) "},
        {Cam::ColorBoost.value, {I4(1)}, "ColorBoost(9,1) "},
        {Cam::Backlight.value, {I4(6)}, "Backlight(9,6) "},
        {Cam::AutoWhiteBalance.value, {Variant::FromBool(true), I4(1)}, "SwitchE(9,1) SwitchE(9,0) "},
        // Auto-focus is told as 0 or 1, as its getter reads it, not as the raw VARIANT_BOOL.
        {Cam::AutoFocus.value,
         {Variant::FromBool(true), Variant::FromBool(false)},
         "AutoFocus(9,1) AutoFocus(9,0) "},
        {Cam::VideoMute.value, {I4(1)}, "VideoMute(9,1) "},
        {Cam::SunTuneMode.value, {I4(10)}, "SunTuneMode(9,10) "},
        {Cam::Brightness.value, {I4(-5)}, "LevelA(9,-5) "},
        {Cam::Saturation.min, {I4(1)}, ""},
        {Cam::Zoom.value, {Variant::FromString("x")}, ""},
    };
    for (const auto& c : cases) {
        listener.heard.clear();
        for (const Variant& value : c.values)
            facade.OnVideoPropertyChanged(cams_[0], 0, c.property, value, I4(0));
        std::string heard;
        for (const std::string& call : listener.heard)
            heard += call + " ";
        EXPECT_EQ(heard, c.heard) << c.property;
    }
}

TEST_F(DeviceManagerTest, MicrophoneAndSpeakerEventsNeedTheExactCurrentDevice) {
    const std::string mic = Plug(DeviceKind::Microphone), spk = Plug(DeviceKind::Speaker);
    CGraniteDeviceManager& facade = Open();
    RecordingListener listener;
    facade.AddListener(&listener, 2);
    facade.OnMicrophonePropertyChanged(mic, 0, 6, I4(1), I4(0));
    EXPECT_TRUE(listener.heard.empty()) << "no microphone is current yet";
    facade.SelectMicrophone(0);
    facade.SelectSpeaker(0);
    facade.OnMicrophonePropertyChanged(Upper(mic), 0, 6, I4(1), I4(0)); // differs in case only: another
    facade.OnMicrophonePropertyChanged(mic, 0, 6, I4(30), I4(0));
    facade.OnMicrophonePropertyChanged(mic, 0, 9, I4(12), I4(0));
    facade.OnMicrophonePropertyChanged(mic, 0, 10, I4(1), I4(0));
    facade.OnMicrophonePropertyChanged(mic, 0, 10, I4(0), I4(1));
    facade.OnMicrophonePropertyChanged(mic, 0, 4, I4(0), I4(1));
    facade.OnSpeakerPropertyChanged(spk, 0, 9, I4(0x10000), I4(0)); // the 16-bit payload is 0
    facade.OnSpeakerPropertyChanged(Upper(spk), 0, 9, Variant::FromBool(true), I4(0));
    EXPECT_EQ(listener.heard, (Calls{"MicVolume(2,30)", "MicLevel(2,12)", "MicMute(2,1)", "MicLevel(2,0)",
                                     "MicMute(2,0)", "SpeakerMute(2,0)"}));
}

TEST_F(DeviceManagerTest, CameraAndGlobalEventsBecomeTheirListenerOperations) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera(2);
    const std::string &a = cams_[0], &b = cams_[1];
    RecordingListener listener;
    facade.AddListener(&listener, 5);
    for (int code : {1, 26, 29, 30, 33, 34, 35, 20, 99})
        facade.OnVideoDeviceEvent(a, code, 0, Variant());
    for (int code : {1, 33}) // current-camera codes from another camera are dropped
        facade.OnVideoDeviceEvent(b, code, 0, Variant());
    for (int code : {8, 9, 31, 32, 15, 16})
        facade.OnVideoDeviceEvent(b, code, 0, Variant());
    facade.OnHIDPropertyChanged2("hid1", 0, 7, Variant::FromBool(true), Variant());
    facade.OnGlobalPropertyChanged(0, Variant::FromBool(true));
    facade.OnGlobalPropertyChanged(1, Variant::FromBool(false));
    facade.OnGlobalPropertyChanged(2, Variant::FromBool(true));
    std::string all; // the second camera's id shown as B
    for (std::string call : listener.heard)
        all += (call.find(b) == std::string::npos ? call : call.replace(call.find(b), b.size(), "B")) + " ";
    EXPECT_EQ(all,
              "Event1(5) Event26(5) Event29(5) Event30(5) Status(5,1) Status(5,3) Status(5,3) Event20(5) "
              "Event8or9(B,5,1) Event8or9(B,5,0) Event31or32(B,5,1) Event31or32(B,5,0) Event15(B,5) "
              "Event16(B,5) Echo(1) Noise(0) ");
}

TEST_F(DeviceManagerTest, Event20IsPassedOnOnlyForTheOneCameraModelThatReportsIt) {
    const std::string full = Plug(DeviceKind::Camera, "full"), basic = Plug(DeviceKind::Camera, "basic");
    CGraniteDeviceManager& facade = Open();
    RecordingListener listener;
    facade.AddListener(&listener, 5);
    ASSERT_EQ(facade.SelectVideoDevice(1), S_OK);
    facade.OnVideoDeviceEvent(basic, 20, 0, Variant());
    ASSERT_EQ(facade.SelectVideoDevice(0), S_OK);
    facade.OnVideoDeviceEvent(full, 20, 0, Variant());
    Fail(Op::VideoGet); // the model cannot be read
    facade.OnVideoDeviceEvent(full, 20, 0, Variant());
    EXPECT_EQ(listener.heard, (Calls{"Selected(5," + basic + ")", "Selected(5," + full + ")", "Event20(5)"}));
}

TEST_F(DeviceManagerTest, ServiceThreadEventsReachListenersOnlyFromTheMessageLoopInOrder) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    RecordingListener listener;
    facade.AddListener(&listener, 1);
    // Backlight changes nothing else on the camera (a zoom also moves the pan and tilt ranges), so exactly
    // three events are queued.
    SetOnCamera(cams_[0], Cam::Backlight.value, I4(2));
    ASSERT_EQ(hardware_->RaiseCameraEvent(cams_[0], Granite::CamEvent::FocusSettled), S_OK);
    SetOnCamera(cams_[0], Cam::Backlight.value, I4(3));
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
}

} // namespace
