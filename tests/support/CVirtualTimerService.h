#pragma once
// Timers on a fake clock, for tests: nothing fires until the test moves time forward with Advance. Due
// timers then fire one by one in order of due time (timers due at the same moment in the order they were
// armed), each with the clock set to its due time; periodic timers re-arm; a timer stopped by an earlier
// callback does not fire.
#include "support/CFakeClock.h"
#include "ui/ITimerService.h"

#include <map>

class CVirtualTimerService : public ITimerService {
public:
    explicit CVirtualTimerService(CFakeClock& clock);

    TimerHandle StartTimer(uint32_t intervalMs, Callback callback) override;
    void StopTimer(TimerHandle handle) override;

    // Moves the clock forward by `milliseconds`, firing what falls due on the way.
    void Advance(uint32_t milliseconds);
    // Fires what is due at the clock's current time (for tests that move the clock themselves).
    void RunDue() { Advance(0); }

    size_t ActiveCount() const { return timers_.size(); }
    bool IsActive(TimerHandle handle) const { return timers_.count(handle) != 0; }
    // Milliseconds until the next timer falls due; -1 when none runs.
    int64_t NextDueIn();
    // Callbacks run so far.
    uint64_t FiredCount() const { return fired_; }

private:
    struct Timer {
        uint32_t interval = 0;
        uint64_t due = 0;
        uint64_t sequence = 0; // order of arming, for timers due at the same moment
        Callback callback;
    };
    // Catches up with the clock when a test moved it directly.
    uint64_t Now();

    CFakeClock& clock_;
    uint32_t lastTick_ = 0;
    uint64_t now_ = 0;
    uint64_t sequence_ = 0;
    uint64_t fired_ = 0;
    TimerHandle next_ = 1;
    std::map<TimerHandle, Timer> timers_;
};
