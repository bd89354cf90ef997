#pragma once
// Writes down, in the settings store, which features the attached cameras and microphones offer, so that
// every window can show or hide its controls without asking the camera. Features are only ever added: a
// feature seen once on any camera stays recorded. Also puts a camera's SunTune mode to the user's stored
// choice when the camera is recorded, and records each camera model ever attached.
#include "platform/HResult.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class IGraniteDeviceManager;

class CCameraFeatureRecorder {
public:
    // `deviceManager` may be null (then nothing is recorded); the caller keeps its reference.
    // `effectsPresent`: the video-effects engine is installed (effects features count only then).
    CCameraFeatureRecorder(IGraniteDeviceManager* deviceManager, bool effectsPresent);

    // Called with the camera's id when recording found it in the default SunTune mode (5) with property
    // 86 or 87 set: the ribbon runs the SunTune arrival check then.
    std::function<void(const std::string& deviceId)> onSunTuneArrivalCheck;

    // Records the features of one camera, in this order: SunTune mode set from the stored choice (and the
    // arrival check), the camera model under "Cameras\\Attached", "SunTune" (and the SunTune component's
    // "ST2AppUI_%04X" = 1) or else "Backlight", "Autofocus", "AutofocusManual", "Oriel", "FaceTracking",
    // "MultipleFaceTracking", "MotionDetector", "PTZ", "MechanicalPrivacyShade", "SoftwareMute", "AEC",
    // "NoiseSuppression", "LowLightBoost", "ColorBoost", "LEDControl".
    void Record(const std::string& deviceId);
    // The microphone part, run alone when a microphone arrives: "AEC", "NoiseSuppression",
    // "MicrophoneMute" (each when the current microphone answers the query).
    void RecordMicrophone();

    // True when some camera offered the feature.
    static bool HasFeature(const std::string& name);
    // The product ids of every camera model ever attached.
    static std::vector<uint16_t> KnownProductIds();

    // SunTune modes as the program uses them.
    static constexpr int32_t kSunTuneDefaultMode = 5;
    static constexpr int32_t kSunTuneAutoMode = 10;

private:
    void Mark(const char* feature);
    bool Reports(const std::string& deviceId, const char* feature);
    void RecordAudioControls();

    IGraniteDeviceManager* deviceManager;
    bool effectsPresent;
};
