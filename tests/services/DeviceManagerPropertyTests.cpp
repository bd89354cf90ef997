// The forwarding operations over the service's property table: each operation reaches the property it is
// named for (the test changes that property alone, so an operation reading another one sees a wrong value),
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

class DeviceManagerPropertyTest : public DeviceManagerTest {
protected:
    void SetUp() override {
        DeviceManagerTest::SetUp();
        a_ = Plug(DeviceKind::Camera, "full");
        b_ = Plug(DeviceKind::Camera, "full");
        basic_ = Plug(DeviceKind::Camera, "basic");
        ptz_ = Plug(DeviceKind::Camera, "ptz");
    }
    CGraniteDeviceManager& Select(const std::string& id) {
        CGraniteDeviceManager* facade = CGraniteDeviceManager::Instance();
        if (facade == nullptr)
            facade = &Open();
        EXPECT_EQ(facade->SelectVideoDeviceById(id), S_OK);
        return *facade;
    }
    bool Has(const std::string& id, int32_t p) {
        Variant value;
        return SUCCEEDED(hardware_->Get(DeviceKind::Camera, id, p, &value));
    }
    // Gives property p on a camera a value it does not hold yet (the first candidate the camera takes);
    // false when the camera takes none (a constant).
    bool Change(const std::string& id, int32_t p, std::initializer_list<int32_t> candidates = {1, 0, 10, 4}) {
        const int32_t before = OnCamera(id, p);
        for (int32_t v : candidates)
            if (v != before && SUCCEEDED(hardware_->Set(DeviceKind::Camera, id, p, Variant::FromI4(v),
                                                        Granite::WriteOrigin::Hardware)))
                return true;
        return false;
    }

    std::string a_, b_, basic_, ptz_;
};

TEST_F(DeviceManagerPropertyTest, LevelsReadTheirValueCompanionAndRangeAndWriteTheirValue) {
    for (const LevelOps& c : kLevels) {
        const std::string name = c.property.name;
        const std::string cam = Has(a_, c.property.value) ? a_ : basic_;
        CGraniteDeviceManager& facade = Select(cam);
        const int32_t min = OnCamera(cam, c.property.min), max = OnCamera(cam, c.property.max);
        ASSERT_TRUE(Change(cam, c.property.value, {min + 1, min + 2})) << name;
        const int32_t fresh = OnCamera(cam, c.property.value);
        int32_t value = 0, lo = 0, hi = 0;
        EXPECT_EQ((facade.*c.get)(&value), S_OK) << name;
        EXPECT_EQ(value, fresh) << name;
        EXPECT_EQ((facade.*c.companion)(&value), S_OK) << name;
        EXPECT_EQ(value, OnCamera(cam, c.property.companion)) << name;
        EXPECT_EQ((facade.*c.range)(&lo, &hi, &value), S_OK) << name;
        EXPECT_EQ(std::tuple(lo, hi, value), std::tuple(min, max, fresh)) << name;
        EXPECT_EQ((facade.*c.range)(&lo, nullptr, &value), E_FAIL) << name;

        EXPECT_EQ((facade.*c.set)(max - 1), S_OK) << name;
        EXPECT_EQ(OnCamera(cam, c.property.value), max - 1) << name;
        Fail(Op::VideoSet);
        EXPECT_EQ((facade.*c.set)(min), E_FAIL) << name;
        // A range that cannot be read fills nothing.
        Fail(Op::VideoGet);
        lo = hi = value = -1;
        EXPECT_EQ((facade.*c.range)(&lo, &hi, &value), E_FAIL) << name;
        EXPECT_EQ(std::tuple(lo, hi, value), std::tuple(-1, -1, -1)) << name;
        hardware_->Failures().ClearAll();
        // Nor does one whose maximum alone cannot be read.
        Script().failingReads = {{"", c.property.max}};
        EXPECT_EQ((facade.*c.range)(&lo, &hi, &value), E_FAIL) << name;
        EXPECT_EQ(std::tuple(lo, hi, value), std::tuple(-1, -1, -1)) << name;
        Script().failingReads.clear();
    }
    // A camera without the level answers that it has none, and fills nothing.
    CGraniteDeviceManager& facade = Select(basic_);
    int32_t lo = -1, hi = -1, value = -1;
    EXPECT_EQ(facade.GetZoomRange(&lo, &hi, &value), E_NOTIMPL);
    EXPECT_EQ(std::tuple(lo, hi, value), std::tuple(-1, -1, -1));
}

TEST_F(DeviceManagerPropertyTest, SwitchesAreAskedForFirstAndWorkOnTheCurrentOrTheNamedCamera) {
    for (const SwitchOps& c : kSwitches) {
        const std::string name = c.property.name;
        const std::string cam = c.property.value == Cam::PtzCapability.value ? ptz_ : a_;
        CGraniteDeviceManager& facade = Select(cam);
        const int32_t original = OnCamera(cam, c.property.value);
        Change(cam, c.property.value);
        int32_t value = 0;
        EXPECT_EQ((facade.*c.get)(&value), S_OK) << name;
        EXPECT_EQ(value, OnCamera(cam, c.property.value)) << name;
        if (c.companion != nullptr) {
            EXPECT_EQ((facade.*c.companion)(&value), S_OK) << name;
            EXPECT_EQ(value, OnCamera(cam, c.property.companion)) << name;
        }
        if (c.getOf != nullptr) {
            const std::string other = cam == a_ ? b_ : a_;
            EXPECT_NE(OnCamera(other, c.property.value), OnCamera(cam, c.property.value)) << name;
            EXPECT_EQ((facade.*c.getOf)(other, &value), S_OK) << name;
            EXPECT_EQ(value, OnCamera(other, c.property.value))
                << name << ": the named camera, not the current one";
            EXPECT_EQ((facade.*c.getOf)("", &value), E_FAIL) << name;
            EXPECT_EQ((facade.*c.getOf)(other, nullptr), E_FAIL) << name;
        }
        if (c.set != nullptr) {
            EXPECT_EQ((facade.*c.set)(original), S_OK) << name;
            EXPECT_EQ(OnCamera(cam, c.property.value), original) << name;
        }
        // The basic camera lacks most of them.
        if (!Has(basic_, c.property.value)) {
            CGraniteDeviceManager& basic = Select(basic_);
            value = -7;
            EXPECT_EQ((basic.*c.get)(&value), E_NOTIMPL) << name;
            EXPECT_EQ(value, -7) << name;
        }
    }
}

