#pragma once
// An event that every process of this user finds by name: one process sets it, waiters in any process
// wake. Its state is kept in the object's file (byte 0: '1' signalled, '0' not; byte 1: 'm' manual reset,
// 'a' auto reset) and changed under the file's object lock; every change is a write to the file, which
// wakes the waiters through file change notifications. The creator decides the reset kind and the
// initial state; later openers get the creator's kind. A file left by ended processes starts afresh.
#include "platform/CNamedObjectFile.h"
#include "platform/IWaitable.h"

#include <string>

class CNamedEvent : public IWaitable {
public:
    CNamedEvent() = default;
    ~CNamedEvent() override;
    CNamedEvent(const CNamedEvent&) = delete;
    CNamedEvent& operator=(const CNamedEvent&) = delete;

    // Creates or opens the event. True when a handle was obtained; LastError() then tells
    // ERROR_ALREADY_EXISTS when another handle to it was open, ERROR_SUCCESS otherwise; `manualReset` and
    // `initialState` count only for a new event.
    bool Create(const std::string& name, bool manualReset, bool initialState);
    uint32_t LastError() const { return lastError_; }
    bool IsValid() const { return file_.IsOpen(); }
    bool IsManualReset() const { return manualReset_; }
    void Close();

    bool Set();
    bool Reset();
    // The state, without taking the event.
    bool IsSet();
    // Waits for the event (an auto-reset event is taken), the stop event (wins when both are ready) or the
    // time-out.
    WaitResult Wait(uint32_t timeoutMs, IWaitable* stop = nullptr);

    int NotifyFd() override { return file_.WatchFd(); }
    void DrainNotifications() override { file_.DrainWatch(); }
    bool TryAcquire() override;

private:
    bool WriteState(char state);
    char ReadState();

    CNamedObjectFile file_;
    uint32_t lastError_ = 0;
    bool manualReset_ = true;
};
