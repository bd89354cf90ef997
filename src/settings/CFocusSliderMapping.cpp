#include "settings/CFocusSliderMapping.h"

#include <algorithm>

CFocusSliderMapping::CFocusSliderMapping(int32_t minimum, int32_t maximum, int32_t step)
    : minimum_(std::min(minimum, maximum)), step_(step > 0 ? step : 1) {
    const int64_t span = static_cast<int64_t>(std::max(minimum, maximum)) - minimum_;
    steps_ = static_cast<int32_t>(std::min<int64_t>(span / step_, INT32_MAX));
}

int32_t CFocusSliderMapping::PositionOf(int32_t value) const {
    // The exact inverse of ValueAt: counted in steps from the minimum, then turned around.
    const int64_t fromMinimum = (static_cast<int64_t>(value) - minimum_) / step_;
    return static_cast<int32_t>(std::clamp<int64_t>(steps_ - fromMinimum, 0, steps_));
}

int32_t CFocusSliderMapping::ValueAt(int32_t position) const {
    const int64_t clamped = std::clamp<int64_t>(position, 0, steps_);
    return static_cast<int32_t>((steps_ - clamped) * step_ + minimum_);
}
