// Recording what the simulated camera models offer, and applying the stored SunTune choice.
#include "app/CVidoraSettings.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "ribbon/CCameraFeatureRecorder.h"
#include "services/CGraniteDeviceManager.h"
#include "services/DeviceManagerProperties.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

namespace {

const std::string kName = "Brenmoor Vidora Pro Webcam"; // the full model

std::set<std::string> RecordedFeatures() {
    std::vector<RegValueEntry> values;
    CRegistry::Instance().EnumValues(Hive::CurrentUser, CVidoraSettings::GetSettingsRoot() + "\\Features",
                                     values);
    std::set<std::string> seen;
    for (const RegValueEntry& value : values)
        seen.insert(value.name);
    return seen;
}

uint32_t SunTuneAppUI(uint16_t productId) {
    uint32_t value = 99;
    char name[32];
    std::snprintf(name, sizeof name, "ST2AppUI_%04X", productId);
    Settings::ReadNumber(CVidoraSettings::kSunTuneKey, name, &value, 99);
    return value;
}

class FeatureRecorderTest : public ::testing::Test {
protected:
    void SetUp() override { SetClock(&clock_); }
    void Start(const char* devices = "camera:full") {
        env_.SetEnv("VIDORA_SIMULATED_DEVICES", devices);
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        hardware_ = Granite::CSimulatedHardware::Current();
        hardware_->IdAt(Granite::DeviceKind::Camera, 0, cam_);
        RegisterGraniteDeviceService();
        dm_ = GetGraniteDeviceManager();
        ASSERT_NE(dm_, nullptr);
    }
    void TearDown() override {
        if (dm_)
            dm_->Release();
        dm_ = nullptr;
        while (CGraniteDeviceManager* facade = CGraniteDeviceManager::Instance())
            facade->Release();
        Pump();
        UnregisterGraniteDeviceService();
        hardware_.reset();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        SetClock(nullptr);
    }
    void SetOnCamera(int32_t property, int32_t value) {
        ASSERT_EQ(hardware_->Set(Granite::DeviceKind::Camera, cam_, property, Variant::FromI4(value),
                                 Granite::WriteOrigin::Hardware),
                  S_OK);
    }
    int32_t SunTuneModeOnCamera() {
        Variant value;
        int32_t n = -1;
        if (SUCCEEDED(
                hardware_->Get(Granite::DeviceKind::Camera, cam_, GdmProperty::SunTuneMode.value, &value)))
            value.ToI4(n);
        return n;
    }
    CTempEnvironment env_;
    CFakeClock clock_;
    std::shared_ptr<Granite::CSimulatedHardware> hardware_;
    std::string cam_;
    IGraniteDeviceManager* dm_ = nullptr;
};

TEST_F(FeatureRecorderTest, EachModelRecordsWhatItOffersAndItsProductId) {
    const struct {
        const char* devices;
        bool effects;
        std::set<std::string> features;
        uint16_t productId;
        uint32_t sunTuneAppUI; // 99: not written
    } cases[] = {
        {"camera:full,microphone,speaker",
         true,
         {"SunTune", "Autofocus", "AutofocusManual", "Oriel", "FaceTracking", "MultipleFaceTracking",
          "MotionDetector", "PTZ", "MechanicalPrivacyShade", "SoftwareMute", "AEC", "NoiseSuppression",
          "LowLightBoost", "ColorBoost", "LEDControl"},
         Granite::kProductFullCamera,
         1},
        {"camera:basic", true, {"Backlight", "LEDControl"}, Granite::kProductBasicCamera, 99},
        {"camera:minimal", true, {}, Granite::kProductMinimalCamera, 99},
        // Without the effects engine its features are not offered.
        {"camera:full",
         false,
         {"SunTune", "Autofocus", "AutofocusManual", "FaceTracking", "MultipleFaceTracking", "MotionDetector",
          "PTZ", "MechanicalPrivacyShade", "LowLightBoost", "ColorBoost", "LEDControl"},
         Granite::kProductFullCamera,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.devices);
        CTempEnvironment fresh; // an empty settings store per model
        Start(c.devices);
        CCameraFeatureRecorder(dm_, c.effects).Record(cam_);
        EXPECT_EQ(RecordedFeatures(), c.features);
        EXPECT_EQ(CCameraFeatureRecorder::KnownProductIds(), std::vector<uint16_t>{c.productId});
        EXPECT_EQ(SunTuneAppUI(c.productId), c.sunTuneAppUI);
        TearDown();
    }
}

TEST_F(FeatureRecorderTest, TheStoredChoiceSetsTheSunTuneModeWithoutBeingRewritten) {
    Start();
    SetOnCamera(GdmProperty::SunTuneMode.value, 0);
    CVidoraSettings::SetSTMode(kName, 12);
    CCameraFeatureRecorder recorder(dm_, true);
    recorder.Record(cam_);
    EXPECT_EQ(SunTuneModeOnCamera(), 10) << "a stored mode above 5 means automatic";
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 12u);
    CVidoraSettings::SetSTOption(kName, 1);
    recorder.Record(cam_);
    EXPECT_EQ(SunTuneModeOnCamera(), 5);
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 5u);
    EXPECT_EQ(CVidoraSettings::GetPreviousSTMode(kName), 12u);
}

// The arrival offer comes only in the default mode (5) with a backlit (87) or dark (86) scene reading.
TEST_F(FeatureRecorderTest, ArrivalCheckOnlyInTheDefaultModeWithASceneReading) {
    Start();
    int checks = 0;
    CCameraFeatureRecorder recorder(dm_, true);
    recorder.onSunTuneArrivalCheck = [&](const std::string& id) { checks += id == cam_; };
    const std::array<int32_t, 4> cases[] = {{5, 1, 0, 1}, {10, 1, 0, 0}, {5, 0, 0, 0}, {5, 0, 1, 1}};
    for (const auto& [mode, backlit, dark, offered] : cases) {
        CVidoraSettings::SetSTMode(kName, mode);
        SetOnCamera(GdmProperty::Value87, backlit);
        SetOnCamera(GdmProperty::Value86, dark);
        checks = 0;
        recorder.Record(cam_);
        EXPECT_EQ(checks, offered) << mode << backlit << dark;
    }
}

// Failed readings record nothing but the model; known product ids skip store keys that are none.
TEST_F(FeatureRecorderTest, FailedReadingsRecordNothingButTheModelAndJunkKeysAreNoProducts) {
    Start();
    for (int32_t operation : {13, 14, 42, 44, 68, 69, 72}) // queries, reads, options, features, face tracking
        hardware_->Failures().Fail(operation);
    CCameraFeatureRecorder(dm_, true).Record(cam_);
    EXPECT_TRUE(RecordedFeatures().empty());
    CVidoraSettings::MarkCameraAttached(Granite::kProductBasicCamera);
    Settings::WriteNumber(CVidoraSettings::GetSettingsRoot() + "\\Cameras\\Attached\\junk", "", 1);
    std::vector<uint16_t> ids = CCameraFeatureRecorder::KnownProductIds();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<uint16_t>{Granite::kProductBasicCamera, Granite::kProductFullCamera}));
}

} // namespace
