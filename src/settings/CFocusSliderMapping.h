#pragma once
// The manual focus slider: one slider step per focus step of the camera, the left end at the camera's
// largest focus value. Positions run from 0 to (maximum - minimum) / step; a step of 0 or less counts as 1.
#include <cstdint>

class CFocusSliderMapping {
public:
    CFocusSliderMapping() = default;
    CFocusSliderMapping(int32_t minimum, int32_t maximum, int32_t step);

    int32_t Minimum() const { return minimum_; }
    int32_t Step() const { return step_; }
    int32_t SliderMax() const { return steps_; }
    // The thumb position showing `value` (kept inside 0 ... SliderMax()).
    int32_t PositionOf(int32_t value) const;
    // The focus value written for a thumb position: (SliderMax() - position) * step + minimum.
    int32_t ValueAt(int32_t position) const;

private:
    int32_t minimum_ = 0;
    int32_t step_ = 1;
    int32_t steps_ = 0;
};
