// The operations over the service's property table: each reaches the property it is named for (the test
// changes that property alone), and reacts as it should to a missing camera, property or service.
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

// Which operations each level and switch carries (null where one is missing).
struct LevelOps {
    const Info& property;
    Get get, companion;
    Range range;
    Set set;
};
#define LEVEL(p, G, S)                                                                                       \
    { Cam::p, &M::G, &M::G##Companion, &M::G##Range, &M::S }
const LevelOps kLevels[] = {
    LEVEL(Brightness, GetWebcamLevelA, SetWebcamLevelA),
    LEVEL(Contrast, GetWebcamLevelB, SetWebcamLevelB),
    LEVEL(Saturation, GetWebcamLevelC, SetWebcamLevelC),
    LEVEL(WhiteBalance, GetWebcamLevelD, SetWebcamLevelD),
    LEVEL(Zoom, GetZoom, SetZoom),
    LEVEL(Pan, GetPanTiltAxis1, SetPanTiltAxis1),
    LEVEL(Tilt, GetPanTiltAxis2, SetPanTiltAxis2),
    LEVEL(Exposure, GetAdvancedLevelA, SetAdvancedLevelA),
    LEVEL(Gain, GetAdvancedLevelB, SetAdvancedLevelB),
    LEVEL(SunTuneA, GetSunTuneLevelA, SetSunTuneLevelA),
    LEVEL(SunTuneB, GetSunTuneLevelB, SetSunTuneLevelB),
    LEVEL(SunTuneC, GetSunTuneLevelC, SetSunTuneLevelC),
    LEVEL(SunTuneD, GetSunTuneLevelD, SetSunTuneLevelD),
    LEVEL(Backlight, GetBacklight, SetBacklight),
};
#undef LEVEL

struct SwitchOps {
    const Info& property;
    Get get, companion;
    Set set;
    GetOf getOf;
};
#define SWITCH(p, G, S, Of)                                                                                  \
    { Cam::p, &M::G, &M::G##Companion, S, Of }
#define PLAIN(p, G, Of)                                                                                      \
    { Cam::p, &M::G, nullptr, nullptr, Of }
const SwitchOps kSwitches[] = {
    SWITCH(AutoExposure, GetAdvancedSwitchA, &M::SetAdvancedSwitchA, nullptr),
    SWITCH(MirrorHorizontal, GetAdvancedSwitchB, &M::SetAdvancedSwitchB, nullptr),
    SWITCH(MirrorVertical, GetAdvancedSwitchC, &M::SetAdvancedSwitchC, nullptr),
    SWITCH(PowerLineFrequency, GetAdvancedSwitchD, nullptr, nullptr),
    {Cam::FaceTracking, &M::GetTriStateModeRaw, &M::GetTriStateModeCompanion, nullptr, nullptr},
    SWITCH(LowLightBoost, GetLowLightBoost, &M::SetLowLightBoost, &M::GetLowLightBoostOf),
    SWITCH(ColorBoost, GetColorBoost, &M::SetColorBoost, &M::GetColorBoostOf),
    SWITCH(SunTuneMode, GetSunTuneMode, &M::SetSunTuneMode, &M::GetSunTuneModeOf),
    {Cam::VideoMute, &M::GetVideoMute, nullptr, &M::SetVideoMute, nullptr},
    PLAIN(PtzCapability, GetPtzCapability, &M::GetPtzCapabilityOf),
    PLAIN(PrivacyShutter, GetMechanicalPrivacyShade, &M::GetMechanicalPrivacyShadeOf),
};
#undef SWITCH
#undef PLAIN

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
    bool Has(const std::string& id, int32_t p) { return OnCamera(id, p) != -99; } // -99: unreadable
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
        SCOPED_TRACE(c.property.name);
        const std::string cam = Has(a_, c.property.value) ? a_ : basic_;
        CGraniteDeviceManager& facade = Select(cam);
        const int32_t min = OnCamera(cam, c.property.min), max = OnCamera(cam, c.property.max);
        ASSERT_TRUE(Change(cam, c.property.value, {min + 1, min + 2}));
        const int32_t fresh = OnCamera(cam, c.property.value);
        int32_t value = 0, companion = 0, lo = 0, hi = 0, inRange = 0;
        EXPECT_EQ((facade.*c.get)(&value), S_OK);
        EXPECT_EQ((facade.*c.companion)(&companion), S_OK);
        EXPECT_EQ((facade.*c.range)(&lo, &hi, &inRange), S_OK);
        EXPECT_EQ(std::tuple(value, companion, lo, hi, inRange),
                  std::tuple(fresh, OnCamera(cam, c.property.companion), min, max, fresh));
        EXPECT_EQ((facade.*c.range)(&lo, nullptr, &value), E_FAIL);
        EXPECT_EQ((facade.*c.set)(max - 1), S_OK);
        EXPECT_EQ(OnCamera(cam, c.property.value), max - 1);
        Fail(Op::VideoSet);
        EXPECT_EQ((facade.*c.set)(min), E_FAIL);
        hardware_->Failures().ClearAll();
        // A range whose maximum alone cannot be read fills nothing.
        Script().failingReads = {{"", c.property.max}};
        lo = hi = value = -1;
        EXPECT_EQ((facade.*c.range)(&lo, &hi, &value), E_FAIL);
        EXPECT_EQ(std::tuple(lo, hi, value), std::tuple(-1, -1, -1));
        Script().failingReads.clear();
    }
    // A camera without the level answers that it has none, and fills nothing.
    int32_t lo = -1, hi = -1, value = -1;
    EXPECT_EQ(Select(basic_).GetZoomRange(&lo, &hi, &value), E_NOTIMPL);
    EXPECT_EQ(std::tuple(lo, hi, value), std::tuple(-1, -1, -1));
}

