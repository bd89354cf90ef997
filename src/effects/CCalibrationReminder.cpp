#include "effects/CCalibrationReminder.h"

#include "app/CVidoraSettings.h"
#include "platform/IClock.h"
#include "platform/TextUtil.h"

#include <QStringList>

namespace {

struct Stamp {
    int month = 0;
    int day = 0;
    uint32_t tick = 0;
};

bool Parse(const std::string& text, Stamp& stamp) {
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(':'));
    if (parts.size() != 3)
        return false;
    bool ok[3] = {false, false, false};
    stamp.month = parts[0].trimmed().toInt(&ok[0]);
    stamp.day = parts[1].trimmed().toInt(&ok[1]);
    // Written with "%d": a tick count past 2^31 comes back negative.
    stamp.tick = static_cast<uint32_t>(parts[2].trimmed().toLongLong(&ok[2]));
    return ok[0] && ok[1] && ok[2];
}

} // namespace

bool CCalibrationReminder::IsDue() {
    Stamp last;
    if (!Parse(CVidoraSettings::GetCalibrationLastRun(), last))
        return true;
    IClock& clock = GetClock();
    const SystemTime today = clock.GetUtcTime();
    const uint32_t elapsed = clock.GetTickCount() - last.tick;
    if (last.month == today.month && last.day == today.day && elapsed < kQuietMs)
        return false;
    return CVidoraSettings::ReadRootNumber("CalibrationRemind", 1) != 0;
}

std::string CCalibrationReminder::StampNow() {
    IClock& clock = GetClock();
    const SystemTime today = clock.GetUtcTime();
    return Text::Format("%d:%d:%d", today.month, today.day, static_cast<int>(clock.GetTickCount()));
}
