#pragma once
// The arithmetic of the motion detector: each picture's luma plane is shrunk to a small grey picture of
// block averages, and the motion level is how much that small picture changed since the previous one.
//
// Level scale: each cell's change in grey levels (0..255) less a noise floor of kNoiseFloor levels (sensor
// noise and compression flicker that survive the block averages), averaged over all cells, times
// kPointsPerGreyLevel, times sensitivity / 100, rounded and capped at kMaxLevel. A still scene reads 0; a
// hand waved in front of the camera reads in the hundreds at sensitivity 100, a small object crossing the
// picture slowly a few points. The capture window arms the detector with sensitivity 166 and compares with
// its own threshold (1..100); the options preview uses 100 and shows 0..100.
//
// In pictures of 320x240 and more only every second row and column is summed: the blocks stay a good
// average and the work drops fourfold.
// Not thread-safe; the detector calls it from one streaming thread at a time.
#include <cstdint>
#include <optional>
#include <vector>

namespace Granite {

class CMotionAnalyzer {
public:
    static constexpr int kWidth = 80;
    static constexpr int kHeight = 60;
    static constexpr int32_t kNoiseFloor = 2;
    static constexpr int32_t kPointsPerGreyLevel = 50;
    static constexpr int32_t kMaxLevel = 1000;
    static constexpr int32_t kDefaultSensitivity = 100;

    // 1..1000; values outside are clamped.
    void SetSensitivity(int32_t sensitivity);
    int32_t Sensitivity() const { return sensitivity_; }

    // Shrinks one luma plane and compares it with the previous one: the level, or nothing for the first
    // picture after construction, Reset() or a change of picture size. A plane smaller than the small
    // picture is refused (nothing).
    std::optional<int32_t> Feed(const uint8_t* plane, int width, int height, int stride);
    // Forgets the previous picture (the next one starts a new comparison).
    void Reset();

private:
    void Shrink(const uint8_t* plane, int width, int height, int stride);

    int32_t sensitivity_ = kDefaultSensitivity;
    int width_ = 0;
    int height_ = 0;
    int rowStep_ = 1;
    int columnStep_ = 1;
    std::vector<uint16_t> cellOfColumn_; // cell column of each summed source column
    std::vector<uint32_t> sums_;
    std::vector<uint32_t> counts_;
    std::vector<uint8_t> current_;
    std::vector<uint8_t> previous_;
};

} // namespace Granite
