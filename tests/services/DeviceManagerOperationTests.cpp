// Operations with their own rules: value mappings, LED packing, pan/tilt support, audio, HID and strings.
#include "DeviceManagerTestFixture.h"

namespace {

using M = IGraniteDeviceManager;
namespace Cam = DeviceProperty::Camera;

class DeviceManagerOperationTest : public DeviceManagerTest {
protected:
    CGraniteDeviceManager& Camera() { return OpenWithCurrentCamera(); }
    FakeDeviceManagerService::Device& CamA() { return *service_.FindCamera(kCamA); }
    // The number camera A holds in property p; -99 when it holds none.
    int32_t OnCamera(int32_t p) {
        int32_t n = -99;
        if (CamA().properties.count(p))
            CamA().properties[p].ToI4(n);
        return n;
    }
};

TEST_F(DeviceManagerOperationTest, ChoicesAreMappedBetweenTheProgramsValuesAndTheCamerasOwn) {
    CGraniteDeviceManager& facade = Camera();
    // Face tracking is stored as 0 off, 1 one face, 4 several faces; anything else is read back as a mode.
    for (auto [mode, stored] :
         std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 1}, {2, 4}, {3, 0}, {-1, 0}}) {
        EXPECT_EQ(facade.SetTriStateMode(mode), S_OK);
        EXPECT_EQ(OnCamera(Cam::FaceTracking.value), stored) << mode;
    }
    for (auto [stored, mode] :
         std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 2}, {9, 1}}) {
        CamA().properties[Cam::FaceTracking.value] = Variant::FromI4(stored);
        int32_t read = -1;
        EXPECT_EQ(facade.GetTriStateMode(&read), S_OK);
        EXPECT_EQ(read, mode) << stored;
        EXPECT_EQ(facade.GetTriStateModeRaw(&read), S_OK);
        EXPECT_EQ(read, stored);
    }
    // The power-line switch takes 0 to 2 only; a refused value leaves the camera's as it was.
    EXPECT_EQ(facade.SetAdvancedSwitchD(2), S_OK);
    for (int32_t refused : {3, -1})
        EXPECT_EQ(facade.SetAdvancedSwitchD(refused), E_FAIL);
    EXPECT_EQ(OnCamera(Cam::PowerLineFrequency.value), 2);
    // A focus status outside 0 to 3 reads as 2.
    for (auto [stored, expected] :
         std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 1}, {3, 3}, {4, 2}, {-1, 2}}) {
        CamA().properties[Cam::FocusStatus.value] = Variant::FromI4(stored);
        int32_t status = -9;
        EXPECT_EQ(facade.GetFocusStatus(&status), S_OK);
        EXPECT_EQ(status, expected) << stored;
    }
}

TEST_F(DeviceManagerOperationTest, LedModeIsPackedWithTheOlderPropertyAsFallback) {
    CGraniteDeviceManager& facade = Camera();
    EXPECT_EQ(facade.SetLed(2, 10, 20), S_OK);
    EXPECT_EQ(OnCamera(Cam::LedMode.value), 0x140A02);
    EXPECT_EQ(OnCamera(Cam::LedModeLegacy.value), -99) << "the older property is left alone";

    // A camera that refuses the newer property gets the older one; a mode it cannot show there becomes 2.
    service_.failing.insert("SetVideoProperty:90");
    EXPECT_EQ(facade.SetLed(2, 10, 20), S_OK);
    EXPECT_EQ(OnCamera(Cam::LedModeLegacy.value), 0x140A02);
    EXPECT_EQ(facade.SetLed(5, 0, 0), S_OK);
    EXPECT_EQ(OnCamera(Cam::LedModeLegacy.value), 2);
    EXPECT_EQ(OnCamera(Cam::LedMode.value), 0x140A02);

    service_.failing.insert("SetVideoProperty:91");
    EXPECT_EQ(facade.SetLed(1, 0, 0), E_FAIL);
    // Parts wider than a byte do not spill into their neighbours.
    service_.failing.clear();
    facade.SetLed(0x101, 0x1FF, 0x2);
    EXPECT_EQ(OnCamera(Cam::LedMode.value), 0x02FF01);
}

