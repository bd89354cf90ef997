#pragma once
// An event of this process (for example a thread's stop request) that can be waited for together with the
// named objects. Manual-reset events stay signalled until Reset(); auto-reset events let one waiter through
// and then reset themselves.
#include "platform/IWaitable.h"

class CEvent : public IWaitable {
public:
    explicit CEvent(bool manualReset = true, bool initialState = false);
    ~CEvent() override;
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    void Set();
    void Reset();
    // Manual-reset: whether it is signalled. Auto-reset: the same, without taking it.
    bool IsSet() const;
    // Waits for the event; an auto-reset event is taken. True when it was signalled in time.
    bool Wait(uint32_t timeoutMs);

    int NotifyFd() override { return fd_; }
    void DrainNotifications() override {}
    bool TryAcquire() override;

private:
    int fd_ = -1; // an eventfd: readable while the event is signalled
    bool manualReset_;
};
