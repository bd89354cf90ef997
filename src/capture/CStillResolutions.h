#pragma once
// The still sizes the capture window offers, in the order of the resolution list, each with the camera
// feature it needs (none for the three sizes every camera gives) and the string of its label.
#include <cstdint>
#include <span>

struct StillResolution {
    int32_t width;
    int32_t height;
    const char* feature; // nullptr: no feature needed
    uint32_t labelId;
};

class CStillResolutions {
public:
    using StillResolution = ::StillResolution;

    static std::span<const StillResolution> All();
    // The row of exactly this size; nullptr when the size is not offered.
    static const StillResolution* Find(int32_t width, int32_t height);
    // The camera features that unlock the large sizes, smallest first ("1MPStill" .. "8MPStill").
    static std::span<const char* const> StillFeatures();
};