TEST_F(DeviceManagerOperationTest, LedSupportAndReadsPreferTheNewerPropertyAndMapUnknownStatesToFour) {
    CGraniteDeviceManager& facade = Camera();
    int32_t mode = -1, a = -1, b = -1;
    CamA().properties[Cam::LedMode.value] = Variant::FromI4(0x140A02);
    ASSERT_EQ(facade.GetLed(&mode, &a, &b), S_OK);
    EXPECT_EQ(std::vector<int32_t>({mode, a, b}), std::vector<int32_t>({2, 10, 20}));
    CamA().properties.erase(Cam::LedMode.value);
    CamA().properties[Cam::LedModeLegacy.value] = Variant::FromI4(0x030201);
    ASSERT_EQ(facade.GetLed(&mode, &a, &b), S_OK);
    EXPECT_EQ(std::vector<int32_t>({mode, a, b}), std::vector<int32_t>({1, 2, 3}));
    CamA().properties.erase(Cam::LedModeLegacy.value);
    EXPECT_EQ(facade.GetLed(&mode, &a, &b), E_FAIL);

    for (auto [raw, expected] : std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 1}, {2, 4}, {7, 4}}) {
        CamA().properties[Cam::LedDefault.value] = Variant::FromI4(0x140A00 | raw);
        ASSERT_EQ(facade.GetLedState(&mode, &a, &b), S_OK);
        EXPECT_EQ(std::vector<int32_t>({mode, a, b}), std::vector<int32_t>({expected, 10, 20})) << raw;
    }
    CamA().properties.erase(Cam::LedDefault.value);
    EXPECT_EQ(facade.GetLedState(&mode, &a, &b), E_FAIL);
    EXPECT_EQ(std::vector<int32_t>({mode, a, b}), std::vector<int32_t>({0, 0, 0})) << "outputs cleared first";

    // Control is offered with either property, the mode only with the newer one.
    bool supported = false;
    CamA().properties[Cam::LedModeLegacy.value] = Variant::FromI4(0);
    EXPECT_EQ(facade.IsLedControlSupported(&supported), S_OK);
    EXPECT_TRUE(supported);
    EXPECT_EQ(facade.IsLedModeSupported(&supported), S_OK);
    EXPECT_FALSE(supported);
    CamA().properties.erase(Cam::LedModeLegacy.value);
    EXPECT_EQ(facade.IsLedControlSupported(&supported), S_OK);
    EXPECT_FALSE(supported);
    CamA().properties[Cam::LedMode.value] = Variant::FromI4(0);
    EXPECT_EQ(facade.IsLedControlSupported(&supported), S_OK);
    EXPECT_TRUE(supported);
    EXPECT_EQ(facade.IsLedModeSupported(&supported), S_OK);
    EXPECT_TRUE(supported);
}

TEST_F(DeviceManagerOperationTest, PanTiltSupportNeedsPanTiltAndZoom) {
    CGraniteDeviceManager& facade = Camera();
    const int32_t needed[] = {Cam::Zoom.min, Cam::Zoom.value, Cam::Pan.value, Cam::Tilt.value};
    for (int32_t missing : needed) {
        for (int32_t p : needed)
            CamA().properties[p] = Variant::FromI4(1);
        bool supported = false;
        EXPECT_EQ(facade.GetPtzSupport(&supported), S_OK);
        EXPECT_TRUE(supported);
        CamA().properties.erase(missing);
        EXPECT_EQ(facade.GetPtzSupportOf(kCamA, &supported), S_OK);
        EXPECT_FALSE(supported) << "without " << missing;
    }
}

