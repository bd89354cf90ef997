#pragma once
// The device-manager service's property numbers: one table for the facade, the simulated devices, the
// simulator tool and the tests. Every number the service knows is here once, with the name people type in
// the simulator tool, its kind and, for a level, the numbers of its minimum, maximum and companion.
//
// A level is read as a triple (min, max, value) and written as a value; its companion is a read-only number
// (the camera's default) that the settings windows show beside it. A switch has a value and a companion.
#include "platform/Variant.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace DeviceProperty {

enum class Kind {
    Identity, // read when the device is listed
    Level,    // min, max, value and companion
    Switch,   // value (0 or 1 unless stated) and companion
    Choice,   // a value from a short list, with a companion
    Flag,     // VARIANT_BOOL
    Number,   // a number the device reports or takes
    Command,  // written only; the device acts on it
};

constexpr int32_t kNone = -1;

struct Info {
    const char* name;
    Kind kind;
    int32_t value;
    int32_t min = kNone;
    int32_t max = kNone;
    int32_t companion = kNone;
};

// Properties every device kind has.
namespace Common {
inline constexpr Info Name{"name", Kind::Identity, 0};
inline constexpr Info ProductId{"product-id", Kind::Identity, 1};
inline constexpr Info VendorId{"vendor-id", Kind::Identity, 2};
} // namespace Common

