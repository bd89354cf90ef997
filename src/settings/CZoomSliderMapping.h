#pragma once
// Where the zoom slider's thumb sits for a zoom value, and which zoom a thumb position asks for. The vertical
// slider's smallest position is at its top, and the top is the largest zoom, so positions run against the
// values: the range is centred on 0, from -(span / 2) for the largest zoom to span - span / 2 for the
// smallest (for an even span that is -span / 2 ... span / 2; an odd span gives the bottom one more step so
// both ends of the camera's range stay reachable). The same mapping serves every range, negative minimums
// included, so reading, moving and following the camera always agree.
#include <cstdint>

class CZoomSliderMapping {
public:
    CZoomSliderMapping() = default;
    CZoomSliderMapping(int32_t minimum, int32_t maximum);

    int32_t Minimum() const { return minimum_; }
    int32_t Maximum() const { return maximum_; }
    int32_t SliderMin() const { return -half_; }
    int32_t SliderMax() const { return span_ - half_; }
    // The thumb position showing `value` (kept inside the slider's range).
    int32_t PositionOf(int32_t value) const;
    // The zoom a thumb position stands for (kept inside the camera's range).
    int32_t ValueAt(int32_t position) const;

private:
    int32_t minimum_ = 0;
    int32_t maximum_ = 0;
    int32_t span_ = 0;
    int32_t half_ = 0;
};
