#pragma once
// The service's property numbers as the device-manager facade uses them. A level is read as a triple
// (min, max, value) and written as a value; its companion is a read-only number (the camera's default) that
// the settings windows show beside it. A switch has a value and a companion.
#include "platform/Variant.h"

#include <cstdint>

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

// Camera identity.
constexpr int32_t Name = 0;
constexpr int32_t Info1 = 1; // USB product id
constexpr int32_t Info2 = 2;
constexpr int32_t Info3 = 84;
constexpr int32_t PtzCapability = 76;

// Camera levels.
constexpr Level WebcamLevelA{6, 7, 8, 57};
constexpr Level WebcamLevelB{9, 10, 11, 59};
constexpr Level WebcamLevelC{12, 13, 14, 58};
constexpr Level WebcamLevelD{15, 16, 17, 60};
constexpr Level Zoom{18, 19, 20, 63};
constexpr Level PanTiltAxis1{21, 22, 24, 61};
constexpr Level PanTiltAxis2{25, 26, 28, 62};
constexpr Level AdvancedLevelA{30, 31, 32, 65};
constexpr Level AdvancedLevelB{33, 34, 35, 66};
constexpr Level SunTuneLevelA{45, 46, 47, 72};
constexpr Level SunTuneLevelB{48, 49, 50, 73};
constexpr Level SunTuneLevelC{51, 52, 53, 74};
constexpr Level SunTuneLevelD{54, 55, 56, 75};
constexpr Level Backlight{95, 96, 97, 98};

// Camera switches.
constexpr Switch AdvancedSwitchA{29, 64};
constexpr Switch AdvancedSwitchB{36, 67};
constexpr Switch AdvancedSwitchC{37, 68};
constexpr Switch AdvancedSwitchD{40, 69}; // 0, 1, 2
constexpr Switch TriStateMode{42, 70};    // stored as 0, 1, 4
constexpr Switch LowLightBoost{38, 82};
constexpr Switch ColorBoost{39, 83};
constexpr Switch SunTuneMode{44, 71};

// Other camera values.
constexpr int32_t VideoMute = 4;
constexpr int32_t Flag26 = 26;
constexpr int32_t Reset41 = 41;
constexpr int32_t Clear81 = 81;
constexpr int32_t MechanicalPrivacyShade = 85;
constexpr int32_t Value86 = 86;
constexpr int32_t Value87 = 87;
constexpr int32_t WebcamSwitchE = 88;
constexpr int32_t Flag89 = 89;
constexpr int32_t Value94 = 94;
constexpr int32_t WebcamSwitchF = 99; // auto-focus
constexpr int32_t WebcamValueGDetail100 = 100;
constexpr int32_t WebcamValueGDetail101 = 101;
constexpr int32_t WebcamValueG = 102;
constexpr int32_t WebcamValueGDetail103 = 103;
constexpr int32_t Value104 = 104;
constexpr int32_t Flag105 = 105;
constexpr int32_t FocusStatus106 = 106;
constexpr int32_t PtzCommand77 = 77;
constexpr int32_t PtzCommand78 = 78;
constexpr int32_t PtzCommand79 = 79;
constexpr int32_t PtzCommand80 = 80;
constexpr int32_t LedMode = 90;      // packed (b << 16) | (a << 8) | mode
constexpr int32_t LedModeOlder = 91; // same packing, mode limited to 0, 1, 2
constexpr int32_t LedState = 93;

// Microphone.
constexpr Level MicrophoneVolume{4, 5, 6, 0};
constexpr Level MicrophoneLevel{7, 8, 9, 0};
constexpr int32_t MicrophoneMute = 10;
constexpr int32_t MicrophoneFlag11 = 11;
constexpr int32_t MicrophoneFlag12 = 12;

// Speaker.
constexpr int32_t SpeakerVolume = 8;
constexpr int32_t SpeakerMute = 9;

// HID.
constexpr int32_t HidReport4 = 4;
constexpr int32_t HidSwitch5 = 5;
constexpr int32_t HidValue6 = 6;

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
