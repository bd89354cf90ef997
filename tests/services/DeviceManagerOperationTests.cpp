// Operations with their own rules: value mappings, LED packing, what each model supports, audio, strings.
#include "DeviceManagerTestFixture.h"

namespace {

namespace Cam = DeviceProperty::Camera;
using Ints = std::vector<int32_t>;

class DeviceManagerOperationTest : public DeviceManagerTest {
protected:
    int32_t OnA(int32_t p) { return OnCamera(cams_[0], p); }
    std::vector<std::string> States(DeviceKind kind) {
        for (const Granite::DeviceSummary& d : hardware_->Devices())
            if (d.kind == kind)
                return d.states;
        return {};
    }
};

TEST_F(DeviceManagerOperationTest, ChoicesAreMappedBetweenTheProgramsValuesAndTheCamerasOwn) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    // Face tracking is stored as 0 off, 1 one face, 4 several faces.
    for (auto [mode, stored] : std::vector<std::pair<int32_t, int32_t>>{{2, 4}, {1, 1}, {0, 0}, {3, 0}}) {
        EXPECT_EQ(facade.SetTriStateMode(mode), S_OK);
        EXPECT_EQ(OnA(Cam::FaceTracking.value), stored) << mode;
    }
    // Other stored values, as some firmware answers them, read as off (2) or one face.
    for (auto [stored, mode] : std::vector<std::pair<int32_t, int32_t>>{{4, 2}, {2, 0}, {3, 1}, {9, 1}}) {
        Script().cameraValues[Cam::FaceTracking.value] = Variant::FromI4(stored);
        int32_t read = -1;
        EXPECT_EQ(facade.GetTriStateMode(&read), S_OK);
        EXPECT_EQ(read, mode) << stored;
    }
    // The power-line switch takes 0 to 2 only; a refused value leaves the camera's as it was.
    EXPECT_EQ(facade.SetAdvancedSwitchD(0), S_OK);
    for (int32_t refused : {3, -1})
        EXPECT_EQ(facade.SetAdvancedSwitchD(refused), E_FAIL);
    EXPECT_EQ(OnA(Cam::PowerLineFrequency.value), 0);
    // A focus status outside 0 to 3 reads as 2.
    for (auto [stored, expected] : std::vector<std::pair<int32_t, int32_t>>{{3, 3}, {4, 2}, {-1, 2}}) {
        SetOnCamera(cams_[0], Cam::FocusStatus.value, Variant::FromI4(stored));
        int32_t status = -9;
        EXPECT_EQ(facade.GetFocusStatus(&status), S_OK);
        EXPECT_EQ(status, expected) << stored;
    }
}

TEST_F(DeviceManagerOperationTest, LedModeIsPackedIntoThePropertyTheCamerasFirmwareHas) {
    const std::string full = Plug(DeviceKind::Camera, "full"), basic = Plug(DeviceKind::Camera, "basic");
    CGraniteDeviceManager& facade = Open();
    const struct {
        const std::string& id;
        int32_t property;
        bool modes;
    } models[] = {{full, Cam::LedMode.value, true}, {basic, Cam::LedModeLegacy.value, false}};
    int32_t mode = -1, a = -1, b = -1;
    for (const auto& m : models) {
        ASSERT_EQ(facade.SelectVideoDeviceById(m.id), S_OK);
        EXPECT_EQ(facade.SetLed(2, 10, 20), S_OK);
        EXPECT_EQ(OnCamera(m.id, m.property), 0x140A02) << m.id;
        ASSERT_EQ(facade.GetLed(&mode, &a, &b), S_OK);
        EXPECT_EQ(Ints({mode, a, b}), Ints({2, 10, 20})) << m.id;
        bool supported = !m.modes;
        EXPECT_EQ(facade.IsLedModeSupported(&supported), S_OK);
        EXPECT_EQ(supported, m.modes) << m.id;
    }
    EXPECT_EQ(facade.SetLed(5, 0, 0), S_OK);
    EXPECT_EQ(OnCamera(basic, Cam::LedModeLegacy.value), 2) << "a mode the older firmware cannot show";
    ASSERT_EQ(facade.SelectVideoDeviceById(full), S_OK);
    facade.SetLed(0x101, 0x1FF, 0x2); // parts wider than a byte do not spill into their neighbours
    EXPECT_EQ(OnCamera(full, Cam::LedMode.value), 0x02FF01);
    ASSERT_EQ(facade.GetLedState(&mode, &a, &b), S_OK);
    EXPECT_EQ(Ints({mode, a, b}), Ints({1, 0, 0})) << "the camera's default";
    for (int32_t unknown : {2, 7}) {
        Script().cameraValues[Cam::LedDefault.value] = Variant::FromI4(0x140A00 | unknown);
        ASSERT_EQ(facade.GetLedState(&mode, &a, &b), S_OK);
        EXPECT_EQ(Ints({mode, a, b}), Ints({4, 10, 20})) << "unknown default state " << unknown;
    }
    Fail(Op::VideoGet);
    EXPECT_EQ(facade.GetLedState(&mode, &a, &b), E_FAIL);
    EXPECT_EQ(Ints({mode, a, b}), Ints({0, 0, 0})) << "outputs cleared first";
}