TEST_F(DeviceManagerOperationTest, CompositeReadsFillTheirOutputsInOrder) {
    CGraniteDeviceManager& facade = Camera();
    for (int p :
         {Cam::Focus.min, Cam::Focus.max, Cam::Focus.value, Cam::FocusStep.value, Cam::Focus.companion})
        CamA().properties[p] = Variant::FromI4(p);
    CamA().properties[Cam::AutoFocus.companion] = Variant::FromBool(true);
    int32_t a = 0, b = 0, c = 0, d = 0;
    ASSERT_EQ(facade.GetWebcamValueGDetails(&a, &b, &c, &d), S_OK);
    EXPECT_EQ(std::vector<int32_t>({a, b, c, d}),
              std::vector<int32_t>({Cam::Focus.min, Cam::Focus.max, Cam::FocusStep.value, Cam::Focus.value}));
    bool flag = false;
    ASSERT_EQ(facade.GetProperty105And104(&flag, &a), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(a, Cam::Focus.companion);
    CamA().properties.erase(Cam::Focus.value);
    EXPECT_EQ(facade.GetWebcamValueGDetails(&a, &b, &c, &d), E_NOTIMPL);
    // Property 94 is written as is and answers with the service's own result.
    EXPECT_EQ(facade.SetProperty94(3), S_OK);
    EXPECT_EQ(OnCamera(94), 3);
    service_.failing.insert("SetVideoProperty:94");
    EXPECT_EQ(facade.SetProperty94(4), E_FAIL);
}

TEST_F(DeviceManagerOperationTest, FeatureQueriesNameTheCameraAndTheFeature) {
    CGraniteDeviceManager& facade = Camera();
    service_.features = {"MoDetect", "FaceTracking", "flag26"};
    bool supported = false;
    EXPECT_EQ(facade.IsFeatureSupported("MoDetect", &supported), S_OK);
    EXPECT_TRUE(supported);
    EXPECT_EQ(facade.IsFeatureSupportedOf(kCamA, "Avatar", &supported), S_OK);
    EXPECT_FALSE(supported);
    EXPECT_EQ(facade.IsFaceTrackingSupported(&supported), S_OK);
    EXPECT_TRUE(supported);
    EXPECT_EQ(facade.IsMultipleFaceTrackingSupported(&supported), S_OK);
    EXPECT_FALSE(supported);
    EXPECT_EQ(facade.GetProperty26Flag(&supported), S_OK);
    EXPECT_TRUE(supported);
    service_.failing.insert("IsFeatureSupported");
    supported = true;
    EXPECT_EQ(facade.IsFeatureSupported("MoDetect", &supported), E_FAIL);
}

TEST_F(DeviceManagerOperationTest, CameraStringsAndTranslation) {
    CGraniteDeviceManager& facade = Camera();
    std::string first = "old", second = "old";
    EXPECT_EQ(facade.GetDeviceStrings(0, first, second), S_OK);
    EXPECT_EQ(first, "holder-" + kCamA + "#0");
    EXPECT_EQ(second, "holder.exe");
    EXPECT_EQ(facade.GetDeviceStringsOf(kCamB, 1, first, second), S_OK)
        << "unlisted ids still reach the service";
    EXPECT_EQ(first, "holder-" + kCamB + "#1");

    std::string out = "stale";
    EXPECT_EQ(facade.TranslateDeviceId(kCamA, out), S_OK);
    EXPECT_EQ(out, "driver:" + kCamA);
    service_.failing.insert("TranslateDeviceId");
    EXPECT_EQ(facade.TranslateDeviceId(kCamA, out), E_FAIL);
    EXPECT_EQ(out, "");
    service_.failing.insert("GetDeviceStrings");
    first = "kept";
    EXPECT_EQ(facade.GetDeviceStrings(0, first, second), E_FAIL);
    EXPECT_EQ(first, "kept");
}

TEST_F(DeviceManagerOperationTest, GlobalAudioOptionsAreSwitches) {
    IGraniteDeviceManager* manager = Open();
    int32_t on = -1;
    EXPECT_EQ(manager->GetNoiseSuppression(&on), E_NOTIMPL);
    EXPECT_EQ(manager->SetNoiseSuppression(1), S_OK);
    EXPECT_EQ(manager->SetEchoCancellation(0), S_OK);
    EXPECT_EQ(manager->GetNoiseSuppression(&on), S_OK);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(manager->GetEchoCancellation(&on), S_OK);
    EXPECT_EQ(on, 0);
    // The service keeps them as true/false switches, not as numbers.
    EXPECT_EQ(service_.globalOptions.at(1).Type(), VarType::Bool);
    EXPECT_EQ(service_.globalOptions.at(1).GetBool(), VARIANT_TRUE);
    EXPECT_EQ(service_.globalOptions.at(0).Type(), VarType::Bool);
    EXPECT_EQ(service_.globalOptions.at(0).GetBool(VARIANT_TRUE), VARIANT_FALSE);
    service_.globalOptions[0] = Variant::FromI4(7);
    EXPECT_EQ(manager->GetEchoCancellation(&on), S_OK);
    EXPECT_EQ(on, 7);
    service_.failing.insert("GetGlobalOption");
    EXPECT_EQ(manager->GetEchoCancellation(&on), E_FAIL);
    EXPECT_EQ(manager->GetEchoCancellation(nullptr), E_FAIL);
}

TEST_F(DeviceManagerOperationTest, MicrophoneOperationsWorkOnTheCurrentOrNamedMicrophone) {
    auto mic = FakeDeviceManagerService::Audio("mic1", "Mic");
    for (int p = 4; p <= 10; ++p)
        mic.properties[p] = Variant::FromI4(p * 10);
    mic.properties[11] = Variant::FromBool(true);
    mic.properties[12] = Variant::FromBool(false);
    service_.microphones = {mic};
    IGraniteDeviceManager* manager = Open();
    ASSERT_EQ(manager->SelectMicrophone(0), S_OK);

    int32_t min = 0, max = 0, value = 0;
    ASSERT_EQ(manager->GetMicrophoneVolumeRange(&min, &max, &value), S_OK);
    EXPECT_EQ(std::vector<int32_t>({min, max, value}), std::vector<int32_t>({40, 50, 60}));
    ASSERT_EQ(manager->GetMicrophoneLevelRange(&min, &max, &value), S_OK);
    EXPECT_EQ(std::vector<int32_t>({min, max, value}), std::vector<int32_t>({70, 80, 90}));
    EXPECT_EQ(manager->SetMicrophoneMute(1), S_OK);
    EXPECT_EQ(manager->SetMicrophoneVolume(33), S_OK);
    ASSERT_EQ(manager->GetMicrophoneVolumeRange(&min, &max, &value), S_OK);
    EXPECT_EQ(value, 33);
    // Monitoring runs the level meter too; stopping the monitor alone leaves the meter running.
    const std::set<std::string> mic1{"mic1"}, none;
    EXPECT_EQ(manager->StartMicrophoneMonitor(), S_OK);
    EXPECT_EQ(std::pair(service_.monitoring, service_.metering), std::pair(mic1, mic1));
    EXPECT_EQ(manager->StopMicrophoneMonitorOnly(), S_OK);
    EXPECT_EQ(std::pair(service_.monitoring, service_.metering), std::pair(none, mic1));
    EXPECT_EQ(manager->StartMicrophoneMonitor(), S_OK);
    EXPECT_EQ(manager->StopMicrophoneMonitor(), S_OK);
    EXPECT_EQ(std::pair(service_.monitoring, service_.metering), std::pair(none, none));

    int32_t muted = 0;
    bool flag = false;
    EXPECT_EQ(manager->GetMicrophoneMute(&muted), S_OK);
    EXPECT_EQ(muted, 1);
    EXPECT_EQ(manager->GetMicrophoneMuteOf("mic1", &flag), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(manager->GetMicrophoneMuteByName("mic1", &muted), S_OK);
    EXPECT_EQ(manager->GetMicrophoneFlag11Of("mic1", &flag), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(manager->GetMicrophoneFlag12Of("mic1", &flag), S_OK);
    EXPECT_FALSE(flag);
    EXPECT_EQ(manager->HasMicrophoneVolumeOf("mic1", &flag), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(manager->HasMicrophoneVolumeOf("gone", &flag), S_OK);
    EXPECT_FALSE(flag);
    std::string id;
    EXPECT_EQ(manager->GetMicrophoneIdAt(0, id), S_OK);
    EXPECT_EQ(id, "mic1");
    EXPECT_EQ(manager->GetMicrophoneIdAt(3, id), E_FAIL);

    service_.failing.insert("StartMicMonitor");
    EXPECT_EQ(manager->StartMicrophoneMonitor(), E_FAIL);
    EXPECT_EQ(manager->Reserved172(1, 2, 3), E_FAIL);
    EXPECT_EQ(manager->Reserved175(), S_OK);
}

TEST_F(DeviceManagerOperationTest, SpeakerOperationsWorkOnTheCurrentSpeaker) {
    auto speaker = FakeDeviceManagerService::Audio("spk1", "Speaker");
    speaker.properties[8] = Variant::FromI4(70);
    speaker.properties[9] = Variant::FromI4(0);
    service_.speakers = {speaker};
    IGraniteDeviceManager* manager = Open();
    ASSERT_EQ(manager->SelectSpeaker(0), S_OK);
    service_.stopSoundStatus = S_FALSE;

    int32_t value = 0;
    EXPECT_EQ(manager->GetSpeakerVolume(&value), S_OK);
    EXPECT_EQ(value, 70);
    EXPECT_EQ(manager->SetSpeakerVolume(30), S_OK);
    EXPECT_EQ(manager->SetSpeakerMute(1), S_OK);
    EXPECT_EQ(manager->GetSpeakerMute(&value), S_OK);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(manager->SpeakerCommand63(), S_OK);
    EXPECT_EQ(manager->SpeakerCommand64(), S_OK);
    EXPECT_EQ(manager->PlaySoundFile("/sounds/ring.wav"), S_OK);
    EXPECT_EQ(manager->PlaySoundFile(""), E_FAIL);
    EXPECT_EQ(service_.playing, (std::map<std::string, std::string>{{"spk1", "/sounds/ring.wav"}}));
    EXPECT_EQ(manager->StopSoundFile(), S_FALSE) << "the service's own answer";
    EXPECT_TRUE(service_.playing.empty());
    EXPECT_EQ(manager->GetSpeakerVolume(&value), S_OK);
    EXPECT_EQ(value, 30);
}

TEST_F(DeviceManagerOperationTest, HidOperationsWriteTheirValuesOnTheNamedDevice) {
    service_.hids = {
        FakeDeviceManagerService::Device{"hid1", {{1, Variant::FromI4(1)}, {2, Variant::FromI4(2)}}}};
    IGraniteDeviceManager* manager = Open();
    EXPECT_FALSE(manager->IsHidProperty5Supported("hid1"));
    EXPECT_EQ(manager->EnableHidProperty5("hid1"), S_OK);
    EXPECT_TRUE(manager->IsHidProperty5Supported("hid1"));
    EXPECT_TRUE(manager->GetHidProperty5("hid1"));
    EXPECT_EQ(manager->DisableHidProperty5("hid1"), S_OK);
    EXPECT_FALSE(manager->GetHidProperty5("hid1"));
    EXPECT_EQ(manager->SetHidProperty6("hid1", 12), S_OK);
    int32_t value = 0;
    EXPECT_EQ(manager->GetHidProperty6("hid1", &value), S_OK);
    EXPECT_EQ(value, 12);
    // Property 4 takes a 33-byte report: report id 1, the command byte, then zeros.
    for (auto [set, command] : {std::pair(&M::SetHidProperty4, 32), std::pair(&M::SetHidProperty4b, 37)}) {
        EXPECT_EQ((manager->*set)("hid1"), S_OK);
        std::vector<uint8_t> report(33, 0);
        report[0] = 1;
        report[1] = static_cast<uint8_t>(command);
        EXPECT_EQ(service_.hids[0].properties[4].GetBytes(), report) << command;
    }
    EXPECT_EQ(manager->SetHidProperty6("", 1), E_FAIL);
    EXPECT_EQ(manager->EnableHidProperty5("nope"), E_FAIL);
}

TEST_F(DeviceManagerOperationTest, StoredStringsNeedTextToSetAndGoToTheirOwnSlots) {
    IGraniteDeviceManager* manager = Open();
    const std::pair<HRESULT (M::*)(const std::string&), HRESULT (M::*)(std::string&)> accessors[] = {
        {&M::SetServiceString1, &M::GetServiceString1},
        {&M::SetServiceString2, &M::GetServiceString2},
        {&M::SetServiceString3, &M::GetServiceString3},
        {&M::SetServiceString4, &M::GetServiceString4}};
    EXPECT_EQ(manager->SetServiceString1(""), E_FAIL);
    EXPECT_EQ(service_.strings[1], "");
    for (size_t i = 0; i < std::size(accessors); ++i)
        EXPECT_EQ((manager->*accessors[i].first)("value" + std::to_string(i)), S_OK);
    for (size_t i = 0; i < std::size(accessors); ++i) {
        std::string value;
        EXPECT_EQ((manager->*accessors[i].second)(value), S_OK);
        EXPECT_EQ(value, "value" + std::to_string(i));
    }
    std::string value;
    EXPECT_EQ(manager->GetServiceText66(value), S_OK);
    EXPECT_EQ(value, "service 1.0");
    service_.failing.insert("GetStringValue3");
    value = "kept";
    EXPECT_EQ(manager->GetServiceString3(value), E_FAIL);
    EXPECT_EQ(value, "kept");
}

} // namespace
