// The forwarding operations: which service calls each one makes, with which property numbers, and how each
// shape reacts to a missing camera, a missing property and a failing service. The tables are written from
// the camera's property list, independently of the facade's own table.
#include "DeviceManagerTestFixture.h"

namespace {

using Calls = std::vector<std::string>;
using M = IGraniteDeviceManager;

struct ReadCase {
    const char* name;
    HRESULT (M::*op)(int32_t*);
    int32_t property;
};

// Read as they are, without asking first.
const ReadCase kPlainReads[] = {
    {"GetAdvancedLevelB", &M::GetAdvancedLevelB, 35},
    {"GetAdvancedLevelBCompanion", &M::GetAdvancedLevelBCompanion, 66},
    {"GetAdvancedLevelA", &M::GetAdvancedLevelA, 32},
    {"GetAdvancedLevelACompanion", &M::GetAdvancedLevelACompanion, 65},
    {"GetWebcamValueG", &M::GetWebcamValueG, 102},
    {"GetZoom", &M::GetZoom, 20},
    {"GetZoomCompanion", &M::GetZoomCompanion, 63},
    {"GetPanTiltAxis2", &M::GetPanTiltAxis2, 28},
    {"GetPanTiltAxis2Companion", &M::GetPanTiltAxis2Companion, 62},
    {"GetPanTiltAxis1", &M::GetPanTiltAxis1, 24},
    {"GetPanTiltAxis1Companion", &M::GetPanTiltAxis1Companion, 61},
    {"GetWebcamLevelD", &M::GetWebcamLevelD, 17},
    {"GetWebcamLevelDCompanion", &M::GetWebcamLevelDCompanion, 60},
    {"GetWebcamLevelC", &M::GetWebcamLevelC, 14},
    {"GetWebcamLevelCCompanion", &M::GetWebcamLevelCCompanion, 58},
    {"GetWebcamLevelB", &M::GetWebcamLevelB, 11},
    {"GetWebcamLevelBCompanion", &M::GetWebcamLevelBCompanion, 59},
    {"GetWebcamLevelA", &M::GetWebcamLevelA, 8},
    {"GetWebcamLevelACompanion", &M::GetWebcamLevelACompanion, 57},
    {"GetSunTuneLevelB", &M::GetSunTuneLevelB, 50},
    {"GetSunTuneLevelBCompanion", &M::GetSunTuneLevelBCompanion, 73},
    {"GetSunTuneLevelA", &M::GetSunTuneLevelA, 47},
    {"GetSunTuneLevelACompanion", &M::GetSunTuneLevelACompanion, 72},
    {"GetSunTuneLevelC", &M::GetSunTuneLevelC, 53},
    {"GetSunTuneLevelCCompanion", &M::GetSunTuneLevelCCompanion, 74},
    {"GetSunTuneLevelD", &M::GetSunTuneLevelD, 56},
    {"GetSunTuneLevelDCompanion", &M::GetSunTuneLevelDCompanion, 75},
    {"GetBacklight", &M::GetBacklight, 97},
    {"GetBacklightCompanion", &M::GetBacklightCompanion, 98},
};

// Asked for first, then read.
const ReadCase kCheckedReads[] = {
    {"GetTriStateModeRaw", &M::GetTriStateModeRaw, 42},
    {"GetTriStateModeCompanion", &M::GetTriStateModeCompanion, 70},
    {"GetAdvancedSwitchD", &M::GetAdvancedSwitchD, 40},
    {"GetAdvancedSwitchDCompanion", &M::GetAdvancedSwitchDCompanion, 69},
    {"GetColorBoostCompanion", &M::GetColorBoostCompanion, 83},
    {"GetLowLightBoostCompanion", &M::GetLowLightBoostCompanion, 82},
    {"GetAdvancedSwitchC", &M::GetAdvancedSwitchC, 37},
    {"GetAdvancedSwitchCCompanion", &M::GetAdvancedSwitchCCompanion, 68},
    {"GetAdvancedSwitchB", &M::GetAdvancedSwitchB, 36},
    {"GetAdvancedSwitchBCompanion", &M::GetAdvancedSwitchBCompanion, 67},
    {"GetAdvancedSwitchA", &M::GetAdvancedSwitchA, 29},
    {"GetAdvancedSwitchACompanion", &M::GetAdvancedSwitchACompanion, 64},
    {"GetVideoMute", &M::GetVideoMute, 4},
    {"GetSunTuneModeCompanion", &M::GetSunTuneModeCompanion, 71},
    {"GetPtzCapability", &M::GetPtzCapability, 76},
    {"GetColorBoost", &M::GetColorBoost, 39},
    {"GetLowLightBoost", &M::GetLowLightBoost, 38},
    {"GetSunTuneMode", &M::GetSunTuneMode, 44},
    {"GetMechanicalPrivacyShade", &M::GetMechanicalPrivacyShade, 85},
    {"GetProperty86", &M::GetProperty86, 86},
    {"GetProperty87", &M::GetProperty87, 87},
};

struct OfCase {
    const char* name;
    HRESULT (M::*op)(const std::string&, int32_t*);
    int32_t property;
};

const OfCase kNamedReads[] = {
    {"GetPtzCapabilityOf", &M::GetPtzCapabilityOf, 76},
    {"GetColorBoostOf", &M::GetColorBoostOf, 39},
    {"GetLowLightBoostOf", &M::GetLowLightBoostOf, 38},
    {"GetSunTuneModeOf", &M::GetSunTuneModeOf, 44},
    {"GetMechanicalPrivacyShadeOf", &M::GetMechanicalPrivacyShadeOf, 85},
    {"GetProperty86Of", &M::GetProperty86Of, 86},
    {"GetProperty87Of", &M::GetProperty87Of, 87},
};

struct RangeCase {
    const char* name;
    HRESULT (M::*op)(int32_t*, int32_t*, int32_t*);
    int32_t min, max, value;
};

const RangeCase kRanges[] = {
    {"GetAdvancedLevelBRange", &M::GetAdvancedLevelBRange, 33, 34, 35},
    {"GetAdvancedLevelARange", &M::GetAdvancedLevelARange, 30, 31, 32},
    {"GetZoomRange", &M::GetZoomRange, 18, 19, 20},
    {"GetPanTiltAxis2Range", &M::GetPanTiltAxis2Range, 25, 26, 28},
    {"GetPanTiltAxis1Range", &M::GetPanTiltAxis1Range, 21, 22, 24},
    {"GetWebcamLevelDRange", &M::GetWebcamLevelDRange, 15, 16, 17},
    {"GetWebcamLevelCRange", &M::GetWebcamLevelCRange, 12, 13, 14},
    {"GetWebcamLevelBRange", &M::GetWebcamLevelBRange, 9, 10, 11},
    {"GetWebcamLevelARange", &M::GetWebcamLevelARange, 6, 7, 8},
    {"GetSunTuneLevelBRange", &M::GetSunTuneLevelBRange, 48, 49, 50},
    {"GetSunTuneLevelARange", &M::GetSunTuneLevelARange, 45, 46, 47},
    {"GetSunTuneLevelCRange", &M::GetSunTuneLevelCRange, 51, 52, 53},
    {"GetSunTuneLevelDRange", &M::GetSunTuneLevelDRange, 54, 55, 56},
    {"GetBacklightRange", &M::GetBacklightRange, 95, 96, 97},
};

struct WriteCase {
    const char* name;
    HRESULT (M::*op)(int32_t);
    int32_t property;
};

const WriteCase kWrites[] = {
    {"PtzCommand77", &M::PtzCommand77, 77},
    {"PtzCommand78", &M::PtzCommand78, 78},
    {"PtzCommand79", &M::PtzCommand79, 79},
    {"PtzCommand80", &M::PtzCommand80, 80},
    {"SetColorBoost", &M::SetColorBoost, 39},
    {"SetLowLightBoost", &M::SetLowLightBoost, 38},
    {"SetAdvancedSwitchC", &M::SetAdvancedSwitchC, 37},
    {"SetAdvancedSwitchB", &M::SetAdvancedSwitchB, 36},
    {"SetAdvancedLevelB", &M::SetAdvancedLevelB, 35},
    {"SetAdvancedLevelA", &M::SetAdvancedLevelA, 32},
    {"SetAdvancedSwitchA", &M::SetAdvancedSwitchA, 29},
    {"SetWebcamValueG", &M::SetWebcamValueG, 102},
    {"SetZoom", &M::SetZoom, 20},
    {"SetPanTiltAxis2", &M::SetPanTiltAxis2, 28},
    {"SetPanTiltAxis1", &M::SetPanTiltAxis1, 24},
    {"SetWebcamLevelD", &M::SetWebcamLevelD, 17},
    {"SetWebcamLevelC", &M::SetWebcamLevelC, 14},
    {"SetWebcamLevelB", &M::SetWebcamLevelB, 11},
    {"SetWebcamLevelA", &M::SetWebcamLevelA, 8},
    {"SetVideoMute", &M::SetVideoMute, 4},
    {"SetSunTuneLevelB", &M::SetSunTuneLevelB, 50},
    {"SetSunTuneLevelC", &M::SetSunTuneLevelC, 53},
    {"SetSunTuneLevelA", &M::SetSunTuneLevelA, 47},
    {"SetSunTuneLevelD", &M::SetSunTuneLevelD, 56},
    {"SetSunTuneMode", &M::SetSunTuneMode, 44},
    {"SetBacklight", &M::SetBacklight, 97},
};

struct FlagCase {
    const char* name;
    HRESULT (M::*op)(bool*);
    int32_t property;
};

const FlagCase kFlagReads[] = {
    {"GetWebcamSwitchF", &M::GetWebcamSwitchF, 99},
    {"GetWebcamSwitchE", &M::GetWebcamSwitchE, 88},
    {"GetProperty89", &M::GetProperty89, 89},
};

std::string Get(const std::string& id, int32_t p) {
    return "GetVideoProperty(" + id + "," + std::to_string(p) + ")";
}
std::string Query(const std::string& id, int32_t p) {
    return "QueryVideoProperty(" + id + "," + std::to_string(p) + ")";
}

class DeviceManagerPropertyTest : public DeviceManagerTest {
protected:
    void SetUp() override {
        DeviceManagerTest::SetUp();
        AddCameras({kCamA, kCamB});
        // Every property of both cameras holds a value that tells which one was read.
        for (auto& camera : service_.cameras)
            for (int32_t p = 3; p < 110; ++p)
                if (p != 84)
                    camera.properties[p] = Variant::FromI4(1000 + p + (camera.id == kCamB ? 500 : 0));
    }
};

TEST_F(DeviceManagerPropertyTest, PlainReadsGoStraightToTheCurrentCamera) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    for (const ReadCase& c : kPlainReads) {
        service_.ClearCalls();
        int32_t value = 0;
        EXPECT_EQ((facade.*c.op)(&value), S_OK) << c.name;
        EXPECT_EQ(value, 1000 + c.property) << c.name;
        EXPECT_EQ(service_.Calls(), Calls{Get(kCamA, c.property)}) << c.name;
    }
}

