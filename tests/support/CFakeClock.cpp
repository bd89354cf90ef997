#include "support/CFakeClock.h"

#include <ctime>

namespace {
SystemTime FromEpochMs(int64_t ms) {
    std::time_t secs = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    SystemTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.dayOfWeek = tm.tm_wday;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.milliseconds = static_cast<int>(ms % 1000);
    return t;
}
} // namespace

uint32_t CFakeClock::GetTickCount() {
    std::lock_guard guard(lock_);
    return ticks_;
}

SystemTime CFakeClock::GetUtcTime() {
    std::lock_guard guard(lock_);
    return FromEpochMs(utcMs_);
}

SystemTime CFakeClock::GetLocalTime() {
    std::lock_guard guard(lock_);
    return FromEpochMs(utcMs_ + int64_t(localOffsetMinutes_) * 60000);
}

void CFakeClock::SetTickCount(uint32_t ticks) {
    std::lock_guard guard(lock_);
    ticks_ = ticks;
}

void CFakeClock::Advance(uint32_t milliseconds) {
    std::lock_guard guard(lock_);
    ticks_ += milliseconds; // wraps like the real tick count
    utcMs_ += milliseconds;
}

void CFakeClock::SetUtcTime(const SystemTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    std::lock_guard guard(lock_);
    utcMs_ = int64_t(timegm(&tm)) * 1000 + t.milliseconds;
}

void CFakeClock::SetLocalOffsetMinutes(int minutes) {
    std::lock_guard guard(lock_);
    localOffsetMinutes_ = minutes;
}
