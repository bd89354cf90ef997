#pragma once
// The full simulated camera, current and with its features recorded, for the SunTune rules, the
// notification and the SunTune tab. Values the camera reports by itself (shutter, scene, mode changed
// elsewhere) are set as the hardware would set them.
#include "SettingsFixture.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "settings/CSunTuneRules.h"

class SunTuneTest : public SettingsTest {
protected:
    static inline const std::string kName = "Brenmoor Vidora Pro Webcam";
    static constexpr uint16_t kProductId = Granite::kProductFullCamera;

    void SetUp() override {
        SettingsTest::SetUp();
        Plug("full", FullFeatures());
    }
    void TearDown() override {
        // The list of open notifications is process-wide: no test leaves one behind.
        CSunTuneRules::MarkNotificationClosed(camera);
        SettingsTest::TearDown();
    }

    void SetOnCamera(int32_t property, int32_t value) {
        ASSERT_EQ(hardware->Set(Granite::DeviceKind::Camera, camera, property, Variant::FromI4(value),
                                Granite::WriteOrigin::Hardware),
                  S_OK)
            << property;
    }
    int32_t Mode() const { return CameraValue(Granite::CamProp::SunTuneMode); }
    void SetMode(int32_t mode) { SetOnCamera(Granite::CamProp::SunTuneMode, mode); }
    // A per-stream value the facade keeps for the camera (-1 when unreadable).
    int32_t StreamValue(const char* key) const {
        int32_t value = -1;
        facade->GetVideoDeviceValue(camera, key, &value, 0);
        return value;
    }
};
