// Operations with their own rules: value mappings, LED packing, pan/tilt support, audio, HID and strings.
#include "DeviceManagerTestFixture.h"

#include <QFile>

namespace {

using M = IGraniteDeviceManager;
namespace Cam = DeviceProperty::Camera;
using Triple = std::vector<int32_t>;

class DeviceManagerOperationTest : public DeviceManagerTest {
protected:
    // The facade with a camera of the model current.
    CGraniteDeviceManager& Camera(const std::string& model = "full") {
        cams_ = PlugCameras(1, model);
        CGraniteDeviceManager& facade = Open();
        EXPECT_EQ(facade.SelectVideoDevice(0), S_OK);
        return facade;
    }
    int32_t OnA(int32_t p) { return OnCamera(cams_[0], p); }
    // A playable sound of about a second.
    std::string WaveFile() {
        const std::string path = env_.Path("ring.wav");
        QByteArray wave(
            "RIFF\x24\x1f\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0data"
            "\0\x1f\0\0",
            44);
        wave.append(QByteArray(0x1f00, '\x80'));
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(wave);
        return path;
    }
    std::vector<std::string> States(DeviceKind kind) {
        for (const Granite::DeviceSummary& d : hardware_->Devices())
            if (d.kind == kind)
                return d.states;
        return {};
    }
};

TEST_F(DeviceManagerOperationTest, ChoicesAreMappedBetweenTheProgramsValuesAndTheCamerasOwn) {
    CGraniteDeviceManager& facade = Camera();
    // Face tracking is stored as 0 off, 1 one face, 4 several faces.
    for (auto [mode, stored] :
         std::vector<std::pair<int32_t, int32_t>>{{2, 4}, {1, 1}, {0, 0}, {2, 4}, {3, 0}}) {
        EXPECT_EQ(facade.SetTriStateMode(mode), S_OK);
        EXPECT_EQ(OnA(Cam::FaceTracking.value), stored) << mode;
    }
    // The camera stores 0, 1 and 4; other values, as some firmware answers them, read as off (2) or one face.
    for (auto [stored, mode] :
         std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 1}, {4, 2}, {2, 0}, {3, 1}, {9, 1}}) {
        if (stored == 0 || stored == 1 || stored == 4)
            SetOnCamera(cams_[0], Cam::FaceTracking.value, Variant::FromI4(stored));
        else
            Script().cameraValues[Cam::FaceTracking.value] = Variant::FromI4(stored);
        int32_t read = -1;
        EXPECT_EQ(facade.GetTriStateMode(&read), S_OK);
        EXPECT_EQ(read, mode) << stored;
        EXPECT_EQ(facade.GetTriStateModeRaw(&read), S_OK);
        EXPECT_EQ(read, stored);
    }
    // The power-line switch takes 0 to 2 only; a refused value leaves the camera's as it was.
    EXPECT_EQ(facade.SetAdvancedSwitchD(0), S_OK);
    for (int32_t refused : {3, -1})
        EXPECT_EQ(facade.SetAdvancedSwitchD(refused), E_FAIL);
    EXPECT_EQ(OnA(Cam::PowerLineFrequency.value), 0);
    // A focus status outside 0 to 3 reads as 2.
    for (auto [stored, expected] :
         std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 1}, {3, 3}, {4, 2}, {-1, 2}}) {
        SetOnCamera(cams_[0], Cam::FocusStatus.value, Variant::FromI4(stored));
        int32_t status = -9;
        EXPECT_EQ(facade.GetFocusStatus(&status), S_OK);
        EXPECT_EQ(status, expected) << stored;
    }
}

