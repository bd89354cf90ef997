// The not-ready balloon: first after 15 s of a persisting not-ready status, then at most once a minute; a
// good status restarts the clock. Tick counts wrap at 32 bits.
#include "ribbon/CEffectsStatusMonitor.h"

#include <gtest/gtest.h>

namespace {

using Action = CEffectsStatusMonitor::Action;

// Polls every two seconds from `from` (exclusive) to `to` (inclusive) and returns the ticks that showed
// the balloon.
std::vector<uint32_t> Poll(CEffectsStatusMonitor& monitor, uint32_t from, uint32_t to, HRESULT status) {
    std::vector<uint32_t> shown;
    for (uint32_t t = from + 2000; static_cast<int32_t>(to - t) >= 0; t += 2000)
        if (monitor.OnStatus(status, t) == Action::ShowBalloon)
            shown.push_back(t);
    return shown;
}

TEST(EffectsStatusMonitor, FirstBalloonAfterMoreThanFifteenSecondsThenOnceAMinuteAcrossTheTickCountWrapping) {
    CEffectsStatusMonitor monitor;
    monitor.Start(100000);
    EXPECT_EQ(Poll(monitor, 100000, 100000 + 140000, E_EFFECTS_NOT_READY),
              (std::vector<uint32_t>{116000, 178000, 240000}));
    // Starting again goes back to fifteen seconds; exactly the interval is not yet more than it.
    monitor.Start(0);
    EXPECT_EQ(monitor.LastStatus(), S_OK);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 15000), Action::None);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 15001), Action::ShowBalloon);
    // 10 s after a start just before the tick count wraps, it is a small number; that is not "long ago".
    const uint32_t start = 0xFFFFFFFFu - 5000u;
    monitor.Start(start);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, start + 10000u), Action::None);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, start + 16000u), Action::ShowBalloon);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, start + 70000u), Action::None);
}

TEST(EffectsStatusMonitor, AGoodStatusClearsAndRestartsTheClock) {
    CEffectsStatusMonitor monitor;
    monitor.Start(0);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 14000), Action::None);
    EXPECT_EQ(monitor.OnStatus(S_OK, 14000), Action::ClearBalloon);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 20000), Action::None) << "clock restarted at 14 s";
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 30000), Action::ShowBalloon);
    // Any status other than not-ready counts as good, failures of the query included.
    EXPECT_EQ(monitor.OnStatus(E_FAIL, 32000), Action::ClearBalloon);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 32000 + 60000), Action::None);
    EXPECT_EQ(monitor.OnStatus(E_EFFECTS_NOT_READY, 32000 + 60002), Action::ShowBalloon);
}

} // namespace
