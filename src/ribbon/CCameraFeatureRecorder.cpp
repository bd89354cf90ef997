#include "ribbon/CCameraFeatureRecorder.h"

#include "app/CVidoraSettings.h"
#include "platform/DebugOutput.h"
#include "services/IGraniteDeviceManager.h"
#include "settings/CSunTuneRules.h"

CCameraFeatureRecorder::CCameraFeatureRecorder(IGraniteDeviceManager* deviceManager, bool effectsPresent)
    : deviceManager(deviceManager), effectsPresent(effectsPresent) {}

void CCameraFeatureRecorder::Mark(const char* feature) {
    if (FAILED(CVidoraSettings::MarkFeatureSeen(feature)))
        OutputDebugString("Ribbon: a camera feature could not be recorded");
}

bool CCameraFeatureRecorder::Reports(const std::string& deviceId, const char* feature) {
    bool supported = false;
    return SUCCEEDED(deviceManager->IsFeatureSupportedOf(deviceId, feature, &supported)) && supported;
}

void CCameraFeatureRecorder::Record(const std::string& deviceId) {
    if (!deviceManager)
        return;
    // The camera's name keys its stored SunTune choices; its product id names the model.
    VideoDeviceInfo info;
    bool described = SUCCEEDED(deviceManager->FindVideoDevice(deviceId, &info));
    const std::string cameraName = described ? info.name : std::string();
    const uint16_t productId = static_cast<uint16_t>(info.productId);

    int32_t mode = 0;
    const bool sunTune = SUCCEEDED(deviceManager->GetSunTuneModeOf(deviceId, &mode));
    if (sunTune) {
        int32_t modeSet = CSunTuneRules::ApplyStoredChoice(deviceManager, deviceId, cameraName);
        int32_t value86 = 0;
        int32_t value87 = 0;
        if (modeSet == kSunTuneDefaultMode &&
            ((SUCCEEDED(deviceManager->GetProperty86Of(deviceId, &value86)) && value86 != 0) ||
             (SUCCEEDED(deviceManager->GetProperty87Of(deviceId, &value87)) && value87 != 0)) &&
            onSunTuneArrivalCheck)
            onSunTuneArrivalCheck(deviceId);
    }

    if (described)
        CVidoraSettings::MarkCameraAttached(productId);

    int32_t value = 0;
    if (sunTune) {
        Mark("SunTune");
        if (described)
            CVidoraSettings::SetSTAppUI(productId, 1);
    } else if (SUCCEEDED(deviceManager->GetBacklightOf(deviceId, &value))) {
        Mark("Backlight");
    }

    if (Reports(deviceId, "AFAutoMode"))
        Mark("Autofocus");
    if (Reports(deviceId, "AFManualMode"))
        Mark("AutofocusManual");
    if (effectsPresent &&
        (Reports(deviceId, "Avatar") || Reports(deviceId, "Vizuv") || Reports(deviceId, "FunFilters")))
        Mark("Oriel");

    bool supported = false;
    if (SUCCEEDED(deviceManager->IsFaceTrackingSupportedOf(deviceId, &supported)) && supported)
        Mark("FaceTracking");
    supported = false;
    if (SUCCEEDED(deviceManager->IsMultipleFaceTrackingSupportedOf(deviceId, &supported)) && supported)
        Mark("MultipleFaceTracking");

    if (Reports(deviceId, "MoDetect"))
        Mark("MotionDetector");

    supported = false;
    value = 0;
    if ((SUCCEEDED(deviceManager->GetPtzSupportOf(deviceId, &supported)) && supported) ||
        (SUCCEEDED(deviceManager->GetPtzCapabilityOf(deviceId, &value)) && value != 0))
        Mark("PTZ");

    if (SUCCEEDED(deviceManager->GetMechanicalPrivacyShadeOf(deviceId, &value)))
        Mark("MechanicalPrivacyShade");
    if (effectsPresent && Reports(deviceId, "SW Video Mute"))
        Mark("SoftwareMute");

    RecordAudioControls();

    if (SUCCEEDED(deviceManager->GetLowLightBoostOf(deviceId, &value)))
        Mark("LowLightBoost");
    if (SUCCEEDED(deviceManager->GetColorBoostOf(deviceId, &value)))
        Mark("ColorBoost");
    if (Reports(deviceId, "LEDControl"))
        Mark("LEDControl");
}

void CCameraFeatureRecorder::RecordAudioControls() {
    int32_t value = 0;
    if (SUCCEEDED(deviceManager->GetEchoCancellation(&value)))
        Mark("AEC");
    if (SUCCEEDED(deviceManager->GetNoiseSuppression(&value)))
        Mark("NoiseSuppression");
}

void CCameraFeatureRecorder::RecordMicrophone() {
    if (!deviceManager)
        return;
    RecordAudioControls();
    int32_t muted = 0;
    if (SUCCEEDED(deviceManager->GetMicrophoneMute(&muted)))
        Mark("MicrophoneMute");
}

bool CCameraFeatureRecorder::HasFeature(const std::string& name) {
    return CVidoraSettings::IsFeatureSeen(name);
}

std::vector<uint16_t> CCameraFeatureRecorder::KnownProductIds() {
    std::vector<uint16_t> ids;
    for (uint32_t id : CVidoraSettings::GetAttachedCameras())
        if (id != 0 && id <= 0xFFFF) // a subkey that does not read as a product id names no model
            ids.push_back(static_cast<uint16_t>(id));
    return ids;
}