TEST_F(DeviceManagerPropertyTest, SwitchesAreAskedForFirstAndWorkOnTheCurrentOrTheNamedCamera) {
    for (const SwitchOps& c : kSwitches) {
        SCOPED_TRACE(c.property.name);
        const std::string cam = c.property.value == Cam::PtzCapability.value ? ptz_ : a_;
        CGraniteDeviceManager& facade = Select(cam);
        const int32_t original = OnCamera(cam, c.property.value);
        Change(cam, c.property.value);
        int32_t value = 0;
        EXPECT_EQ((facade.*c.get)(&value), S_OK);
        EXPECT_EQ(value, OnCamera(cam, c.property.value));
        if (c.companion != nullptr) {
            EXPECT_EQ((facade.*c.companion)(&value), S_OK);
            EXPECT_EQ(value, OnCamera(cam, c.property.companion));
        }
        if (c.getOf != nullptr) {
            const std::string other = cam == a_ ? b_ : a_;
            EXPECT_NE(OnCamera(other, c.property.value), OnCamera(cam, c.property.value));
            EXPECT_EQ((facade.*c.getOf)(other, &value), S_OK);
            EXPECT_EQ(value, OnCamera(other, c.property.value)) << "the named camera, not the current one";
            EXPECT_EQ((facade.*c.getOf)("", &value), E_FAIL);
        }
        if (c.set != nullptr) {
            EXPECT_EQ((facade.*c.set)(original), S_OK);
            EXPECT_EQ(OnCamera(cam, c.property.value), original);
        }
        if (!Has(basic_, c.property.value)) { // the basic camera lacks most of them
            value = -7;
            EXPECT_EQ((Select(basic_).*c.get)(&value), E_NOTIMPL);
            EXPECT_EQ(value, -7);
        }
    }
}