TEST_F(DeviceManagerPropertyTest, CommandsAndFlagsReachTheirProperty) {
    CGraniteDeviceManager& facade = Select(ptz_);
    SetOnCamera(ptz_, Cam::AutoFocus.value, Variant::FromBool(false)); // manual focus is refused otherwise
    for (const auto& [property, set] : kCommands) {
        EXPECT_EQ((facade.*set)(17), S_OK) << property.name;
        EXPECT_EQ(OnCamera(ptz_, property.value), 17) << property.name;
    }
    for (const auto& [property, get] : kFlags) {
        for (bool stored : {false, true}) {
            SetOnCamera(ptz_, property.value, Variant::FromBool(stored));
            bool on = !stored;
            EXPECT_EQ((facade.*get)(&on), S_OK) << property.name;
            EXPECT_EQ(on, stored) << property.name;
        }
        // Stored as a number by some firmware: only the 16-bit payload counts (true is -1). Text is no
        // switch.
        const struct {
            Variant stored;
            HRESULT hr;
            bool on;
        } odd[] = {{Variant::FromI4(-1), S_OK, true},
                   {Variant::FromI4(0x1FFFF), S_OK, true},
                   {Variant::FromI4(1), S_OK, false},
                   {Variant::FromString("on"), E_FAIL, true}};
        for (size_t i = 0; i < std::size(odd); ++i) {
            Script().cameraValues[property.value] = odd[i].stored;
            bool on = true;
            EXPECT_EQ((facade.*get)(&on), odd[i].hr) << property.name << " value #" << i;
            EXPECT_EQ(on, odd[i].on) << property.name << " value #" << i;
        }
        Script().cameraValues.clear();
    }
    EXPECT_EQ(facade.SetAutoFocus(false), S_OK);
    EXPECT_EQ(OnCamera(ptz_, Cam::AutoFocus.value), 0);
    EXPECT_EQ(facade.SetWebcamSwitchE(false), S_OK);
    EXPECT_EQ(OnCamera(ptz_, Cam::AutoWhiteBalance.value), 0);
    SetOnCamera(ptz_, Cam::MotorHome.value, Variant::FromI4(1));
    EXPECT_EQ(facade.ClearProperty81(), S_OK);
    EXPECT_EQ(OnCamera(ptz_, Cam::MotorHome.value), 0);
    SetOnCamera(a_, Cam::DigitalCentre.value, Variant::FromI4(1));
    EXPECT_EQ(Select(a_).ResetProperty41(), S_OK);
    EXPECT_EQ(OnCamera(a_, Cam::DigitalCentre.value), 0);

    // The named reads that do not ask first.
    int32_t backlight = 0;
    EXPECT_EQ(facade.GetBacklightOf(basic_, &backlight), S_OK);
    EXPECT_EQ(backlight, OnCamera(basic_, Cam::Backlight.value));
    bool autoFocus = false;
    SetOnCamera(b_, Cam::AutoFocus.value, Variant::FromBool(true));
    EXPECT_EQ(facade.GetAutoFocusOf(b_, &autoFocus), S_OK);
    EXPECT_TRUE(autoFocus);
    const int32_t modeOnA = OnCamera(a_, Cam::SunTuneMode.value);
    EXPECT_EQ(facade.SetSunTuneModeOf(b_, 10), S_OK);
    int32_t mode = 0;
    EXPECT_EQ(facade.GetSunTuneModeOf(b_, &mode), S_OK);
    EXPECT_EQ(mode, 10);
    EXPECT_EQ(OnCamera(a_, Cam::SunTuneMode.value), modeOnA) << "only B changed";
}

TEST_F(DeviceManagerPropertyTest, WithoutACurrentCameraNothingReachesTheServiceOrTheListeners) {
    Plug(DeviceKind::Microphone);
    Plug(DeviceKind::Speaker);
    CGraniteDeviceManager& facade = Open();
    RecordingListener listener;
    facade.AddListener(&listener, 1);
    facade.OnVideoPropertyChanged(a_, 0, 20, Variant::FromI4(1), Variant::FromI4(0));
    facade.OnVideoDeviceEvent(a_, 1, 0, Variant());
    facade.OnVideoMotorStatus(a_, 1);
    EXPECT_TRUE(listener.heard.empty());
    // Events of any listed camera still arrive.
    facade.OnVideoDeviceEvent(a_, 15, 0, Variant());
    EXPECT_EQ(listener.heard, Calls{"Event15(" + a_ + ",1)"});
    auto snapshot = [&] {
        std::vector<int32_t> values;
        for (const std::string& id : {a_, b_, basic_, ptz_})
            for (const Info& p : Cam::kAll)
                values.push_back(OnCamera(id, p.value));
        return values;
    };
    const auto before = snapshot();
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
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(InUse(), "");
    for (const Granite::DeviceSummary& device : hardware_->Devices())
        EXPECT_TRUE(device.states.empty() || device.states == Calls{"shutter open"}) << device.name;
}

} // namespace
