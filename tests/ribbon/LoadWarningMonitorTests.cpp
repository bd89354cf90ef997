// The load warning is raised for a group of ten readings averaging 95 % or more; readings of 0 do not count.
#include "ribbon/CLoadWarningMonitor.h"

#include <gtest/gtest.h>

namespace {

bool Feed(CLoadWarningMonitor& monitor, uint32_t value, int times) {
    bool warned = false;
    for (int i = 0; i < times; ++i)
        warned = monitor.AddSample(value) || warned;
    return warned;
}

TEST(LoadWarningMonitor, TenReadingsAveragingNinetyFiveWarnAndStartAfresh) {
    CLoadWarningMonitor monitor;
    EXPECT_FALSE(Feed(monitor, 100, 5));
    EXPECT_FALSE(Feed(monitor, 90, 4));
    EXPECT_EQ(monitor.Count(), 9u);
    EXPECT_EQ(monitor.Sum(), 860u);
    EXPECT_TRUE(monitor.AddSample(90));
    EXPECT_EQ(monitor.Count(), 0u);
    EXPECT_EQ(monitor.Sum(), 0u);
}

TEST(LoadWarningMonitor, NineHighReadingsOrABarelyLowerGroupDoNotWarn) {
    CLoadWarningMonitor monitor;
    EXPECT_FALSE(Feed(monitor, 100, 9));
    EXPECT_EQ(monitor.Count(), 9u);
    monitor.Reset();
    // 949 over ten readings: the average is just under 95.
    EXPECT_FALSE(Feed(monitor, 95, 9));
    EXPECT_FALSE(monitor.AddSample(94));
    EXPECT_EQ(monitor.Count(), 0u) << "a closed group starts again even without a warning";
}

TEST(LoadWarningMonitor, ZeroReadingsAreNotCounted) {
    CLoadWarningMonitor monitor;
    for (int i = 0; i < 9; ++i) {
        EXPECT_FALSE(monitor.AddSample(100));
        EXPECT_FALSE(monitor.AddSample(0));
    }
    EXPECT_EQ(monitor.Count(), 9u);
    EXPECT_TRUE(monitor.AddSample(100));
}

TEST(LoadWarningMonitor, ResetDropsTheGroupUnderWay) {
    CLoadWarningMonitor monitor;
    Feed(monitor, 100, 8);
    monitor.Reset();
    EXPECT_FALSE(Feed(monitor, 100, 9));
    EXPECT_TRUE(monitor.AddSample(100));
}

} // namespace
