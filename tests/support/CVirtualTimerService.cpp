#include "support/CVirtualTimerService.h"

CVirtualTimerService::CVirtualTimerService(CFakeClock& clock)
    : clock_(clock), lastTick_(clock.GetTickCount()) {}

uint64_t CVirtualTimerService::Now() {
    uint32_t tick = clock_.GetTickCount();
    now_ += static_cast<uint32_t>(tick - lastTick_); // the tick count wraps; the difference does not
    lastTick_ = tick;
    return now_;
}

ITimerService::TimerHandle CVirtualTimerService::StartTimer(uint32_t intervalMs, Callback callback) {
    Timer timer;
    timer.interval = intervalMs == 0 ? 1 : intervalMs; // a zero period would fire forever at one instant
    timer.due = Now() + timer.interval;
    timer.sequence = sequence_++;
    timer.callback = std::move(callback);
    TimerHandle handle = next_++;
    timers_.emplace(handle, std::move(timer));
    return handle;
}

void CVirtualTimerService::StopTimer(TimerHandle handle) {
    timers_.erase(handle);
}

int64_t CVirtualTimerService::NextDueIn() {
    uint64_t now = Now();
    int64_t best = -1;
    for (const auto& [handle, timer] : timers_) {
        int64_t in = timer.due > now ? static_cast<int64_t>(timer.due - now) : 0;
        if (best < 0 || in < best)
            best = in;
    }
    return best;
}

void CVirtualTimerService::Advance(uint32_t milliseconds) {
    const uint64_t target = Now() + milliseconds;
    for (;;) {
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due > target)
                continue;
            if (next == timers_.end() || it->second.due < next->second.due ||
                (it->second.due == next->second.due && it->second.sequence < next->second.sequence))
                next = it;
        }
        if (next == timers_.end())
            break;
        Timer& timer = next->second;
        if (timer.due > now_) {
            clock_.Advance(static_cast<uint32_t>(timer.due - now_));
            Now();
        }
        // Re-armed before the call so the callback can stop or restart its own timer.
        timer.due += timer.interval;
        timer.sequence = sequence_++;
        Callback callback = timer.callback; // the timer may be erased by its own callback
        ++fired_;
        callback();
    }
    uint64_t now = Now();
    if (target > now)
        clock_.Advance(static_cast<uint32_t>(target - now));
    Now();
}
