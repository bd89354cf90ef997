// The forwarding operations over the service's property table: each operation reaches the property it is
// named for (every property of a camera holds a value of its own, so a wrong number reads a wrong value),
// and each shape reacts as it should to a missing camera, a missing property and a failing service.
#include "DeviceManagerTestFixture.h"

#include <tuple>

namespace {

using M = IGraniteDeviceManager;
using Info = DeviceProperty::Info;
namespace Cam = DeviceProperty::Camera;

using Get = HRESULT (M::*)(int32_t*);
using Set = HRESULT (M::*)(int32_t);
using Range = HRESULT (M::*)(int32_t*, int32_t*, int32_t*);
using GetOf = HRESULT (M::*)(const std::string&, int32_t*);

// Which operations each level carries; the numbers come from the table.
struct LevelOps {
    const Info& property;
    Get get;
    Get companion;
    Range range;
    Set set;
};

const LevelOps kLevels[] = {
    {Cam::Brightness, &M::GetWebcamLevelA, &M::GetWebcamLevelACompanion, &M::GetWebcamLevelARange,
     &M::SetWebcamLevelA},
    {Cam::Contrast, &M::GetWebcamLevelB, &M::GetWebcamLevelBCompanion, &M::GetWebcamLevelBRange,
     &M::SetWebcamLevelB},
    {Cam::Saturation, &M::GetWebcamLevelC, &M::GetWebcamLevelCCompanion, &M::GetWebcamLevelCRange,
     &M::SetWebcamLevelC},
    {Cam::WhiteBalance, &M::GetWebcamLevelD, &M::GetWebcamLevelDCompanion, &M::GetWebcamLevelDRange,
     &M::SetWebcamLevelD},
    {Cam::Zoom, &M::GetZoom, &M::GetZoomCompanion, &M::GetZoomRange, &M::SetZoom},
    {Cam::Pan, &M::GetPanTiltAxis1, &M::GetPanTiltAxis1Companion, &M::GetPanTiltAxis1Range,
     &M::SetPanTiltAxis1},
    {Cam::Tilt, &M::GetPanTiltAxis2, &M::GetPanTiltAxis2Companion, &M::GetPanTiltAxis2Range,
     &M::SetPanTiltAxis2},
    {Cam::Exposure, &M::GetAdvancedLevelA, &M::GetAdvancedLevelACompanion, &M::GetAdvancedLevelARange,
     &M::SetAdvancedLevelA},
    {Cam::Gain, &M::GetAdvancedLevelB, &M::GetAdvancedLevelBCompanion, &M::GetAdvancedLevelBRange,
     &M::SetAdvancedLevelB},
    {Cam::SunTuneA, &M::GetSunTuneLevelA, &M::GetSunTuneLevelACompanion, &M::GetSunTuneLevelARange,
     &M::SetSunTuneLevelA},
    {Cam::SunTuneB, &M::GetSunTuneLevelB, &M::GetSunTuneLevelBCompanion, &M::GetSunTuneLevelBRange,
     &M::SetSunTuneLevelB},
    {Cam::SunTuneC, &M::GetSunTuneLevelC, &M::GetSunTuneLevelCCompanion, &M::GetSunTuneLevelCRange,
     &M::SetSunTuneLevelC},
    {Cam::SunTuneD, &M::GetSunTuneLevelD, &M::GetSunTuneLevelDCompanion, &M::GetSunTuneLevelDRange,
     &M::SetSunTuneLevelD},
    {Cam::Backlight, &M::GetBacklight, &M::GetBacklightCompanion, &M::GetBacklightRange, &M::SetBacklight},
};

// Switches are asked for first (E_NOTIMPL when the camera lacks them); null where an operation is missing.
struct SwitchOps {
    const Info& property;
    Get get;
    Get companion;
    Set set;
    GetOf getOf;
};

const SwitchOps kSwitches[] = {
    {Cam::AutoExposure, &M::GetAdvancedSwitchA, &M::GetAdvancedSwitchACompanion, &M::SetAdvancedSwitchA,
     nullptr},
    {Cam::MirrorHorizontal, &M::GetAdvancedSwitchB, &M::GetAdvancedSwitchBCompanion, &M::SetAdvancedSwitchB,
     nullptr},
    {Cam::MirrorVertical, &M::GetAdvancedSwitchC, &M::GetAdvancedSwitchCCompanion, &M::SetAdvancedSwitchC,
     nullptr},
    {Cam::PowerLineFrequency, &M::GetAdvancedSwitchD, &M::GetAdvancedSwitchDCompanion, nullptr, nullptr},
    {Cam::FaceTracking, &M::GetTriStateModeRaw, &M::GetTriStateModeCompanion, nullptr, nullptr},
    {Cam::LowLightBoost, &M::GetLowLightBoost, &M::GetLowLightBoostCompanion, &M::SetLowLightBoost,
     &M::GetLowLightBoostOf},
    {Cam::ColorBoost, &M::GetColorBoost, &M::GetColorBoostCompanion, &M::SetColorBoost, &M::GetColorBoostOf},
    {Cam::SunTuneMode, &M::GetSunTuneMode, &M::GetSunTuneModeCompanion, &M::SetSunTuneMode,
     &M::GetSunTuneModeOf},
    {Cam::VideoMute, &M::GetVideoMute, nullptr, &M::SetVideoMute, nullptr},
    {Cam::PtzCapability, &M::GetPtzCapability, nullptr, nullptr, &M::GetPtzCapabilityOf},
    {Cam::PrivacyShutter, &M::GetMechanicalPrivacyShade, nullptr, nullptr, &M::GetMechanicalPrivacyShadeOf},
    {Cam::LowLightScene, &M::GetProperty86, nullptr, nullptr, &M::GetProperty86Of},
    {Cam::BacklitScene, &M::GetProperty87, nullptr, nullptr, &M::GetProperty87Of},
};

// Written only.
const std::pair<const Info&, Set> kCommands[] = {
    {Cam::MoveLeft, &M::PtzCommand77}, {Cam::MoveRight, &M::PtzCommand78}, {Cam::MoveUp, &M::PtzCommand79},
    {Cam::MoveDown, &M::PtzCommand80}, {Cam::Focus, &M::SetWebcamValueG},
};

const std::pair<const Info&, HRESULT (M::*)(bool*)> kFlags[] = {
    {Cam::AutoFocus, &M::GetAutoFocus},
    {Cam::AutoWhiteBalance, &M::GetWebcamSwitchE},
};

// The value camera `which` (0 or 1) holds in property p.
int32_t Stored(int32_t p, int which = 0) {
    return 1000 + p + which * 500;
}

class DeviceManagerPropertyTest : public DeviceManagerTest {
protected:
    void SetUp() override {
        DeviceManagerTest::SetUp();
        AddCameras({kCamA, kCamB});
        for (int which = 0; which < 2; ++which)
            for (const Info& p : Cam::kAll)
                for (int32_t n : {p.value, p.min, p.max, p.companion})
                    if (n != DeviceProperty::kNone && p.kind != DeviceProperty::Kind::Identity)
                        service_.cameras[static_cast<size_t>(which)].properties[n] =
                            Variant::FromI4(Stored(n, which));
    }
    Variant& OnA(int32_t p) { return service_.FindCamera(kCamA)->properties[p]; }
    int32_t NumberOnA(int32_t p) {
        int32_t n = 0;
        OnA(p).ToI4(n);
        return n;
    }
};

TEST_F(DeviceManagerPropertyTest, LevelsReadTheirValueCompanionAndRangeAndWriteTheirValue) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    for (const LevelOps& c : kLevels) {
        const std::string name = c.property.name;
        int32_t value = 0, min = 0, max = 0;
        EXPECT_EQ((facade.*c.get)(&value), S_OK) << name;
        EXPECT_EQ(value, Stored(c.property.value)) << name;
        EXPECT_EQ((facade.*c.companion)(&value), S_OK) << name;
        EXPECT_EQ(value, Stored(c.property.companion)) << name;
        EXPECT_EQ((facade.*c.range)(&min, &max, &value), S_OK) << name;
        EXPECT_EQ(std::tuple(min, max, value),
                  std::tuple(Stored(c.property.min), Stored(c.property.max), Stored(c.property.value)))
            << name;
        EXPECT_EQ((facade.*c.range)(&min, nullptr, &value), E_FAIL) << name;

        EXPECT_EQ((facade.*c.set)(-12), S_OK) << name;
        EXPECT_EQ(NumberOnA(c.property.value), -12) << name;
        service_.failing.insert("SetVideoProperty:" + std::to_string(c.property.value));
        EXPECT_EQ((facade.*c.set)(3), E_FAIL) << name;

        // A range that cannot be read whole, or a camera without the level, fills nothing.
        service_.failing.insert("GetVideoProperty:" + std::to_string(c.property.max));
        min = max = value = -1;
        EXPECT_EQ((facade.*c.range)(&min, &max, &value), E_FAIL) << name;
        EXPECT_EQ(std::tuple(min, max, value), std::tuple(-1, -1, -1)) << name;
        service_.FindCamera(kCamA)->properties.erase(c.property.value);
        EXPECT_EQ((facade.*c.range)(&min, &max, &value), E_NOTIMPL) << name;
        EXPECT_EQ(std::tuple(min, max, value), std::tuple(-1, -1, -1)) << name;
    }
}

