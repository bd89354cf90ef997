#pragma once
// The SunTune rules the ribbon, the notification and the SunTune tab share: which mode a camera gets when it
// is recorded and when the user switches SunTune on, when the SunTune notification has to be offered for a
// camera, what happens to the mode when a stream ends and when the ribbon closes. Everything goes through
// the device-manager facade; a null facade does nothing. The notification's answers are CSunTuneAnswer's.
//
// SunTune modes: 0 off, 5 the camera's default mode, 9 and 10 automatic (10 is the one the program
// chooses). The stored per-camera choices ("STMode", "PreviousSTMode", "STOption") are keyed by the
// camera's name; the per-stream flags "NoSTNotification" and "STReturnToDefault" are kept by the facade
// for each camera id for the life of the process.
#include <cstdint>
#include <optional>
#include <string>

class IGraniteDeviceManager;

// What the SunTune notification for a camera is to be built from.
struct SunTuneOffer {
    std::string deviceId;
    std::string cameraName; // empty when the camera could not be described
    std::string cameraKey;  // the camera's settings key (CVidoraSettings::GetCameraKey)
    int32_t recommendedMode = 10;
};

class CSunTuneRules {
public:
    // Start of a session for a camera (the feature recording): "STOption" 1 sets mode 5 on the camera and
    // saves it as "STMode"; any other option sets the stored "STMode" (default 5, a stored value above 5
    // taken as 10; nothing is saved). Returns the mode set, or -1 when the facade is null.
    static int32_t ApplyStoredChoice(IGraniteDeviceManager* dm, const std::string& deviceId,
                                     const std::string& cameraName);

    // Arrival check: the notification is offered only when, tested in this order, no notification is open
    // for this camera (IsNotificationOpen), the camera's holder strings can be read (GetDeviceStringsOf),
    // "NoSTNotification" is 0, the SunTune mode reads 5, the mechanical privacy shade does not read as
    // closed and the software video mute reads 0. Returns the offer (camera described through
    // FindVideoDevice, recommended mode 10), or nothing when no notification is due. Nothing is changed.
    static std::optional<SunTuneOffer> ArrivalCheck(IGraniteDeviceManager* dm, const std::string& deviceId);

    // End of a stream of the camera: when its mode can be read and "STOption" is 1, set mode 5, save it and
    // announce it (FireSeverityChanged(new 5, old mode)); set "NoSTNotification" back to 0; when
    // "STReturnToDefault" is set, set mode 5, save it, announce the change from 0 to 5 and clear the flag.
    static void EndOfStream(IGraniteDeviceManager* dm, const std::string& deviceId);

    // The ribbon closes: every listed camera whose mode can be read is set to mode 0 and its SunTune
    // component value "ST2AppUI_%04X" is written as 0.
    static void OnRibbonClosing(IGraniteDeviceManager* dm);

    // The process-wide list of cameras that have a notification open; ids compare without regard to
    // case. The notification window adds its camera when created and removes it when destroyed.
    static void MarkNotificationOpen(const std::string& deviceId);
    static void MarkNotificationClosed(const std::string& deviceId);
    static bool IsNotificationOpen(const std::string& deviceId);

    static constexpr int32_t kModeOff = 0;
    static constexpr int32_t kModeDefault = 5;
    static constexpr int32_t kModeAuto = 10;
    static constexpr const char* kNoNotification = "NoSTNotification";
    static constexpr const char* kReturnToDefault = "STReturnToDefault";

    // The stored "STMode" as it is applied: a value above 5 stands for the automatic mode 10.
    static int32_t StoredMode(const std::string& cameraName);
    // The mode the user gets when switching SunTune on: the stored mode; when that is off, the mode before
    // it when the notification's answer was not "always" ("STOption" non-zero) and that mode was an on mode
    // below the automatic ones (5), else the automatic mode 10. Never an off mode.
    static int32_t ModeForSwitchingOn(const std::string& cameraName);

private:
    static std::string CameraName(IGraniteDeviceManager* dm, const std::string& deviceId);
};