TEST_F(DeviceManagerPropertyTest, WithoutACurrentCameraNothingReachesAnyCamera) {
    CGraniteDeviceManager& facade = Open();
    auto snapshot = [&] {
        std::vector<int32_t> values;
        for (const std::string& id : {a_, b_, basic_, ptz_})
            for (const Info& p : Cam::kAll)
                values.push_back(OnCamera(id, p.value));
        return values;
    };
    const auto before = snapshot();
    int32_t a = 0, b = 0, c = 0;
    bool flag = false;
    for (const LevelOps& l : kLevels) {
        EXPECT_EQ((facade.*l.get)(&a), E_FAIL) << l.property.name;
        EXPECT_EQ((facade.*l.range)(&a, &b, &c), E_FAIL) << l.property.name;
        EXPECT_EQ((facade.*l.set)(1), E_FAIL) << l.property.name;
    }
    for (const SwitchOps& s : kSwitches)
        EXPECT_EQ((facade.*s.get)(&a), E_FAIL) << s.property.name;
    for (const auto& [property, get] : kFlags)
        EXPECT_EQ((facade.*get)(&flag), E_FAIL) << property.name;
    for (const auto& [property, set] : kCommands)
        EXPECT_EQ((facade.*set)(1), E_FAIL) << property.name;
    EXPECT_EQ(facade.SetTriStateMode(1), E_FAIL);
    EXPECT_EQ(facade.SetLed(1, 2, 3), E_FAIL);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(InUse(), "");
}

TEST_F(DeviceManagerPropertyTest, CommandsAndFlagsReachTheirProperty) {
    CGraniteDeviceManager& facade = Select(ptz_);
    SetOnCamera(ptz_, Cam::AutoFocus.value, Variant::FromBool(false)); // manual focus is refused otherwise
    for (const auto& [property, set] : kCommands) {
        EXPECT_EQ((facade.*set)(17), S_OK) << property.name;
        EXPECT_EQ(OnCamera(ptz_, property.value), 17) << property.name;
    }
    // Stored as a number by some firmware: only the 16-bit payload counts (true is -1). Text is no switch.
    const struct {
        Variant stored;
        HRESULT hr;
        bool on;
    } values[] = {{Variant::FromBool(false), S_OK, false}, {Variant::FromBool(true), S_OK, true},
                  {Variant::FromI4(-1), S_OK, true},       {Variant::FromI4(0x1FFFF), S_OK, true},
                  {Variant::FromI4(1), S_OK, false},       {Variant::FromString("on"), E_FAIL, true}};
    for (const auto& [property, get] : kFlags) {
        for (size_t i = 0; i < std::size(values); ++i) {
            Script().cameraValues[property.value] = values[i].stored;
            bool on = !values[i].on || FAILED(values[i].hr); // a failed read leaves it alone
            EXPECT_EQ((facade.*get)(&on), values[i].hr) << property.name << " value #" << i;
            EXPECT_EQ(on, values[i].on) << property.name << " value #" << i;
        }
        Script().cameraValues.clear();
    }
    for (const auto& [property, get] : kFlags)
        SetOnCamera(ptz_, property.value, Variant::FromBool(true));
    EXPECT_EQ(facade.SetAutoFocus(false), S_OK);
    EXPECT_EQ(facade.SetWebcamSwitchE(false), S_OK);
    EXPECT_EQ(std::pair(OnCamera(ptz_, Cam::AutoFocus.value), OnCamera(ptz_, Cam::AutoWhiteBalance.value)),
              std::pair(0, 0));
    SetOnCamera(ptz_, Cam::MotorHome.value, Variant::FromI4(1));
    EXPECT_EQ(facade.ClearProperty81(), S_OK);
    EXPECT_EQ(OnCamera(ptz_, Cam::MotorHome.value), 0);
    SetOnCamera(a_, Cam::DigitalCentre.value, Variant::FromI4(1));
    EXPECT_EQ(Select(a_).ResetProperty41(), S_OK);
    EXPECT_EQ(OnCamera(a_, Cam::DigitalCentre.value), 0);
    // The named reads and writes that do not ask first work on the named camera, not the current one.
    int32_t backlight = 0;
    EXPECT_EQ(facade.GetBacklightOf(basic_, &backlight), S_OK);
    EXPECT_EQ(facade.SetSunTuneModeOf(b_, 10), S_OK);
    EXPECT_EQ(std::pair(backlight, OnCamera(b_, Cam::SunTuneMode.value)),
              std::pair(OnCamera(basic_, Cam::Backlight.value), 10));
}

} // namespace
