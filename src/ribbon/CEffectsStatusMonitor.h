#pragma once
// Decides when the "effects engine not ready" balloon is due. The ribbon polls the engine's status every
// two seconds while effects run; a persisting not-ready status is announced at the earliest 15 s after
// monitoring started and then at most once a minute, and any other status resets the clock.
#include "platform/HResult.h"

#include <cstdint>

class CEffectsStatusMonitor {
public:
    enum class Action {
        None,         // nothing to show or remove
        ShowBalloon,  // show the not-ready balloon now
        ClearBalloon, // the status is fine: stop the balloon time-out and remove a temporary balloon icon
    };

    // Monitoring starts: the last status is cleared, the minimum interval is 15 s, counted from `nowTick`.
    void Start(uint32_t nowTick);
    // One status reading at `nowTick` (milliseconds, the 32-bit tick count). Not ready
    // (E_EFFECTS_NOT_READY) and more than the interval passed since the last balloon or good status:
    // ShowBalloon, the clock restarts and the interval becomes 60 s. Not ready otherwise: None. Any other
    // status: ClearBalloon and the clock restarts. Tick differences are taken modulo 2^32, so the check
    // survives the tick count wrapping around.
    Action OnStatus(HRESULT status, uint32_t nowTick);

    HRESULT LastStatus() const { return effectsStatus; }
    uint32_t IntervalSeconds() const { return statusNoticeInterval; }
    uint32_t NoticeTick() const { return statusNoticeTick; }

    static constexpr uint32_t kFirstIntervalSeconds = 15;
    static constexpr uint32_t kRepeatIntervalSeconds = 60;

private:
    HRESULT effectsStatus = S_OK;
    uint32_t statusNoticeInterval = kFirstIntervalSeconds;
    uint32_t statusNoticeTick = 0;
};