TEST_F(DeviceManagerOperationTest, CameraAnswersFollowTheModel) {
    // Pan and tilt need pan, tilt and zoom; focus details and face tracking need the full camera.
    const struct {
        const char* model;
        bool ptz, faces, moDetect;
        HRESULT focus;
        const char* driver;
    } cases[] = {
        {"full", true, true, true, S_OK, "granitevideo"},
        {"basic", false, false, false, E_NOTIMPL, "usbvideo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        cams_ = PlugCameras(1, c.model);
        CGraniteDeviceManager& facade = Open();
        ASSERT_EQ(facade.SelectVideoDeviceById(cams_[0]), S_OK);
        bool ptz = !c.ptz, moDetect = !c.moDetect, faces = !c.faces, teleport = true;
        EXPECT_EQ(facade.GetPtzSupport(&ptz), S_OK);
        EXPECT_EQ(facade.IsFeatureSupported("MoDetect", &moDetect), S_OK);
        EXPECT_EQ(facade.IsFeatureSupportedOf(cams_[0], "Teleport", &teleport), S_OK);
        EXPECT_EQ(facade.IsMultipleFaceTrackingSupported(&faces), S_OK);
        EXPECT_EQ(std::tuple(ptz, moDetect, faces, teleport), std::tuple(c.ptz, c.moDetect, c.faces, false));
        int32_t a = 0, b = 0, d = 0, e = 0;
        EXPECT_EQ(facade.GetWebcamValueGDetails(&a, &b, &d, &e), c.focus);
        std::string driver = "stale";
        EXPECT_EQ(facade.TranslateDeviceId(cams_[0], driver), S_OK);
        EXPECT_EQ(driver, c.driver);
        ASSERT_EQ(hardware_->Unplug(DeviceKind::Camera, cams_[0]), S_OK);
        facade.Release();
        Pump();
    }
}

TEST_F(DeviceManagerOperationTest, CompositeReadsFillTheirOutputsInOrderAndNameTheProgramThatStreams) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    SetOnCamera(cams_[0], Cam::Focus.value, Variant::FromI4(140));
    int32_t a = 0, b = 0, c = 0, d = 0;
    ASSERT_EQ(facade.GetWebcamValueGDetails(&a, &b, &c, &d), S_OK);
    EXPECT_EQ(Ints({a, b, c, d}),
              Ints({OnA(Cam::Focus.min), OnA(Cam::Focus.max), OnA(Cam::FocusStep.value), 140}));
    bool flag = false;
    ASSERT_EQ(facade.GetProperty105And104(&flag, &a), S_OK);
    EXPECT_EQ(std::pair(flag, a), std::pair(true, OnA(Cam::Focus.companion)));
    EXPECT_EQ(facade.SetProperty94(3), S_OK); // written as is
    EXPECT_EQ(OnA(94), 3);
    std::string first = "old", second = "old";
    EXPECT_EQ(facade.GetDeviceStrings(0, first, second), S_OK);
    EXPECT_EQ(first + second, "") << "nobody streams";
    ASSERT_EQ(hardware_->StartStreaming(cams_[0], {"setup.exe", "/opt/setup/setup.exe", 4242}), S_OK);
    EXPECT_EQ(facade.GetDeviceStrings(0, first, second), S_OK);
    EXPECT_EQ(first + "|" + second, "setup.exe|/opt/setup/setup.exe");
    EXPECT_EQ(facade.GetDeviceStringsOf(cams_[0], 1, first, second), S_OK);
    EXPECT_EQ(first + "|" + second, "4242|setup.exe");
    Fail(Op::Translate);
    EXPECT_EQ(facade.TranslateDeviceId(cams_[0], first), E_FAIL);
    EXPECT_EQ(first, "");
    Fail(Op::Strings);
    second = "kept";
    EXPECT_EQ(facade.GetDeviceStrings(0, first, second), E_FAIL);
    EXPECT_EQ(second, "kept");
}

// The settings pane's tests drive volumes, the meter and the global options end to end; these are the
// facade's own rules for them.
TEST_F(DeviceManagerOperationTest, AudioOperationsWorkOnTheCurrentOrNamedMicrophone) {
    CGraniteDeviceManager& manager = Open();
    int32_t value = -1;
    EXPECT_EQ(manager.GetNoiseSuppression(&value), E_NOTIMPL) << "global options need a microphone";
    const std::string mic = Plug(DeviceKind::Microphone);
    manager.RefreshMicrophones();
    ASSERT_EQ(manager.SelectMicrophone(0), S_OK);
    Script().options[GDM_OPTION_ECHO_CANCELLATION] = Variant::FromI4(7); // a driver that keeps a number
    EXPECT_EQ(manager.GetEchoCancellation(&value), S_OK);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(manager.StartMicrophoneMonitor(), S_OK);
    EXPECT_EQ(States(DeviceKind::Microphone), (Calls{"selected", "monitoring"}));
    EXPECT_TRUE(SUCCEEDED(manager.StopMicrophoneMonitor()));
    EXPECT_EQ(States(DeviceKind::Microphone), Calls{"selected"});
    // Mute, echo cancellation (11) and noise suppression (12) of the named microphone are told apart.
    EXPECT_EQ(manager.SetMicrophoneMute(1), S_OK);
    Script().microphoneValues = {
        {DeviceProperty::Microphone::EchoCancellation.value, Variant::FromBool(true)},
        {DeviceProperty::Microphone::NoiseSuppression.value, Variant::FromBool(false)}};
    bool muted = false, echo = false, noise = true;
    EXPECT_EQ(manager.GetMicrophoneMuteOf(mic, &muted), S_OK);
    EXPECT_EQ(manager.GetMicrophoneFlag11Of(mic, &echo), S_OK);
    EXPECT_EQ(manager.GetMicrophoneFlag12Of(mic, &noise), S_OK);
    EXPECT_EQ(std::tuple(muted, echo, noise), std::tuple(true, true, false));
}

} // namespace