TEST_F(DeviceManagerPropertyTest, CheckedReadsAskTheCameraFirstAndSayWhenItLacksTheProperty) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    for (const ReadCase& c : kCheckedReads) {
        service_.ClearCalls();
        int32_t value = 0;
        EXPECT_EQ((facade.*c.op)(&value), S_OK) << c.name;
        EXPECT_EQ(value, 1000 + c.property) << c.name;
        EXPECT_EQ(service_.Calls(), (Calls{Query(kCamA, c.property), Get(kCamA, c.property)})) << c.name;
    }
    for (const ReadCase& c : kCheckedReads) {
        service_.FindCamera(kCamA)->properties.erase(c.property);
        service_.ClearCalls();
        int32_t value = -7;
        EXPECT_EQ((facade.*c.op)(&value), E_NOTIMPL) << c.name;
        EXPECT_EQ(value, -7) << c.name;
        EXPECT_EQ(service_.Calls(), Calls{Query(kCamA, c.property)}) << c.name;
    }
}

TEST_F(DeviceManagerPropertyTest, NamedReadsWorkOnTheCameraNamedWhicheverIsCurrent) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    for (const OfCase& c : kNamedReads) {
        service_.ClearCalls();
        int32_t value = 0;
        EXPECT_EQ((facade.*c.op)(kCamB, &value), S_OK) << c.name;
        EXPECT_EQ(value, 1500 + c.property) << c.name;
        EXPECT_EQ(service_.Calls(), (Calls{Query(kCamB, c.property), Get(kCamB, c.property)})) << c.name;
        EXPECT_EQ((facade.*c.op)("", &value), E_FAIL) << c.name;
        EXPECT_EQ((facade.*c.op)(kCamB, nullptr), E_FAIL) << c.name;
    }
    // The two named reads that do not ask first.
    service_.ClearCalls();
    int32_t backlight = 0;
    bool flag = false;
    EXPECT_EQ(facade.GetBacklightOf(kCamB, &backlight), S_OK);
    service_.cameras[1].properties[99] = Variant::FromBool(true);
    EXPECT_EQ(facade.GetProperty99Of(kCamB, &flag), S_OK);
    EXPECT_EQ(backlight, 1597);
    EXPECT_TRUE(flag);
    EXPECT_EQ(service_.Calls(), (Calls{Get(kCamB, 97), Get(kCamB, 99)}));
}

