#include "platform/CNamedMutex.h"

#include "platform/HResult.h"

namespace {
constexpr off_t kOwnerByte = 1;
}

CNamedMutex::~CNamedMutex() {
    Close();
}

bool CNamedMutex::Create(const std::string& name, bool initiallyOwned) {
    Close();
    bool owned = false;
    lastError_ = file_.Open(name, "mutex", [&](int) {
        // Taken before anyone else can open the mutex, so the creator really is its first owner.
        if (initiallyOwned)
            owned = file_.LockByte(kOwnerByte, true, false);
        return true;
    });
    if (!file_.IsOpen())
        return false;
    ownCount_ = owned ? 1 : 0;
    return true;
}

bool CNamedMutex::TryAcquire() {
    if (!file_.IsOpen())
        return false;
    if (ownCount_ > 0) {
        ++ownCount_;
        return true;
    }
    if (!file_.LockByte(kOwnerByte, true, false))
        return false;
    ownCount_ = 1;
    return true;
}

WaitResult CNamedMutex::WaitFor(uint32_t timeoutMs, IWaitable* stop) {
    if (!file_.IsOpen())
        return WaitResult::Failed;
    uint32_t r = stop != nullptr ? WaitForAny({stop, this}, timeoutMs) : WaitForAny({this}, timeoutMs);
    if (r == kWaitTimeout)
        return WaitResult::Timeout;
    if (r == kWaitFailed)
        return WaitResult::Failed;
    if (stop != nullptr && r == 0)
        return WaitResult::Stopped;
    return WaitResult::Signaled;
}

bool CNamedMutex::Release() {
    if (ownCount_ == 0)
        return false;
    if (--ownCount_ == 0) {
        file_.UnlockByte(kOwnerByte);
        file_.Notify();
    }
    return true;
}

void CNamedMutex::Close() {
    // Closing the file drops the ownership lock; the close itself wakes the waiters.
    ownCount_ = 0;
    file_.Close();
}
