#include "app/UpdateCheck.h"

#include "app/CVidoraSettings.h"
#include "platform/IClock.h"
#include "platform/TextUtil.h"

#include <cstdlib>
#include <string>

namespace {
struct LastRun {
    int month = 0;
    int day = 0;
    uint32_t tick = 0;
};

// Reads up to three numbers separated by ":"; reading stops at the first that is missing or malformed,
// and the missing ones are 0. The tick count may have been written signed by older versions: it is taken
// back to its 32 bits.
LastRun ParseLastRun(const std::string& text) {
    LastRun r;
    long long values[3] = {0, 0, 0};
    const char* p = text.c_str();
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        long long v = std::strtoll(p, &end, 10);
        if (end == p)
            break;
        values[i] = v;
        p = end;
        if (*p != ':')
            break;
        ++p;
    }
    r.month = static_cast<int>(values[0]);
    r.day = static_cast<int>(values[1]);
    r.tick = static_cast<uint32_t>(values[2]);
    return r;
}
} // namespace

bool IsUpdateCheckDue() {
    LastRun last = ParseLastRun(CVidoraSettings::GetCheckUpdatesLastRun());
    IClock& clock = GetClock();
    SystemTime now = clock.GetUtcTime();
    uint32_t tick = clock.GetTickCount();
    if (last.month != now.month)
        return true;
    if (last.day == now.day)
        return false;
    if (last.day == now.day - 1 && tick < last.tick)
        return false;
    return true;
}

void RecordUpdateCheck() {
    IClock& clock = GetClock();
    SystemTime now = clock.GetUtcTime();
    uint32_t tick = clock.GetTickCount();
    CVidoraSettings::SetCheckUpdatesLastRun(Text::Format("%d:%d:%u", now.month, now.day, tick));
}