TEST_F(DeviceManagerPropertyTest, RangesAskForTheValueThenReadMinimumMaximumAndValue) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    for (const RangeCase& c : kRanges) {
        service_.ClearCalls();
        int32_t min = 0, max = 0, value = 0;
        EXPECT_EQ((facade.*c.op)(&min, &max, &value), S_OK) << c.name;
        EXPECT_EQ(min, 1000 + c.min) << c.name;
        EXPECT_EQ(max, 1000 + c.max) << c.name;
        EXPECT_EQ(value, 1000 + c.value) << c.name;
        EXPECT_EQ(service_.Calls(),
                  (Calls{Query(kCamA, c.value), Get(kCamA, c.min), Get(kCamA, c.max), Get(kCamA, c.value)}))
            << c.name;
        EXPECT_EQ((facade.*c.op)(&min, nullptr, &value), E_FAIL) << c.name;
    }
}

TEST_F(DeviceManagerPropertyTest, ARangeThatCannotBeReadWholeFillsNothing) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    service_.failing.insert("GetVideoProperty:19");
    int32_t min = -1, max = -1, value = -1;
    EXPECT_EQ(facade.GetZoomRange(&min, &max, &value), E_FAIL);
    EXPECT_EQ(min, -1);
    EXPECT_EQ(max, -1);
    EXPECT_EQ(value, -1);
    service_.FindCamera(kCamA)->properties.erase(20);
    EXPECT_EQ(facade.GetZoomRange(&min, &max, &value), E_NOTIMPL);
}

