#pragma once
// Numbers shared by the simulated devices, the device-manager service and its control tools: the USB
// identity of the simulated hardware, the property numbers of each device kind, the camera event codes and
// the sound-file statuses.
#include "platform/HResult.h"
#include "services/DeviceManagerProperties.h"

#include <cstddef>
#include <cstdint>

namespace Granite {

// The USB vendor id every simulated device reports. Not any real maker's id: the simulated hardware must
// never be mistaken for a real camera by other tools on the machine.
constexpr uint16_t kVendorId = 0xf7a1;

// Product ids of the simulated models.
constexpr uint16_t kProductFullCamera = 0x0a5d;    // every feature the program knows, and the mirror button
constexpr uint16_t kProductBasicCamera = 0x0821;   // the advanced settings, on the platform's generic driver
constexpr uint16_t kProductPtzCamera = 0x0b50;     // the full set with motorised pan and tilt
constexpr uint16_t kProductMinimalCamera = 0x0822; // picture levels only: a camera that lacks everything else
constexpr uint16_t kProductMicrophone = 0x0a30;
// A plain headset: no echo cancellation or noise suppression, and every one of them has the same name.
constexpr uint16_t kProductHeadsetMicrophone = 0x0a31;
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

// The property numbers, as the device-manager service's table has them, under the names the simulated
// devices use (a level's companion is the default the camera starts with).
namespace Prop {
constexpr int32_t Name = DeviceProperty::Common::Name.value;
constexpr int32_t ProductId = DeviceProperty::Common::ProductId.value;
constexpr int32_t VendorId = DeviceProperty::Common::VendorId.value;
} // namespace Prop

namespace CamProp {
namespace P = DeviceProperty::Camera;
constexpr int32_t BrightnessMin = P::Brightness.min, BrightnessMax = P::Brightness.max,
                  Brightness = P::Brightness.value;
constexpr int32_t BrightnessDefault = P::Brightness.companion;
constexpr int32_t ContrastMin = P::Contrast.min, ContrastMax = P::Contrast.max, Contrast = P::Contrast.value;
constexpr int32_t ContrastDefault = P::Contrast.companion;
constexpr int32_t SaturationMin = P::Saturation.min, SaturationMax = P::Saturation.max,
                  Saturation = P::Saturation.value;
constexpr int32_t SaturationDefault = P::Saturation.companion;
constexpr int32_t WhiteBalanceMin = P::WhiteBalance.min, WhiteBalanceMax = P::WhiteBalance.max,
                  WhiteBalance = P::WhiteBalance.value;
constexpr int32_t WhiteBalanceDefault = P::WhiteBalance.companion;
constexpr int32_t ZoomMin = P::Zoom.min, ZoomMax = P::Zoom.max, Zoom = P::Zoom.value;
constexpr int32_t ZoomDefault = P::Zoom.companion;
constexpr int32_t PanMin = P::Pan.min, PanMax = P::Pan.max, Pan = P::Pan.value;
constexpr int32_t PanDefault = P::Pan.companion;
constexpr int32_t TiltMin = P::Tilt.min, TiltMax = P::Tilt.max, Tilt = P::Tilt.value;
constexpr int32_t TiltDefault = P::Tilt.companion;
constexpr int32_t ExposureMin = P::Exposure.min, ExposureMax = P::Exposure.max, Exposure = P::Exposure.value;
constexpr int32_t ExposureDefault = P::Exposure.companion;
constexpr int32_t GainMin = P::Gain.min, GainMax = P::Gain.max, Gain = P::Gain.value;
constexpr int32_t GainDefault = P::Gain.companion;
constexpr int32_t SunTuneAMin = P::SunTuneA.min, SunTuneAMax = P::SunTuneA.max, SunTuneA = P::SunTuneA.value;
constexpr int32_t SunTuneADefault = P::SunTuneA.companion;
constexpr int32_t SunTuneBMin = P::SunTuneB.min, SunTuneBMax = P::SunTuneB.max, SunTuneB = P::SunTuneB.value;
constexpr int32_t SunTuneBDefault = P::SunTuneB.companion;
constexpr int32_t SunTuneCMin = P::SunTuneC.min, SunTuneCMax = P::SunTuneC.max, SunTuneC = P::SunTuneC.value;
constexpr int32_t SunTuneCDefault = P::SunTuneC.companion;
constexpr int32_t SunTuneDMin = P::SunTuneD.min, SunTuneDMax = P::SunTuneD.max, SunTuneD = P::SunTuneD.value;
constexpr int32_t SunTuneDDefault = P::SunTuneD.companion;
constexpr int32_t BacklightMin = P::Backlight.min, BacklightMax = P::Backlight.max,
                  Backlight = P::Backlight.value;
constexpr int32_t BacklightDefault = P::Backlight.companion;
constexpr int32_t FocusMin = P::Focus.min, FocusMax = P::Focus.max, Focus = P::Focus.value;
constexpr int32_t FocusDefault = P::Focus.companion;
constexpr int32_t AutoExposure = P::AutoExposure.value, AutoExposureDefault = P::AutoExposure.companion;
constexpr int32_t MirrorHorizontal = P::MirrorHorizontal.value,
                  MirrorHorizontalDefault = P::MirrorHorizontal.companion;
constexpr int32_t MirrorVertical = P::MirrorVertical.value,
                  MirrorVerticalDefault = P::MirrorVertical.companion;
constexpr int32_t LowLightBoost = P::LowLightBoost.value, LowLightBoostDefault = P::LowLightBoost.companion;
constexpr int32_t ColorBoost = P::ColorBoost.value, ColorBoostDefault = P::ColorBoost.companion;
constexpr int32_t PowerLineFrequency = P::PowerLineFrequency.value,
                  PowerLineFrequencyDefault = P::PowerLineFrequency.companion;
constexpr int32_t FaceTracking = P::FaceTracking.value, FaceTrackingDefault = P::FaceTracking.companion;
constexpr int32_t SunTuneMode = P::SunTuneMode.value, SunTuneModeDefault = P::SunTuneMode.companion;
constexpr int32_t AutoWhiteBalance = P::AutoWhiteBalance.value,
                  AutoWhiteBalanceDefault = P::AutoWhiteBalance.companion;
constexpr int32_t AutoFocus = P::AutoFocus.value, AutoFocusDefault = P::AutoFocus.companion;
constexpr int32_t VideoMute = P::VideoMute.value;
constexpr int32_t DigitalCentre = P::DigitalCentre.value;
constexpr int32_t PtzCapability = P::PtzCapability.value;
constexpr int32_t MoveLeft = P::MoveLeft.value;
constexpr int32_t MoveRight = P::MoveRight.value;
constexpr int32_t MoveUp = P::MoveUp.value;
constexpr int32_t MoveDown = P::MoveDown.value;
constexpr int32_t MotorHome = P::MotorHome.value;
constexpr int32_t Revision = P::Revision.value;
constexpr int32_t PrivacyShutter = P::PrivacyShutter.value;
constexpr int32_t LowLightScene = P::LowLightScene.value;
constexpr int32_t BacklitScene = P::BacklitScene.value;
constexpr int32_t LedMode = P::LedMode.value;
constexpr int32_t LedModeLegacy = P::LedModeLegacy.value;
constexpr int32_t LedDefault = P::LedDefault.value;
constexpr int32_t Reread = P::Reread.value;
constexpr int32_t FocusStep = P::FocusStep.value;
constexpr int32_t FocusStatus = P::FocusStatus.value;
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
namespace P = DeviceProperty::Microphone;
constexpr int32_t VolumeMin = P::Volume.min, VolumeMax = P::Volume.max, Volume = P::Volume.value;
constexpr int32_t LevelMin = P::Level.min, LevelMax = P::Level.max, Level = P::Level.value;
constexpr int32_t Mute = P::Mute.value;
constexpr int32_t EchoCancellation = P::EchoCancellation.value;
constexpr int32_t NoiseSuppression = P::NoiseSuppression.value;
} // namespace MicProp

// Speaker properties.
namespace SpeakerProp {
constexpr int32_t Volume = DeviceProperty::Speaker::Volume.value;
constexpr int32_t Mute = DeviceProperty::Speaker::Mute.value;
} // namespace SpeakerProp

// HID properties.
namespace HidProp {
constexpr int32_t Report = DeviceProperty::Hid::Report.value;
constexpr int32_t Switch = DeviceProperty::Hid::Switch.value;
constexpr int32_t Number = DeviceProperty::Hid::Number.value;
constexpr size_t kReportSize = 33;
} // namespace HidProp

// Global audio options.
constexpr int32_t kOptionEchoCancellation = DeviceProperty::Option::EchoCancellation.value;
constexpr int32_t kOptionNoiseSuppression = DeviceProperty::Option::NoiseSuppression.value;

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
