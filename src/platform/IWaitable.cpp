#include "platform/IWaitable.h"

#include <cerrno>
#include <chrono>
#include <vector>

#include <poll.h>

namespace {
// Even with a descriptor to watch, an object is looked at again this often: a change that gave no
// notification (a file system without change events, a watch that could not be set up) is still seen.
constexpr int kRecheckMs = 100;
// Objects without a descriptor are looked at this often.
constexpr int kPollMs = 10;
} // namespace

uint32_t WaitForAny(std::initializer_list<IWaitable*> objects, uint32_t timeoutMs) {
    return WaitForAny(objects.begin(), objects.size(), timeoutMs);
}

uint32_t WaitForAny(IWaitable* const* objects, size_t count, uint32_t timeoutMs) {
    if (objects == nullptr || count == 0)
        return kWaitFailed;
    for (size_t i = 0; i < count; ++i)
        if (objects[i] == nullptr)
            return kWaitFailed;

    using Clock = std::chrono::steady_clock;
    const bool infinite = timeoutMs == kInfinite;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs);

    // The descriptors are set up before the first look: a change between that look and the poll must
    // already be recorded on them.
    std::vector<pollfd> fds;
    bool everyObjectNotifies = true;
    for (size_t i = 0; i < count; ++i) {
        int fd = objects[i]->NotifyFd();
        if (fd >= 0)
            fds.push_back(pollfd{fd, POLLIN, 0});
        else
            everyObjectNotifies = false;
    }
    for (;;) {
        // Notifications are cleared before looking, so a change after the look still wakes the poll below.
        for (size_t i = 0; i < count; ++i)
            objects[i]->DrainNotifications();
        for (size_t i = 0; i < count; ++i)
            if (objects[i]->TryAcquire())
                return static_cast<uint32_t>(i);

        int waitMs = everyObjectNotifies ? kRecheckMs : kPollMs;
        for (pollfd& p : fds)
            p.revents = 0;
        if (!infinite) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return kWaitTimeout;
            if (left < waitMs)
                waitMs = static_cast<int>(left);
        }
        int rc = poll(fds.data(), fds.size(), waitMs);
        if (rc < 0 && errno != EINTR)
            return kWaitFailed;
    }
}
