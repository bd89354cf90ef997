// The ribbon's monitors: processor load, the high-load warning, and the effects-not-ready balloon.
#include "ribbon/CEffectsStatusMonitor.h"
#include "ribbon/CLoadWarningMonitor.h"
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
    void TearDown() override { SetClock(nullptr); }
    // Hands out the queued readings; an empty optional is a failed query.
    CpuReader Reader() {
        return [this](CpuTimes& out) {
            const std::optional<CpuTimes> next = readings_.empty() ? std::nullopt : readings_.front();
            if (!readings_.empty())
                readings_.pop_front();
            if (next)
                out = *next;
            return next.has_value();
        };
    }
    void Queue(uint64_t idle, uint64_t time) { readings_.push_back(CpuTimes{idle, time, 1}); }
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
        readings_.push_back(CpuTimes{idle, time += 1000, 2});
        EXPECT_EQ(sampler.Sample(), load) << "idle " << idle;
        clock_.Advance(2000);
    }
}

// Samples within a second are averaged; a failed query gives zero and keeps the base of the next one.
TEST_F(ProcessorLoadSamplerTest, SamplesWithinASecondAreAveragedAndFailedQueriesKeepTheBase) {
    CProcessorLoadSampler sampler(Reader(), 1);
    Queue(100, 100);
    Queue(110, 200); // 90
    Queue(150, 300); // 60
    Queue(250, 400); // 0
    Queue(300, 500); // 50
    readings_.push_back(std::nullopt);
    Queue(350, 700); // 75 over both intervals
    sampler.Sample();
    clock_.Advance(2000);
    EXPECT_EQ(sampler.Sample(), 90u); // a new window starts here
    clock_.Advance(500);
    EXPECT_EQ(sampler.Sample(), 75u); // (90 + 60) / 2
    clock_.Advance(500);
    EXPECT_EQ(sampler.Sample(), 50u); // 1000 ms after the window started: (90 + 60 + 0) / 3
    clock_.Advance(1);
    EXPECT_EQ(sampler.Sample(), 50u) << "1001 ms: a new window with this sample alone";
    clock_.Advance(2000);
    EXPECT_EQ(sampler.Sample(), 0u);
    clock_.Advance(2000);
    EXPECT_EQ(sampler.Sample(), 75u);
    clock_.Advance(2000);
    EXPECT_EQ(sampler.Sample(), 0u) << "no reading left";
}

TEST(ProcessorLoadSamplerProcStat, ParsesTheAggregateLineAndCountsProcessorsOrRefuses) {
    const std::string text = "cpu  100 5 50 800 40 1 2 2 7 0\n"
                             "cpu0 50 2 25 400 20 1 1 1 3 0\n"
                             "cpu1 50 3 25 400 20 0 1 1 4 0\n"
                             "intr 12345 0 0\n";
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
    const uint32_t load = sampler.Sample();
    SetClock(nullptr);
    EXPECT_TRUE(load > 0u && load <= 100u) << load;
}

// Readings of 0 do not count; each closed group, warned or not, and a reset start afresh.
TEST(LoadWarningMonitor, OnlyAFullGroupAveragingNinetyFiveWarnsAndEveryGroupOrResetStartsAfresh) {
    const struct {
        const char* name;
        std::vector<uint32_t> readings;
        bool warns; // on the last reading, never before
    } cases[] = {
        {"950 over ten", {100, 100, 100, 100, 100, 90, 90, 90, 90, 90}, true},
        {"949 over ten", {95, 95, 95, 95, 95, 95, 95, 95, 95, 94}, false},
        {"zeros between", {100, 0, 100, 0, 100, 0, 0, 0, 100, 100, 100, 100, 100, 100, 100}, true},
    };
    for (const auto& c : cases) {
        CLoadWarningMonitor monitor;
        for (size_t i = 0; i < c.readings.size(); ++i)
            EXPECT_EQ(monitor.AddSample(c.readings[i]), c.warns && i + 1 == c.readings.size()) << c.name << i;
        if (c.readings.size() == 10) {
            for (int i = 0; i < 9; ++i)
                EXPECT_FALSE(monitor.AddSample(100)) << c.name;
            EXPECT_TRUE(monitor.AddSample(100)) << c.name;
        }
        monitor.AddSample(100);
        monitor.Reset();
        for (int i = 0; i < 9; ++i)
            EXPECT_FALSE(monitor.AddSample(100)) << c.name;
        EXPECT_TRUE(monitor.AddSample(100)) << c.name;
    }
}

using Action = CEffectsStatusMonitor::Action;

// Also across the wrapping of the 32-bit tick count; any other status clears it and restarts the clock.
TEST(EffectsStatusMonitor, FirstBalloonAfterFifteenSecondsThenOnceAMinuteAndAGoodStatusRestarts) {
    CEffectsStatusMonitor monitor;
    monitor.Start(100000);
    std::vector<uint32_t> shown;
    for (uint32_t t = 102000; t <= 240000; t += 2000)
        if (monitor.OnStatus(E_EFFECTS_NOT_READY, t) == Action::ShowBalloon)
            shown.push_back(t);
    EXPECT_EQ(shown, (std::vector<uint32_t>{116000, 178000, 240000}));
    const uint32_t start = 0xFFFFFFFFu - 5000u;
    monitor.Start(start);
    EXPECT_EQ(monitor.LastStatus(), S_OK);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, start + 10000u), Action::None);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, start + 15000u), Action::None) << "not more than 15 s";
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, start + 15001u), Action::ShowBalloon);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, start + 70000u), Action::None);
    monitor.Start(0);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 14000), Action::None);
    EXPECT_EQ(monitor.OnStatus(S_OK, 14000), Action::ClearBalloon);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 20000), Action::None) << "clock restarted at 14 s";
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 30000), Action::ShowBalloon);
    EXPECT_EQ(monitor.OnStatus(E_FAIL, 32000), Action::ClearBalloon) << "a failed query counts as good";
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 32000 + 60000), Action::None);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 32000 + 60002), Action::ShowBalloon);
}

} // namespace
