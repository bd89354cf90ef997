#include "platform/CSystemClock.h"

#include <chrono>
#include <ctime>

namespace {
SystemTime FromTm(const std::tm& tm, int ms) {
    SystemTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.dayOfWeek = tm.tm_wday;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.milliseconds = ms;
    return t;
}

CSystemClock& SystemClock() {
    static CSystemClock clock;
    return clock;
}

IClock* g_clock = nullptr;
} // namespace

IClock& GetClock() {
    return g_clock != nullptr ? *g_clock : SystemClock();
}

void SetClock(IClock* clock) {
    g_clock = clock;
}

uint32_t CSystemClock::GetTickCount() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

SystemTime CSystemClock::GetUtcTime() {
    auto now = std::chrono::system_clock::now();
    std::time_t secs = std::chrono::system_clock::to_time_t(now);
    int ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    return FromTm(tm, ms);
}

SystemTime CSystemClock::GetLocalTime() {
    auto now = std::chrono::system_clock::now();
    std::time_t secs = std::chrono::system_clock::to_time_t(now);
    int ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm tm{};
    localtime_r(&secs, &tm);
    return FromTm(tm, ms);
}
