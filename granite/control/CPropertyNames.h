#pragma once
// Names for property numbers, so that people can type "vidora-sim set zoom 200" instead of a number.
#include "granite/devices/SimulatedDeviceConstants.h"

#include <string>
#include <vector>

namespace Granite {

class CPropertyNames {
public:
    // A name ("zoom", "auto-focus", ...) or a number ("20", "0x14"); false for anything else.
    static bool Parse(DeviceKind kind, const std::string& text, int32_t& number);
    // The names a kind knows, for the help text.
    static std::vector<std::string> Names(DeviceKind kind);
};

} // namespace Granite
