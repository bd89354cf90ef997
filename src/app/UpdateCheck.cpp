#include "app/UpdateCheck.h"

#include "app/CVidoraSettings.h"
#include "app/ExternalPrograms.h"
#include "platform/IClock.h"
#include "platform/TextUtil.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

namespace {
using namespace std::chrono;

constexpr seconds kCheckInterval = hours(24);

std::optional<sys_seconds> ToTimePoint(const SystemTime& t) {
    year_month_day date{year(t.year), month(static_cast<unsigned>(t.month)),
                        day(static_cast<unsigned>(t.day))};
    if (!date.ok() || t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 ||
        t.second > 60)
        return std::nullopt;
    return sys_days(date) + hours(t.hour) + minutes(t.minute) + seconds(t.second);
}

// "YYYY-MM-DDThh:mm:ssZ", nothing before or after it.
std::optional<sys_seconds> ParseUtcTime(const std::string& text) {
    SystemTime t;
    char zone = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c%n", &t.year, &t.month, &t.day, &t.hour,
                    &t.minute, &t.second, &zone, &consumed) != 7 ||
        zone != 'Z' || static_cast<size_t>(consumed) != text.size())
        return std::nullopt;
    return ToTimePoint(t);
}

// The older "month:day:tick" value: its month and day, when both are there and make sense.
std::optional<std::pair<int, int>> ParseOldMonthDay(const std::string& text) {
    int monthValue = 0;
    int dayValue = 0;
    if (std::sscanf(text.c_str(), "%d:%d", &monthValue, &dayValue) != 2 || monthValue < 1 ||
        monthValue > 12 || dayValue < 1 || dayValue > 31)
        return std::nullopt;
    return std::make_pair(monthValue, dayValue);
}
} // namespace

bool IsUpdateCheckDue() {
    const std::string stored = Text::Trim(CVidoraSettings::GetCheckUpdatesLastRun());
    const SystemTime nowTime = GetClock().GetUtcTime();
    const std::optional<sys_seconds> now = ToTimePoint(nowTime);
    if (!now)
        return true;
    if (std::optional<sys_seconds> last = ParseUtcTime(stored))
        return *now < *last || *now - *last >= kCheckInterval;
    if (std::optional<std::pair<int, int>> old = ParseOldMonthDay(stored))
        return !(old->first == nowTime.month && old->second == nowTime.day);
    return true;
}

void RecordUpdateCheck() {
    const SystemTime t = GetClock().GetUtcTime();
    CVidoraSettings::SetCheckUpdatesLastRun(
        Text::Format("%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour, t.minute, t.second));
}

bool RunPeriodicUpdateCheck() {
    if (!IsUpdateCheckDue() || FAILED(RunUpdater(kUpdaterPeriodic)))
        return false;
    RecordUpdateCheck();
    return true;
}

HRESULT CheckForUpdatesNow() {
    const HRESULT result = RunUpdater(kUpdaterCheckNow);
    if (SUCCEEDED(result))
        RecordUpdateCheck();
    return result;
}