TEST_F(DeviceManagerOperationTest, LedModeIsPackedAndReadFromTheNewerPropertyWhereTheCameraHasIt) {
    CGraniteDeviceManager& facade = Camera();
    EXPECT_EQ(facade.SetLed(2, 10, 20), S_OK);
    EXPECT_EQ(OnA(Cam::LedMode.value), 0x140A02);
    int32_t mode = -1, a = -1, b = -1;
    ASSERT_EQ(facade.GetLed(&mode, &a, &b), S_OK);
    EXPECT_EQ(Triple({mode, a, b}), Triple({2, 10, 20}));
    // Parts wider than a byte do not spill into their neighbours.
    facade.SetLed(0x101, 0x1FF, 0x2);
    EXPECT_EQ(OnA(Cam::LedMode.value), 0x02FF01);
    ASSERT_EQ(facade.GetLedState(&mode, &a, &b), S_OK);
    EXPECT_EQ(Triple({mode, a, b}), Triple({1, 0, 0})) << "the camera's default";
    for (int32_t unknown : {2, 7}) {
        Script().cameraValues[Cam::LedDefault.value] = Variant::FromI4(0x140A00 | unknown);
        ASSERT_EQ(facade.GetLedState(&mode, &a, &b), S_OK);
        EXPECT_EQ(Triple({mode, a, b}), Triple({4, 10, 20})) << "unknown default state " << unknown;
    }
    bool supported = false;
    EXPECT_EQ(facade.IsLedControlSupported(&supported), S_OK);
    EXPECT_TRUE(supported);
    EXPECT_EQ(facade.IsLedModeSupported(&supported), S_OK);
    EXPECT_TRUE(supported);

    Fail(Op::VideoSet);
    EXPECT_EQ(facade.SetLed(1, 0, 0), E_FAIL);
    Fail(Op::VideoGet);
    EXPECT_EQ(facade.GetLedState(&mode, &a, &b), E_FAIL);
    EXPECT_EQ(Triple({mode, a, b}), Triple({0, 0, 0})) << "outputs cleared first";
}

TEST_F(DeviceManagerOperationTest, ACameraWithTheOlderLedFirmwareGetsTheOlderPropertyAndNoModes) {
    CGraniteDeviceManager& facade = Camera("basic");
    EXPECT_EQ(facade.SetLed(2, 10, 20), S_OK);
    EXPECT_EQ(OnA(Cam::LedModeLegacy.value), 0x140A02);
    int32_t mode = -1, a = -1, b = -1;
    ASSERT_EQ(facade.GetLed(&mode, &a, &b), S_OK);
    EXPECT_EQ(Triple({mode, a, b}), Triple({2, 10, 20}));
    EXPECT_EQ(facade.SetLed(5, 0, 0), S_OK);
    EXPECT_EQ(OnA(Cam::LedModeLegacy.value), 2) << "a mode it cannot show becomes 2";
    bool supported = false;
    EXPECT_EQ(facade.IsLedControlSupported(&supported), S_OK);
    EXPECT_TRUE(supported);
    EXPECT_EQ(facade.IsLedModeSupported(&supported), S_OK);
    EXPECT_FALSE(supported);
}

TEST_F(DeviceManagerOperationTest, CameraAnswersFollowTheModel) {
    // Pan and tilt need pan, tilt and zoom; focus details and face tracking need the full camera.
    struct Case {
        const char* model;
        bool ptz, faces, moDetect;
        HRESULT focus;
        const char* driver;
    } cases[] = {
        {"full", true, true, true, S_OK, "granitevideo"},
        {"basic", false, false, false, E_NOTIMPL, "usbvideo"},
    };
    for (const Case& c : cases) {
        cams_ = PlugCameras(1, c.model);
        CGraniteDeviceManager& facade = Open();
        ASSERT_EQ(facade.SelectVideoDeviceById(cams_[0]), S_OK);
        bool flag = !c.ptz;
        EXPECT_EQ(facade.GetPtzSupport(&flag), S_OK);
        EXPECT_EQ(flag, c.ptz) << c.model;
        flag = !c.ptz;
        EXPECT_EQ(facade.GetPtzSupportOf(cams_[0], &flag), S_OK);
        EXPECT_EQ(flag, c.ptz) << c.model;
        EXPECT_EQ(facade.IsFeatureSupported("MoDetect", &flag), S_OK);
        EXPECT_EQ(flag, c.moDetect) << c.model;
        EXPECT_EQ(facade.IsFeatureSupportedOf(cams_[0], "Teleport", &flag), S_OK);
        EXPECT_FALSE(flag);
        EXPECT_EQ(facade.IsFaceTrackingSupported(&flag), S_OK);
        EXPECT_EQ(flag, c.faces) << c.model;
        EXPECT_EQ(facade.IsMultipleFaceTrackingSupported(&flag), S_OK);
        EXPECT_EQ(flag, c.faces) << c.model;
        int32_t a = 0, b = 0, d = 0, e = 0;
        EXPECT_EQ(facade.GetWebcamValueGDetails(&a, &b, &d, &e), c.focus) << c.model;
        std::string driver = "stale";
        EXPECT_EQ(facade.TranslateDeviceId(cams_[0], driver), S_OK);
        EXPECT_EQ(driver, c.driver);
        ASSERT_EQ(hardware_->Unplug(DeviceKind::Camera, cams_[0]), S_OK);
        facade.Release();
        Pump();
    }
}

