#pragma once
// Whether the user should be reminded to calibrate the effects. The last calibration is kept as
// "month:day:tick" (the date in system time, UTC, and the millisecond tick count then); a calibration done
// today less than an hour ago by the tick counter needs no reminder; otherwise "CalibrationRemind" decides
// (on unless stored as 0). A stored date that cannot be read always reminds.
#include <cstdint>
#include <string>

class CCalibrationReminder {
public:
    static constexpr uint32_t kQuietMs = 3600000;

    // Reads the settings and the process clock.
    static bool IsDue();
    // The value to store for a calibration finished now.
    static std::string StampNow();
};
