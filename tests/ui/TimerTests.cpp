// Timers: the windows' timers by id (driven by a fake clock), and the event loop's timer service.
#include "TestDialog.h"

#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "ui/CQtTimerService.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class WindowTimerTest : public ::testing::Test {
protected:
    void SetUp() override { SetTimerService(&timers_); }
    void TearDown() override { SetTimerService(nullptr); }
    CTempEnvironment env_;
    CFakeClock clock_;
    CVirtualTimerService timers_{clock_};
};

} // namespace

TEST_F(WindowTimerTest, WindowTimersFireByIdAndRestartWhenSetAgain) {
    CTestDialog dlg(0);
    EXPECT_EQ(dlg.SetTimer(1, 100), 0u); // no window yet
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.SetTimer(0, 100), 0u);
    EXPECT_EQ(dlg.SetTimer(7, 100), 7u);
    EXPECT_EQ(dlg.SetTimer(9, 250), 9u);
    timers_.Advance(260);
    EXPECT_EQ(dlg.timers, (std::vector<UINT_PTR>{7, 7, 9}));

    // Setting it again starts its period afresh.
    EXPECT_EQ(dlg.SetTimer(7, 100), 7u);
    dlg.timers.clear();
    timers_.Advance(90);
    EXPECT_TRUE(dlg.timers.empty());
    timers_.Advance(10);
    EXPECT_EQ(dlg.timers, (std::vector<UINT_PTR>{7}));
    EXPECT_EQ(timers_.ActiveCount(), 2u);

    EXPECT_TRUE(dlg.KillTimer(7));
    EXPECT_FALSE(dlg.KillTimer(7));
    EXPECT_FALSE(dlg.IsTimerRunning(7));
    EXPECT_TRUE(dlg.IsTimerRunning(9));

    // Very short intervals are raised to the minimum.
    dlg.KillTimer(9);
    dlg.timers.clear();
    dlg.SetTimer(1, 0);
    timers_.Advance(CDialogBase::kMinimumTimerInterval - 1);
    EXPECT_TRUE(dlg.timers.empty());
    timers_.Advance(1);
    EXPECT_EQ(dlg.timers, (std::vector<UINT_PTR>{1}));
}

TEST_F(WindowTimerTest, EachWindowHasItsOwnIds) {
    CTestDialog a(0), b(0);
    ASSERT_TRUE(a.Create());
    ASSERT_TRUE(b.Create());
    a.SetTimer(1, 100);
    b.SetTimer(1, 150);
    a.KillTimer(2);
    timers_.Advance(300);
    EXPECT_EQ(a.timers.size(), 3u);
    EXPECT_EQ(b.timers.size(), 2u);
    b.KillTimer(1);
    timers_.Advance(300);
    EXPECT_EQ(a.timers.size(), 6u);
    EXPECT_EQ(b.timers.size(), 2u);
}

TEST_F(WindowTimerTest, TimersStopWithTheirWindow) {
    CTestDialog dlg(0);
    ASSERT_TRUE(dlg.Create());
    dlg.SetTimer(1, 100);
    dlg.SetTimer(2, 100);
    dlg.DestroyWindow();
    EXPECT_EQ(timers_.ActiveCount(), 0u);
    timers_.Advance(1000);
    EXPECT_TRUE(dlg.timers.empty());
    {
        CTestDialog deleted(0);
        ASSERT_TRUE(deleted.Create());
        deleted.SetTimer(3, 10);
    }
    EXPECT_EQ(timers_.ActiveCount(), 0u);
}

TEST_F(WindowTimerTest, AWindowDeletedByAnotherWindowsTimerHearsNothingMore) {
    CTestDialog killer(0);
    auto victim = std::make_unique<CTestDialog>(0);
    ASSERT_TRUE(killer.Create());
    ASSERT_TRUE(victim->Create());
    killer.SetTimer(1, 100);
    victim->SetTimer(1, 100); // due at the same moment, after the killer's
    killer.onTimer = [&](CTestDialog&, UINT_PTR) { victim.reset(); };
    timers_.Advance(100); // the victim's timer must not run on a deleted window
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(killer.timers.size(), 1u);
    EXPECT_EQ(timers_.ActiveCount(), 1u);
}

TEST_F(WindowTimerTest, TimerMessagesCanBeMappedLikeAnyOther) {
    CTestDialog dlg(0);
    ASSERT_TRUE(dlg.Create());
    std::vector<WPARAM> mapped;
    dlg.MapMessage(WM_TIMER, [&](WPARAM id, LPARAM) {
        mapped.push_back(id);
        return 0;
    });
    dlg.SetTimer(4, 50);
    timers_.Advance(100);
    EXPECT_EQ(mapped, (std::vector<WPARAM>{4, 4}));
    EXPECT_TRUE(dlg.timers.empty());
}

TEST(QtTimerServiceTest, FiresFromTheEventLoopUntilStoppedFromItsOwnCallback) {
    CQtTimerService service;
    int fired = 0;
    ITimerService::TimerHandle handle = 0;
    handle = service.StartTimer(0, [&] {
        if (++fired == 3)
            service.StopTimer(handle);
    });
    EXPECT_NE(handle, 0u);
    // A zero interval fires at every pass of the event loop: no waiting on real time.
    for (int i = 0; i < 50 && fired < 3; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(fired, 3);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(fired, 3);
    service.StopTimer(handle); // unknown by now: ignored
}
