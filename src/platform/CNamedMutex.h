#pragma once
// A mutex that every process of this user finds by name (the single-instance test, "main window ready",
// "an installer is unpacking"). It exists while any handle to it is open anywhere; a process that ends,
// even killed, closes its handles and gives up its ownership with them, so a crash never leaves the
// mutex held. Ownership belongs to the handle object: waiting again on a handle that owns the mutex counts
// up, and it is free again after as many releases. One thread uses a handle at a time.
#include "platform/CNamedObjectFile.h"
#include "platform/IWaitable.h"

#include <string>

class CNamedMutex : public IWaitable {
public:
    CNamedMutex() = default;
    ~CNamedMutex() override;
    CNamedMutex(const CNamedMutex&) = delete;
    CNamedMutex& operator=(const CNamedMutex&) = delete;

    // Creates or opens the mutex. True when a handle was obtained; LastError() then tells
    // ERROR_ALREADY_EXISTS when another handle to it was open (here or in another process) and ERROR_SUCCESS
    // otherwise. Without a handle, LastError() gives the reason (ERROR_ACCESS_DENIED when the file may not be
    // used). Ownership is taken only for a new mutex and only when `initiallyOwned`.
    bool Create(const std::string& name, bool initiallyOwned);
    uint32_t LastError() const { return lastError_; }
    bool IsValid() const { return file_.IsOpen(); }
    bool IsOwned() const { return ownCount_ > 0; }

    // Waits until this handle owns the mutex, the stop event is signalled (it wins when both are ready), or
    // the time-out passes (kInfinite: no time limit).
    WaitResult WaitFor(uint32_t timeoutMs, IWaitable* stop = nullptr);
    // Gives up one level of ownership; false when this handle does not own it.
    bool Release();
    // Gives up any ownership and closes the handle.
    void Close();

    int NotifyFd() override { return file_.WatchFd(); }
    void DrainNotifications() override { file_.DrainWatch(); }
    bool TryAcquire() override;

private:
    CNamedObjectFile file_;
    uint32_t lastError_ = 0;
    unsigned ownCount_ = 0;
};
