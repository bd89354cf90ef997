#pragma once
#include "platform/IClock.h"

#include <mutex>

// A clock that only moves when told to; used by tests and by the virtual timer service.
class CFakeClock : public IClock {
public:
    uint32_t GetTickCount() override;
    SystemTime GetUtcTime() override;
    SystemTime GetLocalTime() override;

    void SetTickCount(uint32_t ticks);
    // Moves the tick count and both dates forward together.
    void Advance(uint32_t milliseconds);
    void SetUtcTime(const SystemTime& t);
    // Local time is UTC shifted by this many minutes.
    void SetLocalOffsetMinutes(int minutes);

private:
    std::mutex lock_;
    uint32_t ticks_ = 0;
    int64_t utcMs_ = 0; // milliseconds since 1970-01-01T00:00:00Z
    int localOffsetMinutes_ = 0;
};
