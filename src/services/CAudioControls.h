#pragma once
// The device-manager facade's microphone and speaker operations and the global audio options (echo
// cancellation, noise suppression). They act on the current microphone or speaker of the facade's lists, or
// the one named.
#include "services/CDevicePropertyAccess.h"
#include "services/IInProcDeviceManager.h"

#include <string>

class CAudioControls {
public:
    using Kind = CDeviceLists::Kind;

    // `service` is the facade's own pointer, read at each call (it goes null at shutdown).
    CAudioControls(IInProcDeviceManager* const& service, CDevicePropertyAccess& props);

    HRESULT SetNoiseSuppression(int32_t on);
    HRESULT GetNoiseSuppression(int32_t* on);
    HRESULT SetEchoCancellation(int32_t on);
    HRESULT GetEchoCancellation(int32_t* on);
    HRESULT GetMicrophoneFlag11Of(const std::string& deviceId, bool* flag);
    HRESULT GetMicrophoneFlag12Of(const std::string& deviceId, bool* flag);
    HRESULT GetMicrophoneMuteOf(const std::string& deviceId, bool* muted);
    HRESULT HasMicrophoneVolumeOf(const std::string& deviceId, bool* has);
    HRESULT GetMicrophoneIdAt(int32_t index, std::string& id);
    HRESULT GetMicrophoneLevelRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT GetMicrophoneLevel(int32_t* value);
    HRESULT SetMicrophoneVolume(int32_t value);
    HRESULT GetMicrophoneVolume(int32_t* value);
    HRESULT GetMicrophoneVolumeRange(int32_t* min, int32_t* max, int32_t* value);
    HRESULT SetMicrophoneMute(int32_t muted);
    HRESULT GetMicrophoneMuteByName(const std::string& deviceId, int32_t* muted);
    HRESULT GetMicrophoneMute(int32_t* muted);
    HRESULT Reserved172(int32_t a, int32_t b, int32_t c);
    HRESULT StartMicrophoneMonitor();
    HRESULT StopMicrophoneMonitor();
    HRESULT StopMicrophoneMonitorOnly();
    HRESULT SetSpeakerVolume(int32_t value);
    HRESULT GetSpeakerVolume(int32_t* value);
    HRESULT Reserved175();
    HRESULT SetSpeakerMute(int32_t muted);
    HRESULT GetSpeakerMute(int32_t* muted);
    HRESULT SpeakerCommand63();
    HRESULT SpeakerCommand64();
    HRESULT PlaySoundFile(const std::string& path);
    HRESULT StopSoundFile();

private:
    IInProcDeviceManager* const& service_;
    CDevicePropertyAccess& props_;
};