TEST_F(DeviceManagerOperationTest, CompositeReadsFillTheirOutputsInOrder) {
    CGraniteDeviceManager& facade = Camera();
    SetOnCamera(cams_[0], Cam::Focus.value, Variant::FromI4(140));
    int32_t a = 0, b = 0, c = 0, d = 0;
    ASSERT_EQ(facade.GetWebcamValueGDetails(&a, &b, &c, &d), S_OK);
    EXPECT_EQ(
        std::vector<int32_t>({a, b, c, d}),
        std::vector<int32_t>({OnA(Cam::Focus.min), OnA(Cam::Focus.max), OnA(Cam::FocusStep.value), 140}));
    bool flag = false;
    ASSERT_EQ(facade.GetProperty105And104(&flag, &a), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(a, OnA(Cam::Focus.companion));
    // Property 94 is written as is and answers with the service's own result.
    EXPECT_EQ(facade.SetProperty94(3), S_OK);
    EXPECT_EQ(OnA(94), 3);
    Fail(Op::VideoSet);
    EXPECT_EQ(facade.SetProperty94(4), E_FAIL);
    Fail(Op::Feature);
    flag = true;
    EXPECT_EQ(facade.IsFeatureSupported("MoDetect", &flag), E_FAIL);
}

TEST_F(DeviceManagerOperationTest, CameraStringsNameTheProgramThatStreams) {
    CGraniteDeviceManager& facade = Camera();
    std::string first = "old", second = "old";
    EXPECT_EQ(facade.GetDeviceStrings(0, first, second), S_OK);
    EXPECT_EQ(std::pair(first, second), std::pair(std::string(), std::string())) << "nobody streams";
    ASSERT_EQ(hardware_->StartStreaming(cams_[0], {"setup.exe", "/opt/setup/setup.exe", 4242}), S_OK);
    EXPECT_EQ(facade.GetDeviceStrings(0, first, second), S_OK);
    EXPECT_EQ(std::pair(first, second),
              std::pair(std::string("setup.exe"), std::string("/opt/setup/setup.exe")));
    EXPECT_EQ(facade.GetDeviceStringsOf(cams_[0], 1, first, second), S_OK);
    EXPECT_EQ(std::pair(first, second), std::pair(std::string("4242"), std::string("setup.exe")));

    std::string out = "stale";
    Fail(Op::Translate);
    EXPECT_EQ(facade.TranslateDeviceId(cams_[0], out), E_FAIL);
    EXPECT_EQ(out, "");
    Fail(Op::Strings);
    first = "kept";
    EXPECT_EQ(facade.GetDeviceStrings(0, first, second), E_FAIL);
    EXPECT_EQ(first, "kept");
}

TEST_F(DeviceManagerOperationTest, GlobalAudioOptionsAreSwitchesThatNeedAMicrophone) {
    CGraniteDeviceManager& manager = Open();
    int32_t on = -1;
    EXPECT_EQ(manager.GetNoiseSuppression(&on), E_NOTIMPL);
    RecordingListener listener;
    manager.AddListener(&listener, 1);
    Plug(DeviceKind::Microphone);
    EXPECT_EQ(manager.SetNoiseSuppression(1), S_OK);
    EXPECT_EQ(manager.SetEchoCancellation(0), S_OK);
    EXPECT_EQ(manager.GetNoiseSuppression(&on), S_OK);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(manager.GetEchoCancellation(&on), S_OK);
    EXPECT_EQ(on, 0);
    EXPECT_TRUE(HearsSoon(listener, "Echo(0)"));
    EXPECT_TRUE(listener.Heard("Noise(1)"));
    EXPECT_EQ(manager.GetEchoCancellation(nullptr), E_FAIL);
    Script().options[GDM_OPTION_ECHO_CANCELLATION] = Variant::FromI4(7); // a driver that keeps a number
    EXPECT_EQ(manager.GetEchoCancellation(&on), S_OK);
    EXPECT_EQ(on, 7);
    Fail(Op::Options);
    EXPECT_EQ(manager.GetEchoCancellation(&on), E_FAIL);
}

TEST_F(DeviceManagerOperationTest, MicrophoneOperationsWorkOnTheCurrentOrNamedMicrophone) {
    const std::string mic = Plug(DeviceKind::Microphone);
    CGraniteDeviceManager& manager = Open();
    ASSERT_EQ(manager.SelectMicrophone(0), S_OK);

    int32_t min = 0, max = 0, value = 0;
    ASSERT_EQ(manager.GetMicrophoneVolumeRange(&min, &max, &value), S_OK);
    EXPECT_EQ(Triple({min, max, value}), Triple({0, 100, 75}));
    ASSERT_EQ(manager.GetMicrophoneLevelRange(&min, &max, &value), S_OK);
    EXPECT_EQ(Triple({min, max, value}), Triple({0, 100, 0}));
    // Monitoring runs the level meter too (levels are scaled by the volume, 75); stopping the monitor
    // alone leaves the meter running.
    hardware_->SetLevelPeriod(std::chrono::milliseconds(1));
    ASSERT_EQ(hardware_->SetMicrophoneInput(mic, 100), S_OK);
    RecordingListener listener;
    manager.AddListener(&listener, 1);
    EXPECT_EQ(manager.StartMicrophoneMonitor(), S_OK);
    EXPECT_TRUE(HearsSoon(listener, "MicLevel(1,75)"));
    EXPECT_EQ(States(DeviceKind::Microphone), (Calls{"selected", "monitoring"}));
    EXPECT_EQ(manager.StopMicrophoneMonitorOnly(), S_OK);
    EXPECT_EQ(States(DeviceKind::Microphone), Calls{"selected"});
    ASSERT_EQ(hardware_->SetMicrophoneInput(mic, 80), S_OK);
    EXPECT_TRUE(HearsSoon(listener, "MicLevel(1,60)")) << "the meter still runs";
    EXPECT_TRUE(SUCCEEDED(manager.StopMicrophoneMonitor()));

    EXPECT_EQ(manager.SetMicrophoneMute(1), S_OK);
    EXPECT_EQ(manager.SetMicrophoneVolume(33), S_OK);
    ASSERT_EQ(manager.GetMicrophoneVolumeRange(&min, &max, &value), S_OK);
    EXPECT_EQ(value, 33);
    int32_t muted = 0;
    bool flag = false;
    EXPECT_EQ(manager.GetMicrophoneMute(&muted), S_OK);
    EXPECT_EQ(muted, 1);
    EXPECT_EQ(manager.GetMicrophoneMuteOf(mic, &flag), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(manager.GetMicrophoneMuteByName(mic, &muted), S_OK);
    // Echo cancellation (11) and noise suppression (12) are told apart.
    for (auto [echo, noise] : {std::pair(true, false), std::pair(false, true)}) {
        Script().microphoneValues = {
            {DeviceProperty::Microphone::EchoCancellation.value, Variant::FromBool(echo)},
            {DeviceProperty::Microphone::NoiseSuppression.value, Variant::FromBool(noise)}};
        EXPECT_EQ(manager.GetMicrophoneFlag11Of(mic, &flag), S_OK);
        EXPECT_EQ(flag, echo);
        EXPECT_EQ(manager.GetMicrophoneFlag12Of(mic, &flag), S_OK);
        EXPECT_EQ(flag, noise);
    }
    EXPECT_EQ(manager.HasMicrophoneVolumeOf(mic, &flag), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(manager.HasMicrophoneVolumeOf("gone", &flag), S_OK);
    EXPECT_FALSE(flag);
    std::string id;
    EXPECT_EQ(manager.GetMicrophoneIdAt(0, id), S_OK);
    EXPECT_EQ(id, mic);
    EXPECT_EQ(manager.GetMicrophoneIdAt(3, id), E_FAIL);

    Fail(Op::MonitorStart);
    EXPECT_EQ(manager.StartMicrophoneMonitor(), E_FAIL);
    EXPECT_EQ(manager.Reserved172(1, 2, 3), E_FAIL);
    EXPECT_EQ(manager.Reserved175(), S_OK);
}

TEST_F(DeviceManagerOperationTest, SpeakerOperationsWorkOnTheCurrentSpeaker) {
    Plug(DeviceKind::Speaker);
    CGraniteDeviceManager& manager = Open();
    ASSERT_EQ(manager.SelectSpeaker(0), S_OK);

    int32_t value = 0;
    EXPECT_EQ(manager.GetSpeakerVolume(&value), S_OK);
    EXPECT_EQ(value, 60);
    EXPECT_EQ(manager.SetSpeakerVolume(30), S_OK);
    EXPECT_EQ(manager.SetSpeakerMute(1), S_OK);
    EXPECT_EQ(manager.GetSpeakerMute(&value), S_OK);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(manager.SpeakerCommand63(), S_OK);
    EXPECT_EQ(States(DeviceKind::Speaker), (Calls{"selected", "playing test tone"}));
    EXPECT_EQ(manager.SpeakerCommand64(), S_OK);
    EXPECT_EQ(manager.PlaySoundFile(WaveFile()), S_OK);
    EXPECT_EQ(manager.PlaySoundFile(""), E_FAIL);
    EXPECT_EQ(States(DeviceKind::Speaker), (Calls{"selected", "playing ring.wav"}));
    EXPECT_EQ(manager.StopSoundFile(), S_OK);
    EXPECT_EQ(States(DeviceKind::Speaker), Calls{"selected"});
    EXPECT_EQ(manager.StopSoundFile(), S_FALSE) << "the service's own answer";
    EXPECT_EQ(manager.GetSpeakerVolume(&value), S_OK);
    EXPECT_EQ(value, 30);
}

TEST_F(DeviceManagerOperationTest, HidOperationsWriteTheirValuesOnTheNamedDevice) {
    const std::string hid = Plug(DeviceKind::Hid);
    CGraniteDeviceManager& manager = Open();
    EXPECT_TRUE(manager.IsHidProperty5Supported(hid));
    EXPECT_FALSE(manager.IsHidProperty5Supported("nope"));
    EXPECT_FALSE(manager.GetHidProperty5(hid));
    EXPECT_EQ(manager.EnableHidProperty5(hid), S_OK);
    EXPECT_TRUE(manager.GetHidProperty5(hid));
    EXPECT_EQ(manager.DisableHidProperty5(hid), S_OK);
    EXPECT_FALSE(manager.GetHidProperty5(hid));
    EXPECT_EQ(manager.SetHidProperty6(hid, 12), S_OK);
    int32_t value = 0;
    EXPECT_EQ(manager.GetHidProperty6(hid, &value), S_OK);
    EXPECT_EQ(value, 12);
    // Property 4 takes a 33-byte report: report id 1, the command byte, then zeros.
    for (auto [set, command] : {std::pair(&M::SetHidProperty4, 32), std::pair(&M::SetHidProperty4b, 37)}) {
        EXPECT_EQ((manager.*set)(hid), S_OK);
        std::vector<uint8_t> report(33, 0);
        report[0] = 1;
        report[1] = static_cast<uint8_t>(command);
        Variant stored;
        ASSERT_EQ(hardware_->Get(DeviceKind::Hid, hid, DeviceProperty::Hid::Report.value, &stored), S_OK);
        EXPECT_EQ(stored.GetBytes(), report) << command;
    }
    EXPECT_EQ(manager.SetHidProperty6("", 1), E_FAIL);
    EXPECT_EQ(manager.EnableHidProperty5("nope"), E_FAIL);
}

TEST_F(DeviceManagerOperationTest, StoredStringsNeedTextToSetAndGoToTheirOwnSlots) {
    CGraniteDeviceManager& manager = Camera();
    const std::pair<HRESULT (M::*)(const std::string&), HRESULT (M::*)(std::string&)> accessors[] = {
        {&M::SetServiceString1, &M::GetServiceString1},
        {&M::SetServiceString2, &M::GetServiceString2},
        {&M::SetServiceString3, &M::GetServiceString3},
        {&M::SetServiceString4, &M::GetServiceString4}};
    EXPECT_EQ(manager.SetServiceString1(""), E_FAIL);
    std::string value;
    EXPECT_EQ(manager.GetServiceString1(value), S_OK);
    EXPECT_EQ(value, cams_[0]) << "the preferred camera until one is chosen";
    // Range loops over the pointer pairs: GCC's bounds sanitizer misreads an indexed call through an array
    // of member-function pointers.
    int slot = 0;
    for (const auto& [set, get] : accessors)
        EXPECT_EQ((manager.*set)("value" + std::to_string(slot++)), S_OK);
    slot = 0;
    for (const auto& [set, get] : accessors) {
        EXPECT_EQ((manager.*get)(value), S_OK);
        EXPECT_EQ(value, "value" + std::to_string(slot++));
    }
    EXPECT_EQ(manager.GetServiceText66(value), S_OK);
    EXPECT_EQ(value, cams_[0]) << "the camera in use";
    Fail(Op::GetString3);
    value = "kept";
    EXPECT_EQ(manager.GetServiceString3(value), E_FAIL);
    EXPECT_EQ(value, "kept");
}

} // namespace
