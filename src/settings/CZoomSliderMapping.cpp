#include "settings/CZoomSliderMapping.h"

#include <algorithm>

CZoomSliderMapping::CZoomSliderMapping(int32_t minimum, int32_t maximum)
    : minimum_(std::min(minimum, maximum)), maximum_(std::max(minimum, maximum)) {
    // A span beyond 32 bits cannot be shown on a slider; such a camera range is clamped.
    const int64_t span = static_cast<int64_t>(maximum_) - minimum_;
    span_ = static_cast<int32_t>(std::min<int64_t>(span, INT32_MAX));
    half_ = span_ / 2;
}

int32_t CZoomSliderMapping::PositionOf(int32_t value) const {
    const int64_t position = static_cast<int64_t>(maximum_) - value - half_;
    return static_cast<int32_t>(std::clamp<int64_t>(position, SliderMin(), SliderMax()));
}

int32_t CZoomSliderMapping::ValueAt(int32_t position) const {
    const int64_t value = static_cast<int64_t>(maximum_) - half_ - position;
    return static_cast<int32_t>(std::clamp<int64_t>(value, minimum_, maximum_));
}
