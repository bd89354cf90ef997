// Recording what the attached cameras offer, with the simulated cameras of the stand-in service (the full,
// basic and minimal models offer different sets).
#include "RibbonSimulatedCameraFixture.h"
#include "app/CVidoraSettings.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "ribbon/CCameraFeatureRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// The feature names recorded so far, as the store holds them.
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

// --- the simulated cameras --------------------------------------------------------------------------

class FeatureRecorderSimulatedTest : public ::testing::Test {
protected:
    void Start(const char* devices) {
        env_.SetEnv("VIDORA_SIMULATED_DEVICES", devices);
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        RegisterGraniteDeviceService();
        dm_ = GetGraniteDeviceManager();
        ASSERT_NE(dm_, nullptr);
    }
    void TearDown() override {
        if (dm_)
            dm_->Release();
        dm_ = nullptr;
        QCoreApplication::sendPostedEvents();
        UnregisterGraniteDeviceService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
    }
    std::string CameraId(int index) {
        VideoDeviceInfo info;
        EXPECT_EQ(dm_->GetVideoDevice(index, &info), S_OK);
        return info.id;
    }

    CTempEnvironment env_;
    IGraniteDeviceManager* dm_ = nullptr;
};

struct ModelCase {
    const char* devices;
    bool effects;
    std::set<std::string> features;
    uint16_t productId;
    uint32_t sunTuneAppUI; // 99: not written
};

TEST_F(FeatureRecorderSimulatedTest, EachModelRecordsWhatItOffersAndItsProductId) {
    const ModelCase cases[] = {
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
    for (const ModelCase& c : cases) {
        CTempEnvironment fresh; // an empty settings store per model
        Start(c.devices);
        CCameraFeatureRecorder recorder(dm_, c.effects);
        recorder.Record(CameraId(0));
        EXPECT_EQ(RecordedFeatures(), c.features) << c.devices;
        EXPECT_EQ(CCameraFeatureRecorder::KnownProductIds(), std::vector<uint16_t>{c.productId}) << c.devices;
        EXPECT_EQ(SunTuneAppUI(c.productId), c.sunTuneAppUI) << c.devices;
        TearDown();
    }
}

TEST_F(FeatureRecorderSimulatedTest, MicrophonePartRecordsMute) {
    Start("camera:basic,microphone");
    CCameraFeatureRecorder recorder(dm_, true);
    recorder.RecordMicrophone();
    EXPECT_FALSE(CCameraFeatureRecorder::HasFeature("MicrophoneMute")) << "no microphone chosen yet";
    ASSERT_EQ(dm_->SelectMicrophone(0), S_OK);
    recorder.RecordMicrophone();
    EXPECT_TRUE(CCameraFeatureRecorder::HasFeature("MicrophoneMute"));
    EXPECT_FALSE(CCameraFeatureRecorder::HasFeature("Backlight")) << "no camera part";
}

// --- one full camera ---------------------------------------------------------------------------------

using FeatureRecorderTest = RibbonSimulatedCameraTest;

TEST_F(FeatureRecorderTest, StoredChoiceSetsTheSunTuneMode) {
    SetOnCamera(GdmProperty::SunTuneMode.value, 0);
    CVidoraSettings::SetSTMode(kName, 12);
    CCameraFeatureRecorder recorder(Open(), true);
    recorder.Record(cam_);
    EXPECT_EQ(PropertyOf(GdmProperty::SunTuneMode.value), 10) << "a stored mode above 5 means automatic";
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 12u) << "the stored choice is applied, not rewritten";

    CVidoraSettings::SetSTOption(kName, 1);
    recorder.Record(cam_);
    EXPECT_EQ(PropertyOf(GdmProperty::SunTuneMode.value), 5);
    EXPECT_EQ(CVidoraSettings::GetSTMode(kName), 5u);
    EXPECT_EQ(CVidoraSettings::GetPreviousSTMode(kName), 12u);
}

TEST_F(FeatureRecorderTest, ArrivalCheckOnlyInTheDefaultModeWithASceneReading) {
    SetOnCamera(GdmProperty::Value87, 1);
    int checks = 0;
    CCameraFeatureRecorder recorder(Open(), true);
    recorder.onSunTuneArrivalCheck = [&](const std::string& id) {
        EXPECT_EQ(id, cam_);
        ++checks;
    };
    recorder.Record(cam_); // stored default 5, a backlit scene
    EXPECT_EQ(checks, 1);
    CVidoraSettings::SetSTMode(kName, 10);
    recorder.Record(cam_);
    EXPECT_EQ(checks, 1) << "mode 10 set: no offer";
    CVidoraSettings::SetSTMode(kName, 5);
    SetOnCamera(GdmProperty::Value87, 0);
    recorder.Record(cam_);
    EXPECT_EQ(checks, 1) << "neither reading is non-zero";
    SetOnCamera(GdmProperty::Value86, 1);
    recorder.Record(cam_);
    EXPECT_EQ(checks, 2) << "a dark scene";
}

TEST_F(FeatureRecorderTest, FailedReadingsRecordNothingButTheModel) {
    // The camera is listed first; then every reading fails.
    IGraniteDeviceManager* dm = Open();
    for (int32_t operation : {13, 14, 42, 44, 68, 69, 72}) // queries, reads, options, features, face tracking
        hardware_->Failures().Fail(operation);
    CCameraFeatureRecorder recorder(dm, true);
    recorder.Record(cam_);
    EXPECT_TRUE(RecordedFeatures().empty());
    EXPECT_EQ(CCameraFeatureRecorder::KnownProductIds(), std::vector<uint16_t>{kProductId});
}

TEST_F(FeatureRecorderTest, KnownProductIdsSkipSubkeysThatAreNoProductIds) {
    CVidoraSettings::MarkCameraAttached(0x0821);
    CVidoraSettings::MarkCameraAttached(0x0a5d);
    Settings::WriteNumber(CVidoraSettings::GetSettingsRoot() + "\\Cameras\\Attached\\junk", "", 1);
    std::vector<uint16_t> ids = CCameraFeatureRecorder::KnownProductIds();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<uint16_t>{0x0821, 0x0a5d}));
}

} // namespace
