#include "platform/CEvent.h"
#include "platform/CNamedEvent.h"
#include "platform/CNamedMutex.h"
#include "platform/HResult.h"
#include "platform/SpecialFolders.h"
#include "support/CChildProcess.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const char* kName = "VIDORA10_UNIQUE6712250";
const int kLong = 10000; // bound for waits that should end at once; only a fault makes them run out

bool FileExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}
} // namespace

TEST(NamedMutex, ExistsWhileAnyHandleIsOpenAndOwnershipCountsAndBelongsToTheHandle) {
    CTempEnvironment env;
    CNamedMutex a;
    CNamedMutex b;
    ASSERT_TRUE(a.Create(kName, true));
    EXPECT_EQ(a.LastError(), ERROR_SUCCESS);
    ASSERT_TRUE(b.Create(kName, true));
    EXPECT_EQ(b.LastError(), ERROR_ALREADY_EXISTS);
    // Asking for ownership of a mutex that already existed gives none.
    EXPECT_FALSE(b.IsOwned());
    EXPECT_EQ(b.WaitFor(0), WaitResult::Timeout);
    EXPECT_EQ(a.WaitFor(0), WaitResult::Signaled); // owned twice now
    EXPECT_TRUE(a.Release());
    EXPECT_EQ(b.WaitFor(0), WaitResult::Timeout);
    EXPECT_TRUE(a.Release());
    EXPECT_FALSE(a.Release());
    EXPECT_EQ(b.WaitFor(0), WaitResult::Signaled);
    EXPECT_EQ(a.WaitFor(0), WaitResult::Timeout);
    // Closing an owning handle frees the mutex for the others.
    b.Close();
    EXPECT_EQ(a.WaitFor(0), WaitResult::Signaled);
    a.Close();
    // The file stays behind, but with no handle open the mutex is new again.
    CNamedMutex fresh;
    ASSERT_TRUE(fresh.Create(kName, true));
    EXPECT_EQ(fresh.LastError(), ERROR_SUCCESS);
    EXPECT_TRUE(fresh.IsOwned());
}

TEST(NamedMutex, StopEventWinsAndEndsAWait) {
    CTempEnvironment env;
    CNamedMutex owner;
    CNamedMutex waiter;
    ASSERT_TRUE(owner.Create("Stoppable", true));
    ASSERT_TRUE(waiter.Create("Stoppable", false));
    CEvent stop;
    std::thread signaller([&] { stop.Set(); });
    EXPECT_EQ(waiter.WaitFor(kInfinite, &stop), WaitResult::Stopped);
    signaller.join();
    // Both ready: the stop event is reported, and the mutex is not taken.
    owner.Release();
    EXPECT_EQ(waiter.WaitFor(kLong, &stop), WaitResult::Stopped);
    EXPECT_FALSE(waiter.IsOwned());
    stop.Reset();
    EXPECT_EQ(waiter.WaitFor(kLong, &stop), WaitResult::Signaled);
}