TEST_F(DeviceManagerPropertyTest, SwitchesAreAskedForFirstAndWorkOnTheCurrentOrTheNamedCamera) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    for (const SwitchOps& c : kSwitches) {
        const std::string name = c.property.name;
        int32_t value = 0;
        EXPECT_EQ((facade.*c.get)(&value), S_OK) << name;
        EXPECT_EQ(value, Stored(c.property.value)) << name;
        if (c.companion != nullptr) {
            EXPECT_EQ((facade.*c.companion)(&value), S_OK) << name;
            EXPECT_EQ(value, Stored(c.property.companion)) << name;
        }
        if (c.getOf != nullptr) {
            EXPECT_EQ((facade.*c.getOf)(kCamB, &value), S_OK) << name;
            EXPECT_EQ(value, Stored(c.property.value, 1))
                << name << ": the named camera, not the current one";
            EXPECT_EQ((facade.*c.getOf)("", &value), E_FAIL) << name;
            EXPECT_EQ((facade.*c.getOf)(kCamB, nullptr), E_FAIL) << name;
        }
        if (c.set != nullptr) {
            EXPECT_EQ((facade.*c.set)(1), S_OK) << name;
            EXPECT_EQ(NumberOnA(c.property.value), 1) << name;
        }
        service_.FindCamera(kCamA)->properties.erase(c.property.value);
        value = -7;
        EXPECT_EQ((facade.*c.get)(&value), E_NOTIMPL) << name;
        EXPECT_EQ(value, -7) << name;
    }
}