TEST_F(DeviceManagerPropertyTest, WritesSendFourByteIntegersAndReportFailures) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    for (const WriteCase& c : kWrites) {
        service_.ClearCalls();
        EXPECT_EQ((facade.*c.op)(-12), S_OK) << c.name;
        EXPECT_EQ(service_.Calls(),
                  Calls{"SetVideoProperty(" + kCamA + "," + std::to_string(c.property) + ",i:-12)"})
            << c.name;
        service_.failing.insert("SetVideoProperty:" + std::to_string(c.property));
        EXPECT_EQ((facade.*c.op)(3), E_FAIL) << c.name;
    }
    service_.ClearCalls();
    service_.failing.clear();
    EXPECT_EQ(facade.SetWebcamSwitchF(true), S_OK);
    EXPECT_EQ(facade.SetWebcamSwitchE(false), S_OK);
    EXPECT_EQ(facade.ClearProperty81(), S_OK);
    EXPECT_EQ(facade.ResetProperty41(), S_OK);
    EXPECT_EQ(facade.SetSunTuneModeOf(kCamB, 10), S_OK);
    EXPECT_EQ(service_.Calls(),
              (Calls{"SetVideoProperty(" + kCamA + ",99,b:-1)", "SetVideoProperty(" + kCamA + ",88,b:0)",
                     "SetVideoProperty(" + kCamA + ",81,b:0)", "SetVideoProperty(" + kCamA + ",41,i:0)",
                     "SetVideoProperty(" + kCamB + ",44,i:10)"}));
}

TEST_F(DeviceManagerPropertyTest, SwitchesReadAsOnOnlyForVariantTrue) {
    CGraniteDeviceManager& facade = OpenWithCurrentCamera();
    struct Value {
        Variant stored;
        bool on;
    };
    const Value values[] = {{Variant::FromBool(true), true},
                            {Variant::FromBool(false), false},
                            {Variant::FromI4(-1), true},
                            {Variant::FromI4(0x1FFFF), true}, // only the 16-bit payload counts
                            {Variant::FromI4(1), false}};
    for (const FlagCase& c : kFlagReads) {
        for (const Value& v : values) {
            service_.FindCamera(kCamA)->properties[c.property] = v.stored;
            bool on = !v.on;
            EXPECT_EQ((facade.*c.op)(&on), S_OK) << c.name;
            EXPECT_EQ(on, v.on) << c.name << " " << FakeDeviceManagerService::Text(v.stored);
        }
        service_.FindCamera(kCamA)->properties[c.property] = Variant::FromString("on");
        bool on = false;
        EXPECT_EQ((facade.*c.op)(&on), E_FAIL) << c.name << ": text is not a switch";
    }
}

TEST_F(DeviceManagerPropertyTest, WithoutACurrentCameraNothingReachesTheService) {
    Open(); // cameras listed, none selected
    CGraniteDeviceManager& facade = *CGraniteDeviceManager::Instance();
    service_.ClearCalls();
    int32_t a = 0, b = 0, c = 0, d = 0;
    bool flag = false;
    std::string s1, s2;
    for (const ReadCase& r : kPlainReads)
        EXPECT_EQ((facade.*r.op)(&a), E_FAIL) << r.name;
    for (const ReadCase& r : kCheckedReads)
        EXPECT_EQ((facade.*r.op)(&a), E_FAIL) << r.name;
    for (const RangeCase& r : kRanges)
        EXPECT_EQ((facade.*r.op)(&a, &b, &c), E_FAIL) << r.name;
    for (const WriteCase& w : kWrites)
        EXPECT_EQ((facade.*w.op)(1), E_FAIL) << w.name;
    for (const FlagCase& f : kFlagReads)
        EXPECT_EQ((facade.*f.op)(&flag), E_FAIL) << f.name;
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
    EXPECT_TRUE(service_.Calls().empty());
}

} // namespace