TEST(NamedMutex, NamesStayInsideThePrivateFolderAndPlantedLinksAreRefused) {
    CTempEnvironment env;
    CNamedMutex m;
    EXPECT_FALSE(m.Create("", false));
    EXPECT_EQ(m.LastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(m.Create(std::string(300, 'x'), false));

    ASSERT_TRUE(m.Create("../../escape/Global\\name", false));
    EXPECT_FALSE(FileExists(env.Path("escape")));
    EXPECT_TRUE(FileExists(SpecialFolders::RuntimeDir() + "/" +
                           CNamedObjectFile::FileName("../../escape/Global\\name", "mutex")));
    // Names differing in case or only in the encoded characters are different mutexes.
    CNamedMutex other;
    ASSERT_TRUE(other.Create("../../ESCAPE/Global\\name", false));
    EXPECT_EQ(other.LastError(), ERROR_SUCCESS);
    // A mutex and an event of one name are separate objects.
    CNamedEvent event;
    ASSERT_TRUE(event.Create("../../escape/Global\\name", true, false));
    EXPECT_EQ(event.LastError(), ERROR_SUCCESS);

    // A link planted where a mutex's file goes is refused, not followed.
    env.WriteFile("victim", "keep");
    std::string path = SpecialFolders::RuntimeDir() + "/" + CNamedObjectFile::FileName("Planted", "mutex");
    ASSERT_EQ(symlink(env.Path("victim").c_str(), path.c_str()), 0);
    CNamedMutex planted;
    EXPECT_FALSE(planted.Create("Planted", false));
    EXPECT_EQ(planted.LastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(planted.IsValid());
    EXPECT_EQ(planted.WaitFor(0), WaitResult::Failed);
}

TEST(NamedMutex, KilledOwnerLeavesNothingHeld) {
    CTempEnvironment env;
    CChildProcess child([](const CChildProcess::Channel& parent) {
        CNamedMutex m;
        if (!m.Create("Crashy", true) || !m.IsOwned())
            return 2;
        parent.Tell('o');
        for (;;)
            pause();
    });
    ASSERT_EQ(child.Expect(), 'o');
    CNamedMutex waiter;
    ASSERT_TRUE(waiter.Create("Crashy", false));
    EXPECT_EQ(waiter.LastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(waiter.WaitFor(0), WaitResult::Timeout);

    std::thread killer([&] { child.Kill(); });
    // The owner's death wakes the wait and hands the mutex over.
    EXPECT_EQ(waiter.WaitFor(kLong), WaitResult::Signaled);
    killer.join();
    waiter.Close();

    CNamedMutex fresh;
    ASSERT_TRUE(fresh.Create("Crashy", false));
    EXPECT_EQ(fresh.LastError(), ERROR_SUCCESS);
    EXPECT_EQ(fresh.WaitFor(0), WaitResult::Signaled);
}

TEST(NamedMutex, ReleaseInAnotherProcessWakesTheWaiter) {
    CTempEnvironment env;
    CChildProcess child([](const CChildProcess::Channel& parent) {
        CNamedMutex m;
        if (!m.Create("Handover", true))
            return 2;
        parent.Tell('o');
        parent.Await();
        m.Release();
        parent.Await(); // the handle stays open: only the release may wake the waiter
        return 0;
    });
    ASSERT_EQ(child.Expect(), 'o');
    CNamedMutex waiter;
    ASSERT_TRUE(waiter.Create("Handover", false));
    EXPECT_EQ(waiter.WaitFor(0), WaitResult::Timeout);
    child.Tell('r');
    EXPECT_EQ(waiter.WaitFor(kLong), WaitResult::Signaled);
    child.Tell('q');
    EXPECT_EQ(child.Wait(), 0);
}

TEST(NamedEvent, SetInOneProcessWakesAWaiterInAnother) {
    CTempEnvironment env;
    CChildProcess child([](const CChildProcess::Channel& parent) {
        CNamedEvent e;
        if (!e.Create("FaceTrackingChanged", false, false))
            return 2;
        parent.Tell('w');
        return e.Wait(kLong) == WaitResult::Signaled ? 0 : 1;
    });
    ASSERT_EQ(child.Expect(), 'w');
    CNamedEvent e;
    ASSERT_TRUE(e.Create("FaceTrackingChanged", true, true)); // the creator's kind and state stand
    EXPECT_EQ(e.LastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(e.IsManualReset());
    EXPECT_FALSE(e.IsSet());
    ASSERT_TRUE(e.Set());
    EXPECT_EQ(child.Wait(), 0);
    // The waiter took the auto-reset event with it.
    EXPECT_FALSE(e.IsSet());
}

TEST(NamedEvent, AutoResetLetsOneWaiterThroughManualResetAllAndLeftoverStateIsForgotten) {
    CTempEnvironment env;
    CNamedEvent a;
    CNamedEvent b;
    ASSERT_TRUE(a.Create("Auto", false, false));
    ASSERT_TRUE(b.Create("Auto", true, false));
    EXPECT_EQ(b.Wait(0), WaitResult::Timeout);
    a.Set();
    a.Set(); // setting twice still lets only one through
    EXPECT_EQ(b.Wait(0), WaitResult::Signaled);
    EXPECT_EQ(a.Wait(0), WaitResult::Timeout);

    CNamedEvent m1;
    CNamedEvent m2;
    ASSERT_TRUE(m1.Create("Manual", true, false));
    ASSERT_TRUE(m2.Create("Manual", false, false));
    EXPECT_TRUE(m2.IsManualReset());
    m1.Set();
    EXPECT_EQ(m2.Wait(0), WaitResult::Signaled);
    EXPECT_EQ(m1.Wait(0), WaitResult::Signaled);
    m2.Reset();
    EXPECT_EQ(m1.Wait(0), WaitResult::Timeout);

    // The state left by handles that are all gone is forgotten; the next creator's kind and state stand.
    m1.Set();
    m1.Close();
    m2.Close();
    CNamedEvent fresh;
    ASSERT_TRUE(fresh.Create("Manual", false, false));
    EXPECT_EQ(fresh.LastError(), ERROR_SUCCESS);
    EXPECT_FALSE(fresh.IsSet());
    EXPECT_FALSE(fresh.IsManualReset());
}

TEST(NamedEvent, WaitEndsOnStopOrTimeout) {
    CTempEnvironment env;
    CNamedEvent e;
    ASSERT_TRUE(e.Create("Quiet", true, false));
    CEvent stop(true, true);
    EXPECT_EQ(e.Wait(kInfinite, &stop), WaitResult::Stopped);
    EXPECT_EQ(e.Wait(20), WaitResult::Timeout);
    CNamedEvent closed;
    EXPECT_EQ(closed.Wait(0), WaitResult::Failed);
    EXPECT_FALSE(closed.Set());
}

TEST(Event, ManualAndAutoReset) {
    CEvent manual(true, false);
    EXPECT_FALSE(manual.Wait(0));
    manual.Set();
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
    manual.Reset();
    EXPECT_FALSE(manual.IsSet());

    CEvent automatic(false, true);
    automatic.Set(); // already set: still one waiter
    EXPECT_TRUE(automatic.Wait(0));
    EXPECT_FALSE(automatic.Wait(0));

    // Set from another thread wakes a wait without a time limit.
    std::thread setter([&] { automatic.Set(); });
    EXPECT_TRUE(automatic.Wait(kInfinite));
    setter.join();
}

TEST(Event, WaitForAnyPrefersTheFirstReadyObject) {
    CEvent a(true, false);
    CEvent b(true, true);
    CEvent c(true, true);
    EXPECT_EQ(WaitForAny({&a, &b, &c}, 0), 1u);
    a.Set();
    EXPECT_EQ(WaitForAny({&a, &b, &c}, 0), 0u);
    b.Reset();
    c.Reset();
    a.Reset();
    EXPECT_EQ(WaitForAny({&a, &b}, 10), kWaitTimeout);
    EXPECT_EQ(WaitForAny({}, 0), kWaitFailed);
    EXPECT_EQ(WaitForAny({&a, nullptr}, 0), kWaitFailed);
}
