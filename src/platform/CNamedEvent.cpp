#include "platform/CNamedEvent.h"

#include "platform/HResult.h"

#include <unistd.h>

namespace {
constexpr off_t kStateLockByte = 1;
constexpr char kSignalled = '1';
constexpr char kNotSignalled = '0';
constexpr char kManual = 'm';
constexpr char kAuto = 'a';
} // namespace

CNamedEvent::~CNamedEvent() {
    Close();
}

bool CNamedEvent::Create(const std::string& name, bool manualReset, bool initialState) {
    Close();
    lastError_ = file_.Open(name, "event", [&](int fd) {
        const char header[2] = {initialState ? kSignalled : kNotSignalled, manualReset ? kManual : kAuto};
        return pwrite(fd, header, 2, 0) == 2;
    });
    if (!file_.IsOpen())
        return false;
    char kind = 0;
    if (pread(file_.Fd(), &kind, 1, 1) == 1)
        manualReset_ = kind != kAuto;
    else
        manualReset_ = manualReset;
    return true;
}

void CNamedEvent::Close() {
    file_.Close();
}

bool CNamedEvent::WriteState(char state) {
    if (!file_.IsOpen() || !file_.LockByte(kStateLockByte, true, true))
        return false;
    bool ok = pwrite(file_.Fd(), &state, 1, 0) == 1;
    file_.UnlockByte(kStateLockByte);
    return ok;
}

char CNamedEvent::ReadState() {
    char state = kNotSignalled;
    if (file_.IsOpen() && pread(file_.Fd(), &state, 1, 0) != 1)
        state = kNotSignalled;
    return state;
}

bool CNamedEvent::Set() {
    return WriteState(kSignalled);
}
bool CNamedEvent::Reset() {
    return WriteState(kNotSignalled);
}
bool CNamedEvent::IsSet() {
    return ReadState() == kSignalled;
}

bool CNamedEvent::TryAcquire() {
    if (!file_.IsOpen())
        return false;
    if (manualReset_)
        return IsSet();
    // Reading and resetting under the lock lets exactly one waiter through per Set().
    if (!file_.LockByte(kStateLockByte, true, true))
        return false;
    bool taken = ReadState() == kSignalled;
    if (taken) {
        char state = kNotSignalled;
        taken = pwrite(file_.Fd(), &state, 1, 0) == 1;
    }
    file_.UnlockByte(kStateLockByte);
    return taken;
}

WaitResult CNamedEvent::Wait(uint32_t timeoutMs, IWaitable* stop) {
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
