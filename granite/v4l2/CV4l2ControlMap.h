#pragma once
// Which V4L2 control carries which of the service's camera properties, and how its value reads there.
#include "services/DeviceManagerProperties.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace Granite {

struct V4l2ControlMapping {
    enum class Shape {
        Level,        // an integer with its minimum, maximum and default as the level's numbers
        Switch,       // a boolean control read and written as 0 or 1
        Flag,         // a boolean control read and written as VARIANT_BOOL
        Choice,       // a menu whose item numbers are the property's values
        AutoExposure, // the exposure mode menu: manual reads 0, every automatic mode reads 1
    };
    uint32_t controlId = 0;
    DeviceProperty::Info property;
    Shape shape = Shape::Level;
    // A further read-only number carrying the control's step (kNone when there is none).
    int32_t stepProperty = DeviceProperty::kNone;
};

class CV4l2ControlMap {
public:
    static std::span<const V4l2ControlMapping> All();
    // The mapping whose value, minimum, maximum, companion or step number is `property`; null when none.
    static const V4l2ControlMapping* ForProperty(int32_t property);
    static const V4l2ControlMapping* ForControl(uint32_t controlId);

    // The camera light's controls have no fixed ids: drivers (and the mappings installed for a camera's
    // extension unit) give them their own, so they are known by their names, in any case.
    enum class LightControl { None, Mode, Rate };
    static LightControl LightControlNamed(std::string_view name);
};

} // namespace Granite
