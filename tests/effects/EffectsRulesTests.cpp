#include "effects/CCalibrationReminder.h"
#include "effects/CEffectsMoreAddress.h"
#include "effects/EffectsFixture.h"

namespace {

TEST(EffectsMoreAddressTest, CarriesLocaleCategoryCameraAndVersion) {
    const std::string page = CEffectsMoreAddress::kListingPage;
    EXPECT_EQ(CEffectsMoreAddress::Build("en", "us", 0, CEffectsMoreAddress::Camera{0x0994, 0x5}),
              page + "/EN/US,CRID=2366,effecttype=10346,PID=09940005,ad=Vidora,version=11-0-0");
    EXPECT_EQ(CEffectsMoreAddress::Build("de", "AT", 1, std::nullopt),
              page + "/DE/AT,CRID=2366,effecttype=10347,ad=Vidora,version=11-0-0");
    EXPECT_NE(CEffectsMoreAddress::Build("de", "DE", 2, std::nullopt).find("effecttype=10347"),
              std::string::npos);
}

class CalibrationReminderTest : public EffectsTest {
protected:
    void Today(int month, int day) {
        SystemTime now;
        now.year = 2026;
        now.month = month;
        now.day = day;
        now.hour = 12;
        clock.SetUtcTime(now);
    }
};

TEST_F(CalibrationReminderTest, ACalibrationWithinTheHourTodayIsQuietElseTheSwitchDecides) {
    Today(12, 7);
    clock.SetTickCount(10000000);
    struct Case {
        const char* lastRun; // nullptr: never stored
        uint32_t remind;     // UINT32_MAX: never stored
        bool due;
    } cases[] = {
        {nullptr, UINT32_MAX, true}, // never calibrated, reminders on by default
        {nullptr, 0, false},         // reminders off
        {"12:7:9000000", 1, false},  // today, 1000 s ago
        {"12:7:6400001", 1, false},  // today, just under an hour ago
        {"12:7:6400000", 1, true},   // today, an hour ago
        {"12:7:6400000", 0, false},  // ... but reminders are off
        {"12:6:9000000", 1, true},   // yesterday at the same tick
        {"11:7:9000000", 7, true},   // a month ago; any non-zero switch reminds
        {"garbage", 0, true},        // a date that cannot be read reminds anyway
    };
    for (const Case& c : cases) {
        CTempEnvironment fresh;
        if (c.lastRun != nullptr)
            CVidoraSettings::WriteRootString("CalibrationLastRan", c.lastRun);
        if (c.remind != UINT32_MAX)
            CVidoraSettings::WriteRootNumber("CalibrationRemind", c.remind);
        EXPECT_EQ(CCalibrationReminder::IsDue(), c.due)
            << (c.lastRun != nullptr ? c.lastRun : "(none)") << " remind " << c.remind;
    }
}

TEST_F(CalibrationReminderTest, TheTickCounterWrappingDoesNotEndTheQuietHour) {
    Today(3, 1);
    clock.SetTickCount(1000);
    // Written with "%d" just before the counter wrapped: a negative number.
    CVidoraSettings::WriteRootString("CalibrationLastRun", "3:1:-5000");
    EXPECT_FALSE(CCalibrationReminder::IsDue());
    clock.Advance(CCalibrationReminder::kQuietMs);
    EXPECT_TRUE(CCalibrationReminder::IsDue());
    // What a finished calibration stores silences it again.
    CVidoraSettings::SetCalibrationLastRun(CCalibrationReminder::StampNow());
    EXPECT_FALSE(CCalibrationReminder::IsDue());
}

} // namespace