TEST_F(DeviceManagerPropertyTest, CommandsAndFlagsReachTheirProperty) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    for (const auto& [property, set] : kCommands) {
        EXPECT_EQ((facade.*set)(-12), S_OK) << property.name;
        EXPECT_EQ(NumberOnA(property.value), -12) << property.name;
    }
    struct Value {
        Variant stored;
        bool on;
    };
    const Value values[] = {{Variant::FromBool(true), true},
                            {Variant::FromBool(false), false},
                            {Variant::FromI4(-1), true},
                            {Variant::FromI4(0x1FFFF), true}, // only the 16-bit payload counts
                            {Variant::FromI4(1), false}};
    for (const auto& [property, get] : kFlags) {
        for (size_t i = 0; i < std::size(values); ++i) {
            const Value& v = values[i];
            OnA(property.value) = v.stored;
            bool on = !v.on;
            EXPECT_EQ((facade.*get)(&on), S_OK) << property.name;
            EXPECT_EQ(on, v.on) << property.name << " value #" << i;
        }
        OnA(property.value) = Variant::FromString("on");
        bool on = false;
        EXPECT_EQ((facade.*get)(&on), E_FAIL) << property.name << ": text is not a switch";
    }
    EXPECT_EQ(facade.SetAutoFocus(true), S_OK);
    EXPECT_TRUE(GdmProperty::IsVariantTrue(OnA(Cam::AutoFocus.value)));
    EXPECT_EQ(facade.SetWebcamSwitchE(false), S_OK);
    EXPECT_FALSE(GdmProperty::IsVariantTrue(OnA(Cam::AutoWhiteBalance.value)));
    EXPECT_EQ(facade.ResetProperty41(), S_OK);
    EXPECT_EQ(NumberOnA(Cam::DigitalCentre.value), 0);
    EXPECT_EQ(facade.ClearProperty81(), S_OK);
    EXPECT_EQ(NumberOnA(Cam::MotorHome.value), 0);
    // The two named reads that do not ask first.
    int32_t backlight = 0;
    service_.FindCamera(kCamB)->properties[Cam::AutoFocus.value] = Variant::FromBool(true);
    EXPECT_EQ(facade.GetBacklightOf(kCamB, &backlight), S_OK);
    EXPECT_EQ(backlight, Stored(Cam::Backlight.value, 1));
    bool autoFocus = false;
    EXPECT_EQ(facade.GetAutoFocusOf(kCamB, &autoFocus), S_OK);
    EXPECT_TRUE(autoFocus);
    EXPECT_EQ(facade.SetSunTuneModeOf(kCamB, 10), S_OK);
    int32_t mode = 0;
    EXPECT_EQ(facade.GetSunTuneModeOf(kCamB, &mode), S_OK);
    EXPECT_EQ(mode, 10);
    EXPECT_EQ(NumberOnA(Cam::SunTuneMode.value), Stored(Cam::SunTuneMode.value)) << "only B changed";
}