namespace Camera {
inline constexpr Info VideoMute{"video-mute", Kind::Flag, 4};
inline constexpr Info Brightness{"brightness", Kind::Level, 8, 6, 7, 57};
inline constexpr Info Contrast{"contrast", Kind::Level, 11, 9, 10, 59};
inline constexpr Info Saturation{"saturation", Kind::Level, 14, 12, 13, 58};
inline constexpr Info WhiteBalance{"white-balance", Kind::Level, 17, 15, 16, 60};
inline constexpr Info Zoom{"zoom", Kind::Level, 20, 18, 19, 63};
inline constexpr Info Pan{"pan", Kind::Level, 24, 21, 22, 61};
inline constexpr Info Tilt{"tilt", Kind::Level, 28, 25, 26, 62};
inline constexpr Info AutoExposure{"auto-exposure", Kind::Switch, 29, kNone, kNone, 64};
inline constexpr Info Exposure{"exposure", Kind::Level, 32, 30, 31, 65};
inline constexpr Info Gain{"gain", Kind::Level, 35, 33, 34, 66};
inline constexpr Info MirrorHorizontal{"mirror-horizontal", Kind::Switch, 36, kNone, kNone, 67};
inline constexpr Info MirrorVertical{"mirror-vertical", Kind::Switch, 37, kNone, kNone, 68};
inline constexpr Info LowLightBoost{"low-light-boost", Kind::Switch, 38, kNone, kNone, 82};
inline constexpr Info ColorBoost{"color-boost", Kind::Switch, 39, kNone, kNone, 83};
// 0 off, 1 50 Hz, 2 60 Hz.
inline constexpr Info PowerLineFrequency{"power-line", Kind::Choice, 40, kNone, kNone, 69};
// Written: centre the digital window.
inline constexpr Info DigitalCentre{"digital-centre", Kind::Command, 41};
// Stored as 0 off, 1 one face, 4 several faces.
inline constexpr Info FaceTracking{"face-tracking", Kind::Choice, 42, kNone, kNone, 70};
inline constexpr Info SunTuneMode{"suntune", Kind::Choice, 44, kNone, kNone, 71};
inline constexpr Info SunTuneA{"suntune-a", Kind::Level, 47, 45, 46, 72};
inline constexpr Info SunTuneB{"suntune-b", Kind::Level, 50, 48, 49, 73};
inline constexpr Info SunTuneC{"suntune-c", Kind::Level, 53, 51, 52, 74};
inline constexpr Info SunTuneD{"suntune-d", Kind::Level, 56, 54, 55, 75};
// Non-zero: pan and tilt are motorised.
inline constexpr Info PtzCapability{"ptz-capability", Kind::Number, 76};
inline constexpr Info MoveLeft{"move-left", Kind::Command, 77};
inline constexpr Info MoveRight{"move-right", Kind::Command, 78};
inline constexpr Info MoveUp{"move-up", Kind::Command, 79};
inline constexpr Info MoveDown{"move-down", Kind::Command, 80};
// Written: drive pan and tilt back to their home position.
inline constexpr Info MotorHome{"motor-home", Kind::Command, 81};
inline constexpr Info Revision{"revision", Kind::Identity, 84};
// 0 open, 1 closed.
inline constexpr Info PrivacyShutter{"shutter", Kind::Number, 85};
inline constexpr Info LowLightScene{"low-light-scene", Kind::Number, 86};
inline constexpr Info BacklitScene{"backlit-scene", Kind::Number, 87};
inline constexpr Info AutoWhiteBalance{"auto-white-balance", Kind::Flag, 88, kNone, kNone, 89};
// (b << 16) | (a << 8) | mode.
inline constexpr Info LedMode{"led", Kind::Number, 90};
// The older LED firmware: the same packing with mode 0, 1 or 2.
inline constexpr Info LedModeLegacy{"led-legacy", Kind::Number, 91};
// The LED setting the camera starts with.
inline constexpr Info LedDefault{"led-default", Kind::Number, 93};
// Written 44: report exposure and gain again.
inline constexpr Info Reread{"reread", Kind::Command, 94};
inline constexpr Info Backlight{"backlight", Kind::Level, 97, 95, 96, 98};
inline constexpr Info AutoFocus{"auto-focus", Kind::Flag, 99, kNone, kNone, 105};
// 100 and 101 are its bounds, 103 its step, 104 its default.
inline constexpr Info Focus{"focus", Kind::Level, 102, 100, 101, 104};
inline constexpr Info FocusStep{"focus-step", Kind::Number, 103};
// 0 idle, 1 settled, 2 searching, 3 failed.
inline constexpr Info FocusStatus{"focus-status", Kind::Number, 106};

// Every camera property, for tools and tests that go through all of them.
inline constexpr Info kAll[] = {
    Common::Name,
    Common::ProductId,
    Common::VendorId,
    VideoMute,
    Brightness,
    Contrast,
    Saturation,
    WhiteBalance,
    Zoom,
    Pan,
    Tilt,
    AutoExposure,
    Exposure,
    Gain,
    MirrorHorizontal,
    MirrorVertical,
    LowLightBoost,
    ColorBoost,
    PowerLineFrequency,
    DigitalCentre,
    FaceTracking,
    SunTuneMode,
    SunTuneA,
    SunTuneB,
    SunTuneC,
    SunTuneD,
    PtzCapability,
    MoveLeft,
    MoveRight,
    MoveUp,
    MoveDown,
    MotorHome,
    Revision,
    PrivacyShutter,
    LowLightScene,
    BacklitScene,
    AutoWhiteBalance,
    LedMode,
    LedModeLegacy,
    LedDefault,
    Reread,
    Backlight,
    AutoFocus,
    Focus,
    FocusStep,
    FocusStatus,
};
} // namespace Camera

namespace Microphone {
inline constexpr Info Volume{"volume", Kind::Level, 6, 4, 5};
inline constexpr Info Level{"level", Kind::Level, 9, 7, 8};
inline constexpr Info Mute{"mute", Kind::Flag, 10};
// Whether the microphone offers echo cancellation and noise suppression.
inline constexpr Info EchoCancellation{"echo-cancellation", Kind::Flag, 11};
inline constexpr Info NoiseSuppression{"noise-suppression", Kind::Flag, 12};
inline constexpr Info kAll[] = {Common::Name, Common::ProductId, Common::VendorId, Volume, Level,
                                Mute,         EchoCancellation,  NoiseSuppression};
} // namespace Microphone

