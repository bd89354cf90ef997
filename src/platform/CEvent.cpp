#include "platform/CEvent.h"

#include <cstdint>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

CEvent::CEvent(bool manualReset, bool initialState) : manualReset_(manualReset) {
    fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (initialState)
        Set();
}

CEvent::~CEvent() {
    if (fd_ >= 0)
        close(fd_);
}

void CEvent::Set() {
    // The counter only has to be non-zero; setting an event that is already set changes nothing a waiter
    // can see, because taking it reads the whole counter back to zero.
    uint64_t one = 1;
    if (fd_ >= 0)
        (void)!write(fd_, &one, sizeof(one));
}

void CEvent::Reset() {
    uint64_t value = 0;
    if (fd_ >= 0)
        (void)!read(fd_, &value, sizeof(value));
}

bool CEvent::IsSet() const {
    if (fd_ < 0)
        return false;
    pollfd p{fd_, POLLIN, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

bool CEvent::TryAcquire() {
    if (manualReset_)
        return IsSet();
    uint64_t value = 0;
    return fd_ >= 0 && read(fd_, &value, sizeof(value)) == static_cast<ssize_t>(sizeof(value));
}

bool CEvent::Wait(uint32_t timeoutMs) {
    return WaitForAny({this}, timeoutMs) == 0;
}
