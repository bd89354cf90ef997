#pragma once
// Which simulated devices are plugged in at start: read from VIDORA_SIMULATED_DEVICES.
//
// Syntax: a comma-separated list of items "kind[:model][*count]", kinds "camera", "microphone" (or "mic"),
// "speaker", "hid", camera models "full", "basic", "ptz" and "minimal" (default "full"), microphone models
// "standard" and "headset" (no echo cancellation or noise suppression, same name for all); blanks around
// items are ignored and case does not matter. "none" (or an empty list) plugs nothing. Unset: one full
// camera, one microphone and one speaker. Examples: "camera:full,camera:basic,microphone,speaker",
// "camera*2,hid", "none".
#include "granite/devices/SimulatedDeviceConstants.h"

#include <string>
#include <vector>

namespace Granite {

struct DeviceRequest {
    DeviceKind kind = DeviceKind::Camera;
    std::string model; // lower case; the kind's default model when the item named none

    bool operator==(const DeviceRequest& other) const = default;
};

class CSimulatedDeviceChoice {
public:
    // At most this many devices in all: a typo such as "camera*1000" must not flood the device lists.
    static constexpr int kMaxDevices = 16;
    static constexpr const char* kVariable = "VIDORA_SIMULATED_DEVICES";

    // The default set: one full camera, one microphone, one speaker.
    static std::vector<DeviceRequest> Defaults();

    // Parses a list. On a malformed list: false, `error` says what is wrong and where, `devices` holds the
    // default set.
    static bool Parse(const std::string& text, std::vector<DeviceRequest>& devices, std::string& error);

    // The devices the environment asks for; a malformed value is reported on stderr and gives the
    // default set.
    static std::vector<DeviceRequest> FromEnvironment();
};

} // namespace Granite
