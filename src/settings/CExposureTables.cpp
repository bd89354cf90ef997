#include "settings/CExposureTables.h"

#include <array>

namespace {

constexpr std::array<int32_t, 16> kGeneral{10000, 5000, 2500, 1000, 500, 250, 120, 100,
                                           60,    50,   30,   25,   20,  15,  10,  0};
// The low-light sensor: short steps only, finely graded.
constexpr std::array<int32_t, 24> kLowLight{120, 100, 60, 50, 40, 33, 30, 25, 24, 20, 17, 16,
                                            15,  14,  13, 12, 11, 10, 9,  8,  7,  6,  5,  0};
// The webcam's sensor from revision 3 on, and the earlier one.
constexpr std::array<int32_t, 19> kWebcamLate{2000, 1000, 500, 250, 200, 150, 120, 100, 80, 60,
                                              50,   40,   30,  25,  20,  15,  10,  5,   0};
constexpr std::array<int32_t, 13> kWebcamEarly{1000, 500, 250, 120, 100, 60, 50, 30, 25, 20, 15, 10, 0};

// Product ids of the models with their own steps.
constexpr int32_t kWebcam = 0x0821;
constexpr int32_t kWebcamLite = 0x0822;
constexpr int32_t kConferenceCamera = 0x0b50;
// The webcam's revisions above this carry the later sensor.
constexpr int32_t kWebcamEarlyRevision = 2;

} // namespace

std::span<const int32_t> CExposureTables::Default() {
    return kGeneral;
}

CExposureTables::Steps CExposureTables::ForCamera(int32_t productId, int32_t revision) {
    switch (productId) {
    case kConferenceCamera:
        return {true, {}};
    case kWebcam:
        if (revision > kWebcamEarlyRevision)
            return {false, kWebcamLate};
        return {false, kWebcamEarly};
    case kWebcamLite:
        return {false, kLowLight};
    default:
        return {false, kGeneral};
    }
}

CExposureMapping CExposureTables::MappingFor(const Steps& steps, int32_t minimum, int32_t maximum,
                                             int32_t value) {
    if (minimum < 0)
        return CExposureMapping::Plain(minimum, maximum);
    if (steps.logarithmic)
        return CExposureMapping::Logarithmic(minimum, maximum, value);
    return CExposureMapping::Table(steps.table.empty() ? Default() : steps.table, minimum, maximum);
}
