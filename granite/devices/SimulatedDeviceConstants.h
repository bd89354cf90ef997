#pragma once
// Numbers shared by the simulated devices, the device-manager service and its control tools: the USB
// identity of the simulated hardware, the property numbers of each device kind, the camera event codes and
// the sound-file statuses.
#include "platform/HResult.h"

#include <cstddef>
#include <cstdint>

namespace Granite {

// The USB vendor id every simulated device reports. Not any real maker's id: the simulated hardware must
// never be mistaken for a real camera by other tools on the machine.
constexpr uint16_t kVendorId = 0xf7a1;

// Product ids of the simulated models.
constexpr uint16_t kProductFullCamera = 0x0a5d;  // every feature the program knows, and the mirror button
constexpr uint16_t kProductBasicCamera = 0x0821; // picture levels and backlight only
constexpr uint16_t kProductPtzCamera = 0x0b50;   // the full set with motorised pan and tilt
constexpr uint16_t kProductMicrophone = 0x0a30;
constexpr uint16_t kProductSpeaker = 0x0a40;
constexpr uint16_t kProductHid = 0x0a50;

enum class DeviceKind : int32_t { Camera = 1, Microphone = 2, Speaker = 3, Hid = 4 };

// Answers of the property queries.
enum PropertyState : int32_t {
    kPropertyReadWrite = 0,
    kPropertyReadOnly = 1,
    kPropertyNotAvailable = 2,
};

// A device that was unplugged (or never existed): every call naming it fails with this.
constexpr HRESULT E_DEVICE_NOT_CONNECTED = MakeHResult(0x8007048Fu); // ERROR_DEVICE_NOT_CONNECTED

// Properties every device kind has.
namespace Prop {
constexpr int32_t Name = 0;
constexpr int32_t ProductId = 1;
constexpr int32_t VendorId = 2;
} // namespace Prop

// Camera properties.
namespace CamProp {
constexpr int32_t VideoMute = 4;
constexpr int32_t BrightnessMin = 6, BrightnessMax = 7, Brightness = 8, BrightnessDefault = 57;
constexpr int32_t ContrastMin = 9, ContrastMax = 10, Contrast = 11, ContrastDefault = 59;
constexpr int32_t SaturationMin = 12, SaturationMax = 13, Saturation = 14, SaturationDefault = 58;
constexpr int32_t WhiteBalanceMin = 15, WhiteBalanceMax = 16, WhiteBalance = 17, WhiteBalanceDefault = 60;
constexpr int32_t ZoomMin = 18, ZoomMax = 19, Zoom = 20, ZoomDefault = 63;
constexpr int32_t PanMin = 21, PanMax = 22, Pan = 24, PanDefault = 61;
constexpr int32_t TiltMin = 25, TiltMax = 26, Tilt = 28, TiltDefault = 62;
constexpr int32_t AutoExposure = 29, AutoExposureDefault = 64;
constexpr int32_t ExposureMin = 30, ExposureMax = 31, Exposure = 32, ExposureDefault = 65;
constexpr int32_t GainMin = 33, GainMax = 34, Gain = 35, GainDefault = 66;
constexpr int32_t MirrorHorizontal = 36, MirrorHorizontalDefault = 67;
constexpr int32_t MirrorVertical = 37, MirrorVerticalDefault = 68;
constexpr int32_t LowLightBoost = 38, LowLightBoostDefault = 82;
constexpr int32_t ColorBoost = 39, ColorBoostDefault = 83;
constexpr int32_t PowerLineFrequency = 40, PowerLineFrequencyDefault = 69; // 0 off, 1 50 Hz, 2 60 Hz
constexpr int32_t DigitalCentre = 41;                                      // write: centre the digital window
constexpr int32_t FaceTracking = 42, FaceTrackingDefault = 70;             // 0 off, 1 single, 4 multiple
constexpr int32_t SunTuneMode = 44, SunTuneModeDefault = 71;
constexpr int32_t SunTuneAMin = 45, SunTuneAMax = 46, SunTuneA = 47, SunTuneADefault = 72;
constexpr int32_t SunTuneBMin = 48, SunTuneBMax = 49, SunTuneB = 50, SunTuneBDefault = 73;
constexpr int32_t SunTuneCMin = 51, SunTuneCMax = 52, SunTuneC = 53, SunTuneCDefault = 74;
constexpr int32_t SunTuneDMin = 54, SunTuneDMax = 55, SunTuneD = 56, SunTuneDDefault = 75;
constexpr int32_t PtzCapability = 76; // non-zero: pan and tilt are motorised
constexpr int32_t MoveLeft = 77, MoveRight = 78, MoveUp = 79, MoveDown = 80;
constexpr int32_t MotorHome = 81; // write: drive pan and tilt back to their home position
constexpr int32_t Revision = 84;
constexpr int32_t PrivacyShutter = 85; // 0 open, 1 closed
constexpr int32_t LowLightScene = 86;  // the sensor sees a dark scene
constexpr int32_t BacklitScene = 87;   // the sensor sees a backlit scene
constexpr int32_t AutoWhiteBalance = 88, AutoWhiteBalanceDefault = 89;
constexpr int32_t LedMode = 90;       // (b << 16) | (a << 8) | mode
constexpr int32_t LedModeLegacy = 91; // the older LED firmware: mode 0, 1 or 2
constexpr int32_t LedDefault = 93;    // the LED setting the camera starts with
constexpr int32_t Reread = 94;        // write 44: report exposure and gain again
constexpr int32_t BacklightMin = 95, BacklightMax = 96, Backlight = 97, BacklightDefault = 98;
constexpr int32_t AutoFocus = 99;
constexpr int32_t FocusMin = 100, FocusMax = 101, Focus = 102, FocusStep = 103;
constexpr int32_t FocusDefault = 104, AutoFocusDefault = 105;
constexpr int32_t FocusStatus = 106;
} // namespace CamProp

// What the focus status property reads.
namespace FocusState {
constexpr int32_t Idle = 0;
constexpr int32_t Settled = 1;
constexpr int32_t Searching = 2;
constexpr int32_t Failed = 3;
} // namespace FocusState

// The re-read request that makes the camera report its exposure and gain again.
constexpr int32_t kRereadExposureAndGain = 44;

// SunTune modes the camera accepts.
namespace SunTune {
constexpr int32_t Off = 0;
constexpr int32_t Default = 5;
constexpr int32_t AutoWithEffects = 9;
constexpr int32_t Auto = 10;
} // namespace SunTune

// Microphone properties.
namespace MicProp {
constexpr int32_t VolumeMin = 4, VolumeMax = 5, Volume = 6;
constexpr int32_t LevelMin = 7, LevelMax = 8, Level = 9;
constexpr int32_t Mute = 10;
constexpr int32_t EchoCancellation = 11; // the microphone offers echo cancellation
constexpr int32_t NoiseSuppression = 12; // the microphone offers noise suppression
} // namespace MicProp

// Speaker properties.
namespace SpeakerProp {
constexpr int32_t Volume = 8;
constexpr int32_t Mute = 9;
} // namespace SpeakerProp

// HID properties.
namespace HidProp {
constexpr int32_t Report = 4;
constexpr int32_t Switch = 5;
constexpr int32_t Number = 6;
constexpr size_t kReportSize = 33;
} // namespace HidProp

// Global audio options.
constexpr int32_t kOptionEchoCancellation = 0;
constexpr int32_t kOptionNoiseSuppression = 1;

// Camera event codes.
namespace CamEvent {
constexpr int32_t Button = 1;
constexpr int32_t OpenedByProgram = 8;
constexpr int32_t ClosedByProgram = 9;
constexpr int32_t StreamingStarted = 15;
constexpr int32_t StreamingEnded = 16;
constexpr int32_t MirrorButton = 20;
constexpr int32_t Reset = 26;
constexpr int32_t ShutterOpened = 29;
constexpr int32_t ShutterClosed = 30;
constexpr int32_t SceneAlert = 31; // a dark or backlit scene was detected
constexpr int32_t SceneNormal = 32;
constexpr int32_t FocusSettled = 33;
constexpr int32_t FocusLost = 34;
constexpr int32_t FocusFailed = 35;
} // namespace CamEvent

// Motor statuses reported while motorised pan and tilt move.
constexpr uint32_t kMotorMoving = 1;
constexpr uint32_t kMotorStopped = 0;

// Statuses of a sound file played on a speaker.
namespace SoundStatus {
constexpr uint32_t Started = 1;
constexpr uint32_t Finished = 2;
constexpr uint32_t Stopped = 3;
} // namespace SoundStatus

} // namespace Granite
