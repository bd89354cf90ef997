#pragma once
// Something a thread can wait for: a mutex of this user, an event of this or another process. Each object
// tells the waiter which descriptor to watch for a possible change and whether it can be taken right now;
// WaitForAny combines several of them the way the program's waits need (wait for the installer's mutex or
// for the stop event, whichever comes first).
#include <cstddef>
#include <cstdint>
#include <initializer_list>

inline constexpr uint32_t kInfinite = 0xFFFFFFFFu;
inline constexpr uint32_t kWaitTimeout = 258;
inline constexpr uint32_t kWaitFailed = 0xFFFFFFFFu;

// The outcome of a wait on one object with an optional stop event.
enum class WaitResult { Signaled, Stopped, Timeout, Failed };

class IWaitable {
public:
    virtual ~IWaitable() = default;
    // A descriptor that becomes readable when the object may have changed; -1 when there is none (the
    // object is then looked at again every few milliseconds).
    virtual int NotifyFd() = 0;
    // Clears the notifications pending on NotifyFd() so the next change is seen afresh.
    virtual void DrainNotifications() = 0;
    // Takes the object when it is signalled: a mutex becomes owned, an auto-reset event is reset. True when
    // it was signalled.
    virtual bool TryAcquire() = 0;
};

// Waits until one of the objects can be taken and takes it. Returns its index (the first in the list wins
// when several are ready), kWaitTimeout when `timeoutMs` passed first (kInfinite waits for ever), or
// kWaitFailed for an empty list or a null object.
uint32_t WaitForAny(std::initializer_list<IWaitable*> objects, uint32_t timeoutMs);
uint32_t WaitForAny(IWaitable* const* objects, size_t count, uint32_t timeoutMs);
