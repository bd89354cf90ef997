#include "granite/capture/CMotionAnalyzer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Granite {

void CMotionAnalyzer::SetSensitivity(int32_t sensitivity) {
    sensitivity_ = std::clamp<int32_t>(sensitivity, 1, 1000);
}

void CMotionAnalyzer::Reset() {
    current_.clear();
    previous_.clear();
}

void CMotionAnalyzer::Shrink(const uint8_t* plane, int width, int height, int stride) {
    constexpr size_t kCells = static_cast<size_t>(kWidth) * kHeight;
    if (width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        Reset();
        // Every second row or column only where each cell still gets at least two of them.
        rowStep_ = height >= 4 * kHeight ? 2 : 1;
        const int columnStep = width >= 4 * kWidth ? 2 : 1;
        cellOfColumn_.clear();
        columnStep_ = columnStep;
        for (int x = 0; x < width; x += columnStep)
            cellOfColumn_.push_back(static_cast<uint16_t>(static_cast<int64_t>(x) * kWidth / width));
        // Every cell gets the same count in every picture of this size: count once.
        counts_.assign(kCells, 0);
        for (int y = 0; y < height; y += rowStep_) {
            const size_t rowBase = static_cast<size_t>(static_cast<int64_t>(y) * kHeight / height) * kWidth;
            for (uint16_t cell : cellOfColumn_)
                ++counts_[rowBase + cell];
        }
    }
    sums_.assign(kCells, 0);
    for (int y = 0; y < height; y += rowStep_) {
        const uint8_t* row = plane + static_cast<ptrdiff_t>(y) * stride;
        uint32_t* cells =
            sums_.data() + static_cast<size_t>(static_cast<int64_t>(y) * kHeight / height) * kWidth;
        const size_t columns = cellOfColumn_.size();
        for (size_t i = 0; i < columns; ++i)
            cells[cellOfColumn_[i]] += row[static_cast<size_t>(columnStep_) * i];
    }
    previous_.swap(current_);
    current_.resize(kCells);
    for (size_t i = 0; i < kCells; ++i)
        current_[i] = static_cast<uint8_t>(counts_[i] ? (sums_[i] + counts_[i] / 2) / counts_[i] : 0);
}

std::optional<int32_t> CMotionAnalyzer::Feed(const uint8_t* plane, int width, int height, int stride) {
    if (plane == nullptr || width < kWidth || height < kHeight || stride < width)
        return std::nullopt;
    Shrink(plane, width, height, stride);
    if (previous_.size() != current_.size())
        return std::nullopt;
    uint64_t total = 0;
    for (size_t i = 0; i < current_.size(); ++i)
        total +=
            static_cast<uint32_t>(std::max(0, std::abs(int(current_[i]) - int(previous_[i])) - kNoiseFloor));
    const double meanDifference = static_cast<double>(total) / static_cast<double>(current_.size());
    const double level = meanDifference * kPointsPerGreyLevel * sensitivity_ / 100.0;
    return static_cast<int32_t>(std::min<double>(std::lround(level), kMaxLevel));
}

} // namespace Granite
