// The processor-load sampler: load from the change of the idle and elapsed counters, averaged over about
// a second, with the kernel's statistics as the real source.
#include "platform/CSystemInfo.h"
#include "ribbon/CProcessorLoadSampler.h"
#include "support/CFakeClock.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

class ProcessorLoadSamplerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock_);
        clock_.SetTickCount(5000);
    }
    void TearDown() override {
        SetClock(nullptr);
        CSystemInfo::Instance().ResetOverrides();
    }

    // A reader that hands out the queued readings; an empty optional is a failed query.
    CpuReader Reader() {
        return [this](CpuTimes& out) {
            if (readings_.empty())
                return false;
            std::optional<CpuTimes> next = readings_.front();
            readings_.pop_front();
            if (!next)
                return false;
            out = *next;
            return true;
        };
    }
    void Queue(uint64_t idle, uint64_t time, uint32_t processors) {
        readings_.push_back(CpuTimes{idle, time, processors});
    }

    CFakeClock clock_;
    std::deque<std::optional<CpuTimes>> readings_;
};

TEST_F(ProcessorLoadSamplerTest, LoadIsTheNonIdleShareOfTheElapsedTimeRoundedAndKeptInRange) {
    CProcessorLoadSampler sampler(Reader(), 1);
    // Two processors: idle time counts both, elapsed time is wall time. Each reading is 1000 units on.
    const std::pair<uint64_t, uint32_t> readings[] = {
        {1000, 0},        // the first reading only stores the counters
        {1500, 75},       // 500 of 2000 processor-units idle
        {3500, 0},        // all idle
        {3500, 100},      // none idle
        {4166, 67},       // 66.7 % busy, rounded to the nearest percent
        {4166 + 5000, 0}, // counters that ran ahead of the clock
        {1000, 100},      // and backwards
    };
    uint64_t time = 10000;
    for (const auto& [idle, load] : readings) {
        Queue(idle, time += 1000, 2);
        EXPECT_EQ(sampler.Sample(), load) << "idle " << idle;
        clock_.Advance(2000);
    }
}

TEST_F(ProcessorLoadSamplerTest, SamplesWithinASecondAreAveraged) {
    CProcessorLoadSampler sampler(Reader(), 1);
    Queue(100, 100, 1);
    Queue(100 + 10, 100 + 100, 1);  // 90
    Queue(110 + 40, 200 + 100, 1);  // 60
    Queue(150 + 100, 300 + 100, 1); // 0
    Queue(250 + 50, 400 + 100, 1);  // 50
    sampler.Sample();
    clock_.Advance(2000);
    EXPECT_EQ(sampler.Sample(), 90u); // a new window starts here
    clock_.Advance(500);
    EXPECT_EQ(sampler.Sample(), 75u); // (90 + 60) / 2
    clock_.Advance(500);
    EXPECT_EQ(sampler.Sample(), 50u); // 1000 ms after the window started: (90 + 60 + 0) / 3
    clock_.Advance(1);
    EXPECT_EQ(sampler.Sample(), 50u) << "1001 ms: a new window with this sample alone";
}

TEST_F(ProcessorLoadSamplerTest, FailedQueriesGiveZeroAndKeepTheBase) {
    CProcessorLoadSampler sampler(Reader(), 1);
    Queue(100, 100, 1);
    readings_.push_back(std::nullopt);
    Queue(100 + 50, 100 + 200, 1); // 75 % over both intervals
    sampler.Sample();
    clock_.Advance(2000);
    EXPECT_EQ(sampler.Sample(), 0u);
    clock_.Advance(2000);
    EXPECT_EQ(sampler.Sample(), 75u);
    clock_.Advance(2000);
    EXPECT_EQ(sampler.Sample(), 0u) << "no reading left";
}

TEST_F(ProcessorLoadSamplerTest, PlatformClassFollowsTheReportedVersionAndTheNineXFamilyNeverReads) {
    CSystemInfo& info = CSystemInfo::Instance();
    info.OverrideVersion(PlatformVersion{4, 0, true});
    EXPECT_EQ(CProcessorLoadSampler(Reader()).PlatformClass(), 0);
    info.OverrideVersion(PlatformVersion{6, 1, true});
    EXPECT_EQ(CProcessorLoadSampler(Reader()).PlatformClass(), 1);
    info.OverrideVersion(PlatformVersion{4, 10, false});
    CProcessorLoadSampler nineX(Reader());
    EXPECT_EQ(nineX.PlatformClass(), 2);
    Queue(1, 1, 1);
    EXPECT_EQ(nineX.Sample(), 0u);
    EXPECT_EQ(readings_.size(), 1u) << "the counters were read";
}

TEST(ProcessorLoadSamplerProcStat, ParsesTheAggregateLineAndCountsProcessorsOrRefuses) {
    const std::string text = "cpu  100 5 50 800 40 1 2 2 7 0\n"
                             "cpu0 50 2 25 400 20 1 1 1 3 0\n"
                             "cpu1 50 3 25 400 20 0 1 1 4 0\n"
                             "intr 12345 0 0\n"
                             "ctxt 999\n";
    CpuTimes times;
    ASSERT_TRUE(CProcessorLoadSampler::ParseProcStat(text, times));
    EXPECT_EQ(times.processors, 2u);
    // Guest time is part of user time already; iowait counts as idle.
    EXPECT_EQ(times.time, 100u + 5 + 50 + 800 + 40 + 1 + 2 + 2);
    EXPECT_EQ(times.idle, (800u + 40) * 2);

    for (const char* unusable : {"", "cpu  1 2\ncpu0 1 2\n", "cpu  1 2 3 4 5\n" /* no processor lines */,
                                 "cpufreq 1 2 3 4\ncpu0 1 2 3 4\n"})
        EXPECT_FALSE(CProcessorLoadSampler::ParseProcStat(unusable, times)) << unusable;
}

TEST(ProcessorLoadSamplerProcStat, TheRealStatisticsShowThisProcessBeingBusy) {
    CpuTimes start;
    ASSERT_TRUE(CProcessorLoadSampler::ReadProcStat(start));
    EXPECT_GE(start.processors, 1u);
    EXPECT_LE(start.idle, start.time * start.processors);
    CFakeClock clock;
    SetClock(&clock);
    CProcessorLoadSampler sampler;
    sampler.Sample();
    // Keep one processor busy for about twenty clock ticks of wall time.
    CpuTimes now;
    do {
        ASSERT_TRUE(CProcessorLoadSampler::ReadProcStat(now));
    } while (now.time - start.time < 20u * start.processors);
    clock.Advance(6000);
    uint32_t load = sampler.Sample();
    EXPECT_GT(load, 0u);
    EXPECT_LE(load, 100u);
    SetClock(nullptr);
}

} // namespace
