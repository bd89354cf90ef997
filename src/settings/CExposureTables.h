#pragma once
// The exposure steps each camera model offers, chosen by the camera's USB product id: a list of exposure
// values in descending order ending with 0, or the logarithmic scale for models whose exposure runs over a
// wide, fine-grained range. Models not listed use the general list of sixteen steps.
#include "settings/CExposureMapping.h"

#include <cstdint>
#include <span>

class CExposureTables {
public:
    struct Steps {
        bool logarithmic = false;
        std::span<const int32_t> table; // empty for the logarithmic scale
    };

    static Steps ForCamera(int32_t productId, int32_t revision);
    // The general list.
    static std::span<const int32_t> Default();

    // The slider mapping for a camera of that model reporting [minimum, maximum] and value. A negative
    // minimum always gives the plain slider over the camera's own range.
    static CExposureMapping MappingFor(const Steps& steps, int32_t minimum, int32_t maximum, int32_t value);
};