TEST_F(DeviceManagerPropertyTest, WithoutACurrentCameraNothingReachesTheService) {
    // Cameras listed, none selected; each holds a value in every property, so any call that reached the
    // service with a listed id or with no id at all would succeed and change what is stored.
    service_.cameras.push_back(service_.cameras[0]);
    service_.cameras.back().id = "";
    service_.microphones = {FakeDeviceManagerService::Audio("mic1", "Mic")};
    service_.speakers = {FakeDeviceManagerService::Audio("spk1", "Speaker")};
    Open();
    CGraniteDeviceManager& facade = *CGraniteDeviceManager::Instance();
    std::vector<std::map<int32_t, Variant>> before;
    for (const auto& camera : service_.cameras)
        before.push_back(camera.properties);
    int32_t a = 0, b = 0, c = 0, d = 0;
    bool flag = false;
    std::string s1, s2;
    for (const LevelOps& l : kLevels) {
        EXPECT_EQ((facade.*l.get)(&a), E_FAIL) << l.property.name;
        EXPECT_EQ((facade.*l.range)(&a, &b, &c), E_FAIL) << l.property.name;
        EXPECT_EQ((facade.*l.set)(1), E_FAIL) << l.property.name;
    }
    for (const SwitchOps& s : kSwitches)
        EXPECT_EQ((facade.*s.get)(&a), E_FAIL) << s.property.name;
    for (const auto& [property, get] : kFlags)
        EXPECT_EQ((facade.*get)(&flag), E_FAIL) << property.name;
    EXPECT_EQ(facade.GetTriStateMode(&a), E_FAIL);
    EXPECT_EQ(facade.SetTriStateMode(1), E_FAIL);
    EXPECT_EQ(facade.GetPtzSupport(&flag), E_FAIL);
    EXPECT_EQ(facade.IsFeatureSupported("MoDetect", &flag), E_FAIL);
    EXPECT_EQ(facade.IsFaceTrackingSupported(&flag), E_FAIL);
    EXPECT_EQ(facade.GetDeviceStrings(0, s1, s2), E_FAIL);
    EXPECT_EQ(facade.SetLed(1, 2, 3), E_FAIL);
    EXPECT_EQ(facade.GetLedState(&a, &b, &c), E_FAIL);
    EXPECT_EQ(facade.GetWebcamValueGDetails(&a, &b, &c, &d), E_FAIL);
    EXPECT_EQ(facade.SetProperty94(1), E_FAIL);
    EXPECT_EQ(facade.GetProperty26Flag(&flag), E_FAIL);
    EXPECT_EQ(facade.GetMicrophoneMute(&a), E_FAIL);
    EXPECT_EQ(facade.SetSpeakerVolume(3), E_FAIL);
    EXPECT_EQ(facade.StartMicrophoneMonitor(), E_FAIL);
    EXPECT_EQ(facade.PlaySoundFile("/tmp/x.wav"), E_FAIL);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(service_.cameras[i].properties == before[i]) << i;
    EXPECT_TRUE(service_.attached.empty());
    EXPECT_TRUE(service_.monitoring.empty());
    EXPECT_TRUE(service_.playing.empty());
}

} // namespace
