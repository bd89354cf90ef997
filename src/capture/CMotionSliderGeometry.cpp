#include "capture/CMotionSliderGeometry.h"

#include <algorithm>

int CMotionSliderGeometry::LevelBarWidth(uint32_t level) {
    const uint32_t shown = std::min<uint32_t>(level, kScale);
    return static_cast<int>(shown * kTrackWidth / kScale);
}

int CMotionSliderGeometry::ThumbOffset(int position) {
    return std::clamp(position, 0, kScale) * kTrackWidth / kScale;
}

bool CMotionSliderGeometry::IsOverThreshold(uint32_t level, int position) {
    return position < 0 || level > static_cast<uint32_t>(position);
}
