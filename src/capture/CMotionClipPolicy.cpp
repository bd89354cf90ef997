#include "capture/CMotionClipPolicy.h"

#include <algorithm>

void CMotionClipPolicy::Arm(uint64_t nowMs, int32_t durationSec, int32_t sensitivity) {
    armed_ = true;
    armTick_ = nowMs;
    durationMs_ = static_cast<uint64_t>(std::max<int32_t>(durationSec, 1)) * 1000;
    sensitivity_ = sensitivity;
    quietCount_ = 0;
    startPosted_ = false;
    clipStartTick_.reset();
}

void CMotionClipPolicy::Disarm() {
    armed_ = false;
    quietCount_ = 0;
    startPosted_ = false;
    clipStartTick_.reset();
}

bool CMotionClipPolicy::ClipTooLong(uint64_t nowMs, bool clipRunning) const {
    // A clock read before the clip's start (ticks from another source) never counts as too long.
    return clipRunning && clipStartTick_ && nowMs > *clipStartTick_ && nowMs - *clipStartTick_ > durationMs_;
}

MotionAction CMotionClipPolicy::OnReading(int32_t level, uint64_t nowMs, bool clipRunning) {
    if (!armed_ || nowMs < armTick_ || nowMs - armTick_ < kSettleMs)
        return MotionAction::None;
    if (ClipTooLong(nowMs, clipRunning))
        return MotionAction::FinishClip;
    if (level < sensitivity_) {
        quietCount_ = std::min(quietCount_ + 1, kQuietReadingsToFinish);
    } else {
        quietCount_ = 0;
        if (!clipRunning && !startPosted_) {
            startPosted_ = true;
            return MotionAction::StartClip;
        }
    }
    if (quietCount_ >= kQuietReadingsToFinish && clipRunning)
        return MotionAction::FinishClip;
    return MotionAction::None;
}

MotionAction CMotionClipPolicy::OnTick(uint64_t nowMs, bool clipRunning) {
    if (armed_ && ClipTooLong(nowMs, clipRunning))
        return MotionAction::FinishClip;
    return MotionAction::None;
}

void CMotionClipPolicy::ClipStarted(uint64_t nowMs) {
    clipStartTick_ = nowMs;
    quietCount_ = 0;
}

void CMotionClipPolicy::ClipFinished() {
    clipStartTick_.reset();
    quietCount_ = 0;
}

void CMotionClipPolicy::StartRequestConsumed() {
    startPosted_ = false;
}
