#pragma once
// Where windows get their timers from. The program uses the event loop's timers; tests install a virtual
// service that fires timers only when a fake clock is moved forward.
#include <cstdint>
#include <functional>

class ITimerService {
public:
    using TimerHandle = uint64_t; // never 0
    using Callback = std::function<void()>;

    virtual ~ITimerService() = default;
    // Calls `callback` every `intervalMs` milliseconds on the user-interface thread until stopped.
    virtual TimerHandle StartTimer(uint32_t intervalMs, Callback callback) = 0;
    // After this returns the callback is not called again, even when the timer was already due; stopping
    // a timer from inside any timer's callback is allowed. Unknown handles are ignored.
    virtual void StopTimer(TimerHandle handle) = 0;
};

// The process-wide service: the event loop's timers unless a test installed another. SetTimerService(nullptr)
// restores the real one; the caller keeps ownership and must stop every timer before it goes away.
ITimerService& GetTimerService();
void SetTimerService(ITimerService* service);