namespace Speaker {
inline constexpr Info Volume{"volume", Kind::Number, 8};
inline constexpr Info Mute{"mute", Kind::Flag, 9};
inline constexpr Info kAll[] = {Common::Name, Common::ProductId, Common::VendorId, Volume, Mute};
} // namespace Speaker

namespace Hid {
inline constexpr Info Report{"report", Kind::Number, 4}; // a byte array
inline constexpr Info Switch{"switch", Kind::Flag, 5};
inline constexpr Info Number{"number", Kind::Number, 6};
inline constexpr Info kAll[] = {Common::ProductId, Common::VendorId, Report, Switch, Number};
} // namespace Hid

// Options of the audio system, not tied to a device.
namespace Option {
inline constexpr Info EchoCancellation{"echo-cancellation", Kind::Flag, 0};
inline constexpr Info NoiseSuppression{"noise-suppression", Kind::Flag, 1};
} // namespace Option

} // namespace DeviceProperty

// The same numbers under the names the facade's operations carry.
namespace GdmProperty {

struct Level {
    int32_t min;
    int32_t max;
    int32_t value;
    int32_t companion;
};

struct Switch {
    int32_t value;
    int32_t companion;
};

constexpr Level LevelOf(const DeviceProperty::Info& p) {
    return Level{p.min, p.max, p.value, p.companion};
}
constexpr Switch SwitchOf(const DeviceProperty::Info& p) {
    return Switch{p.value, p.companion};
}

namespace Cam = DeviceProperty::Camera;

// Camera identity.
constexpr int32_t Name = DeviceProperty::Common::Name.value;
constexpr int32_t ProductId = DeviceProperty::Common::ProductId.value; // Info1
constexpr int32_t VendorId = DeviceProperty::Common::VendorId.value;   // Info2
constexpr int32_t Revision = Cam::Revision.value;                      // Info3
constexpr int32_t PtzCapability = Cam::PtzCapability.value;

// Camera levels.
constexpr Level WebcamLevelA = LevelOf(Cam::Brightness);
constexpr Level WebcamLevelB = LevelOf(Cam::Contrast);
constexpr Level WebcamLevelC = LevelOf(Cam::Saturation);
constexpr Level WebcamLevelD = LevelOf(Cam::WhiteBalance);
constexpr Level Zoom = LevelOf(Cam::Zoom);
constexpr Level PanTiltAxis1 = LevelOf(Cam::Pan);
constexpr Level PanTiltAxis2 = LevelOf(Cam::Tilt);
constexpr Level AdvancedLevelA = LevelOf(Cam::Exposure);
constexpr Level AdvancedLevelB = LevelOf(Cam::Gain);
constexpr Level SunTuneLevelA = LevelOf(Cam::SunTuneA);
constexpr Level SunTuneLevelB = LevelOf(Cam::SunTuneB);
constexpr Level SunTuneLevelC = LevelOf(Cam::SunTuneC);
constexpr Level SunTuneLevelD = LevelOf(Cam::SunTuneD);
constexpr Level Backlight = LevelOf(Cam::Backlight);

// Camera switches.
constexpr Switch AdvancedSwitchA = SwitchOf(Cam::AutoExposure);
constexpr Switch AdvancedSwitchB = SwitchOf(Cam::MirrorHorizontal);
constexpr Switch AdvancedSwitchC = SwitchOf(Cam::MirrorVertical);
constexpr Switch AdvancedSwitchD = SwitchOf(Cam::PowerLineFrequency); // 0, 1, 2
constexpr Switch TriStateMode = SwitchOf(Cam::FaceTracking);          // stored as 0, 1, 4
constexpr Switch LowLightBoost = SwitchOf(Cam::LowLightBoost);
constexpr Switch ColorBoost = SwitchOf(Cam::ColorBoost);
constexpr Switch SunTuneMode = SwitchOf(Cam::SunTuneMode);

// Other camera values.
constexpr int32_t VideoMute = Cam::VideoMute.value;
constexpr int32_t Flag26 = Cam::Tilt.max; // asked for its write flag (service operation 67)
constexpr int32_t Reset41 = Cam::DigitalCentre.value;
constexpr int32_t Clear81 = Cam::MotorHome.value;
constexpr int32_t MechanicalPrivacyShade = Cam::PrivacyShutter.value;
constexpr int32_t Value86 = Cam::LowLightScene.value;
constexpr int32_t Value87 = Cam::BacklitScene.value;
constexpr int32_t WebcamSwitchE = Cam::AutoWhiteBalance.value;
constexpr int32_t Flag89 = Cam::AutoWhiteBalance.companion;
constexpr int32_t Value94 = Cam::Reread.value;
constexpr int32_t AutoFocus = Cam::AutoFocus.value;
constexpr int32_t FocusMin = Cam::Focus.min;
constexpr int32_t FocusMax = Cam::Focus.max;
constexpr int32_t Focus = Cam::Focus.value;
constexpr int32_t FocusStep = Cam::FocusStep.value;
constexpr int32_t FocusDefault = Cam::Focus.companion;
constexpr int32_t AutoFocusDefault = Cam::AutoFocus.companion;
constexpr int32_t FocusStatus = Cam::FocusStatus.value;
constexpr int32_t PtzCommand77 = Cam::MoveLeft.value;
constexpr int32_t PtzCommand78 = Cam::MoveRight.value;
constexpr int32_t PtzCommand79 = Cam::MoveUp.value;
constexpr int32_t PtzCommand80 = Cam::MoveDown.value;
constexpr int32_t LedMode = Cam::LedMode.value;
constexpr int32_t LedModeOlder = Cam::LedModeLegacy.value;
constexpr int32_t LedState = Cam::LedDefault.value;

// Microphone.
constexpr Level MicrophoneVolume{DeviceProperty::Microphone::Volume.min,
                                 DeviceProperty::Microphone::Volume.max,
                                 DeviceProperty::Microphone::Volume.value, 0};
constexpr Level MicrophoneLevel{DeviceProperty::Microphone::Level.min, DeviceProperty::Microphone::Level.max,
                                DeviceProperty::Microphone::Level.value, 0};
constexpr int32_t MicrophoneMute = DeviceProperty::Microphone::Mute.value;
constexpr int32_t MicrophoneFlag11 = DeviceProperty::Microphone::EchoCancellation.value;
constexpr int32_t MicrophoneFlag12 = DeviceProperty::Microphone::NoiseSuppression.value;

// Speaker.
constexpr int32_t SpeakerVolume = DeviceProperty::Speaker::Volume.value;
constexpr int32_t SpeakerMute = DeviceProperty::Speaker::Mute.value;

// HID.
constexpr int32_t HidReport4 = DeviceProperty::Hid::Report.value;
constexpr int32_t HidSwitch5 = DeviceProperty::Hid::Switch.value;
constexpr int32_t HidValue6 = DeviceProperty::Hid::Number.value;

// Camera events: every listed camera reports these...
constexpr int32_t EventSwitchOn8 = 8;
constexpr int32_t EventSwitchOff9 = 9;
constexpr int32_t EventStreamStarted15 = 15;
constexpr int32_t EventStreamEnded16 = 16;
constexpr int32_t EventSwitchOn31 = 31;
constexpr int32_t EventSwitchOff32 = 32;
// ...and the current camera these, subscribed in this order.
constexpr int32_t kCurrentCameraEventCodes[] = {29, 30, 1, 20, 34, 35, 33, 26};

// Product id of the one camera model that reports event 20 meaningfully.
constexpr int32_t kEvent20ProductId = 0x0A5D;

// A switch reads as on when the 16-bit payload of its value is VARIANT_TRUE (-1); false for text and bytes.
inline bool IsVariantTrue(const Variant& value) {
    int32_t number = 0;
    return value.ToI4(number) && static_cast<int16_t>(number & 0xFFFF) == VARIANT_TRUE;
}

} // namespace GdmProperty
