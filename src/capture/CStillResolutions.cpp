#include "capture/CStillResolutions.h"

#include <algorithm>

namespace {

constexpr StillResolution kRows[] = {
    {320, 240, nullptr, 235},      {640, 480, nullptr, 236},      {960, 720, nullptr, 237},
    {1280, 960, "1MPStill", 238},  {1600, 1200, "2MPStill", 290}, {2048, 1536, "3MPStill", 288},
    {2304, 1728, "4MPStill", 289}, {2592, 1944, "5MPStill", 470}, {3264, 2448, "8MPStill", 471},
};

constexpr const char* kFeatures[] = {"1MPStill", "2MPStill", "3MPStill", "4MPStill", "5MPStill", "8MPStill"};

} // namespace

std::span<const StillResolution> CStillResolutions::All() {
    return kRows;
}

const StillResolution* CStillResolutions::Find(int32_t width, int32_t height) {
    const auto* row = std::find_if(std::begin(kRows), std::end(kRows), [&](const StillResolution& r) {
        return r.width == width && r.height == height;
    });
    return row == std::end(kRows) ? nullptr : row;
}

std::span<const char* const> CStillResolutions::StillFeatures() {
    return kFeatures;
}
