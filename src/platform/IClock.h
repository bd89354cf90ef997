#pragma once
// Time as the program sees it. The process-wide clock is the system's unless a test installs another.
#include <cstdint>

struct SystemTime {
    int year = 1601;
    int month = 1;     // 1..12
    int dayOfWeek = 0; // 0 = Sunday
    int day = 1;       // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds since an arbitrary start, 32 bits, wrapping after about 49.7 days as the platform's does.
    virtual uint32_t GetTickCount() = 0;
    virtual SystemTime GetUtcTime() = 0;
    virtual SystemTime GetLocalTime() = 0;
};

// The process-wide clock. SetClock(nullptr) restores the system clock; the caller keeps ownership.
IClock& GetClock();
void SetClock(IClock* clock);
