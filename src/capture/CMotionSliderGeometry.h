#pragma once
// The arithmetic of the motion sensitivity slider: a track of fixed width on which the live motion level is
// a bar from the left end and the threshold is the thumb. The bar turns red once the level passes the
// threshold (a level equal to it does not start a recording, so it stays in the normal colour).
#include <cstdint>

class CMotionSliderGeometry {
public:
    static constexpr int kTrackWidth = 157;
    static constexpr int kScale = 100;
    static constexpr int kMinimum = 1;
    static constexpr int kMaximum = 100;

    // Width in pixels of the level bar; levels above the scale fill the track.
    static int LevelBarWidth(uint32_t level);
    // Offset in pixels of the thumb's centre from the left end of the track.
    static int ThumbOffset(int position);
    // The level is above the threshold.
    static bool IsOverThreshold(uint32_t level, int position);
};
