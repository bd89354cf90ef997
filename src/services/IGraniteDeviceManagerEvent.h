#pragma once
// What a window hears from the device-manager facade. Every operation has an empty body, so a window
// overrides only what it needs. The facade calls listeners on the user-interface thread only, in the order
// they were registered; `cookie` is the value the listener gave to AddListener.
//
// A listener may call the facade from inside any of these operations (including AddListener and
// RemoveListener); it may not delete itself without first calling RemoveListener.
#include <cstdint>
#include <string>

class IGraniteDeviceManagerEvent {
public:
    virtual ~IGraniteDeviceManagerEvent() = default;

    // --- current microphone and speaker ---
    virtual void OnMicrophoneVolumeChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    // Also told with 0 after the microphone was muted.
    virtual void OnMicrophoneLevelChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnMicrophoneMuteChanged(uint32_t /*cookie*/, bool /*muted*/) {}
    virtual void OnNotify4(uint32_t /*cookie*/) {}
    virtual void OnSpeakerVolumeChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnSpeakerMuteChanged(uint32_t /*cookie*/, bool /*muted*/) {}
    virtual void OnNotify7(uint32_t /*cookie*/) {}

    // --- properties of the current camera ---
    // 0 off, 1 on, 2 automatic.
    virtual void OnTriStateModeChanged(uint32_t /*cookie*/, int32_t /*mode*/) {}
    // 0, 1 or 2.
    virtual void OnAdvancedSwitchDChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnColorBoostChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnLowLightBoostChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnAdvancedSwitchCChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnAdvancedSwitchBChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnAdvancedLevelBChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnAdvancedLevelAChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnBacklightChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    // Auto-focus switch.
    // Auto-focus switched: 1 on, 0 off (was OnAutoFocusChanged).
    virtual void OnAutoFocusChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnWebcamValueGChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnAdvancedSwitchAChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnZoomChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnPanTiltAxis2Changed(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnPanTiltAxis1Changed(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnWebcamLevelDChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnWebcamSwitchEChanged(uint32_t /*cookie*/, bool /*on*/) {}
    virtual void OnWebcamLevelCChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnWebcamLevelBChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnWebcamLevelAChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnVideoMuteChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnSunTuneLevelBChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnSunTuneLevelAChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnSunTuneLevelCChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnSunTuneLevelDChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    // Also told when a window announces a mode it set (FireSeverityChanged).
    virtual void OnSunTuneModeChanged(uint32_t /*cookie*/, int32_t /*mode*/) {}

    // --- camera events ---
    // 1: the current camera is ready; 3: it was lost.
    virtual void OnDeviceStatus(uint32_t /*cookie*/, int32_t /*status*/) {}
    virtual void OnVideoDeviceEvent29(uint32_t /*cookie*/) {}
    virtual void OnVideoDeviceEvent30(uint32_t /*cookie*/) {}
    virtual void OnVideoDeviceEvent1(uint32_t /*cookie*/) {}
    virtual void OnVideoDeviceEvent20(uint32_t /*cookie*/) {}
    virtual void OnVideoDeviceEvent26(uint32_t /*cookie*/) {}
    // The next four are told for any listed camera, not only the current one.
    // A program opened (on) or closed a listed camera (was OnCameraOpenedOrClosed).
    virtual void OnCameraOpenedOrClosed(const std::string& /*deviceId*/, uint32_t /*cookie*/, bool /*on*/) {}
    virtual void OnVideoDeviceEvent31or32(const std::string& /*deviceId*/, uint32_t /*cookie*/, bool /*on*/) {
    }

    // --- device lists ---
    // The list of that kind (1 camera, 2 microphone, 3 speaker, 4 HID) is already refreshed.
    virtual void OnDeviceArrived(int32_t /*type*/, const std::string& /*deviceId*/) {}
    // previousCurrentId is the device that was current before the removal (empty for HID devices or when
    // none was current); the list is already refreshed and the new current device chosen.
    virtual void OnDeviceRemoved(int32_t /*type*/, const std::string& /*deviceId*/,
                                 const std::string& /*previousCurrentId*/) {}
    // Streaming started (15) and ended (16) on a listed camera.
    virtual void OnVideoDeviceEvent15(const std::string& /*deviceId*/, uint32_t /*cookie*/) {}
    virtual void OnVideoDeviceEvent16(const std::string& /*deviceId*/, uint32_t /*cookie*/) {}
    // SelectVideoDevice made another camera current.
    virtual void OnVideoDeviceSelected(uint32_t /*cookie*/, const std::string& /*deviceId*/) {}
    // The pan/tilt motor of the current camera changed its status.
    virtual void OnVideoMotorStatus() {}
    // A window switched the camera (was OnCameraSwitched).
    virtual void OnCameraSwitched(uint32_t /*cookie*/) {}
    virtual void OnPlaySoundFileStatus(const std::string& /*deviceId*/, uint32_t /*status*/) {}
    virtual void OnSharedStateChanged(uint32_t /*cookie*/, int32_t /*value*/) {}
    virtual void OnHidProperty5Changed(bool /*on*/) {}
    virtual void OnHidProperty6Changed(bool /*on*/) {}
    virtual void OnEchoCancellationChanged(bool /*on*/) {}
    virtual void OnNoiseSuppressionChanged(bool /*on*/) {}
};
