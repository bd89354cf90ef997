#include "capture/CUnrollSequence.h"

#include <algorithm>
#include <cmath>

CUnrollSequence::CUnrollSequence(int height) : height_(std::max(0, height)) {}

std::optional<CUnrollSequence::Step> CUnrollSequence::Next() {
    if (finished_)
        return std::nullopt;
    Step step;
    if (angle_ < kFinalAngle) {
        const double share = std::sin(angle_);
        step.visibleHeight = static_cast<int>(height_ * share);
        step.waitMs = static_cast<uint32_t>(std::lround(share * kWaitScaleMs));
        angle_ += kAngleStep;
    } else {
        step.visibleHeight = height_;
        step.last = true;
        finished_ = true;
    }
    return step;
}

std::vector<CUnrollSequence::Step> CUnrollSequence::All(int height) {
    std::vector<Step> steps;
    CUnrollSequence sequence(height);
    while (auto step = sequence.Next())
        steps.push_back(*step);
    return steps;
}
