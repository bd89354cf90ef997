// The load warning is raised for a group of ten readings averaging 95 % or more; readings of 0 do not count.
#include "ribbon/CLoadWarningMonitor.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint32_t> Readings(std::initializer_list<std::pair<uint32_t, int>> runs) {
    std::vector<uint32_t> out;
    for (const auto& [value, times] : runs)
        out.insert(out.end(), static_cast<size_t>(times), value);
    return out;
}

TEST(LoadWarningMonitor, OnlyAFullGroupAveragingNinetyFiveWarnsAndEveryGroupOrResetStartsAfresh) {
    struct Case {
        const char* name;
        std::vector<uint32_t> readings;
        bool warns; // on the last reading, never before
    } cases[] = {
        {"950 over ten", Readings({{100, 5}, {90, 5}}), true},
        {"nine high readings", Readings({{100, 9}}), false},
        {"949 over ten", Readings({{95, 9}, {94, 1}}), false},
        {"zeros between", Readings({{100, 1}, {0, 1}, {100, 1}, {0, 1}, {100, 1}, {0, 3}, {100, 7}}), true},
    };
    for (const Case& c : cases) {
        CLoadWarningMonitor monitor;
        for (size_t i = 0; i < c.readings.size(); ++i)
            EXPECT_EQ(monitor.AddSample(c.readings[i]), c.warns && i + 1 == c.readings.size()) << c.name << i;
        if (c.readings.size() == 10) {
            // The closed group is gone, warned or not: the next ten high readings are a group of their own.
            for (int i = 0; i < 9; ++i)
                EXPECT_FALSE(monitor.AddSample(100)) << c.name;
            EXPECT_TRUE(monitor.AddSample(100)) << c.name;
        }
    }
    // A reset drops the group under way.
    CLoadWarningMonitor monitor;
    for (int i = 0; i < 8; ++i)
        monitor.AddSample(100);
    monitor.Reset();
    for (int i = 0; i < 9; ++i)
        EXPECT_FALSE(monitor.AddSample(100));
    EXPECT_TRUE(monitor.AddSample(100));
}

} // namespace
