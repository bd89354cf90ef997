// Named mutexes and events shared by the user's processes, the program's ten state events, and the
// in-process event they wait with.
#include "platform/CEvent.h"
#include "platform/CNamedEvent.h"
#include "platform/CNamedMutex.h"
#include "platform/CVidoraNamedEvents.h"
#include "platform/HResult.h"
#include "platform/SpecialFolders.h"
#include "support/CChildProcess.h"
#include "support/CTempEnvironment.h"

#include <QDir>
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
    EXPECT_FALSE(b.IsOwned()); // asking for ownership of a mutex that already existed gives none
    EXPECT_EQ(b.WaitFor(0), WaitResult::Timeout);
    EXPECT_EQ(a.WaitFor(0), WaitResult::Signaled); // owned twice now
    EXPECT_TRUE(a.Release());
    EXPECT_EQ(b.WaitFor(0), WaitResult::Timeout);
    EXPECT_TRUE(a.Release());
    EXPECT_EQ(b.WaitFor(0), WaitResult::Signaled);
    b.Close(); // closing an owning handle frees the mutex for the others
    EXPECT_EQ(a.WaitFor(0), WaitResult::Signaled);
    a.Close();
    // The file stays behind, but with no handle open the mutex is new again.
    CNamedMutex fresh;
    ASSERT_TRUE(fresh.Create(kName, true));
    EXPECT_EQ(fresh.LastError(), ERROR_SUCCESS);
    EXPECT_TRUE(fresh.IsOwned());
}

TEST(NamedMutex, AStopEventEndsAWaitAndWinsOverTheMutex) {
    CTempEnvironment env;
    CNamedMutex owner;
    CNamedMutex waiter;
    ASSERT_TRUE(owner.Create("Stoppable", true));
    ASSERT_TRUE(waiter.Create("Stoppable", false));
    CEvent stop;
    std::thread signaller([&] { stop.Set(); });
    EXPECT_EQ(waiter.WaitFor(kInfinite, &stop), WaitResult::Stopped);
    signaller.join();
    owner.Release(); // both ready: the stop event is reported, and the mutex is not taken
    EXPECT_EQ(waiter.WaitFor(kLong, &stop), WaitResult::Stopped);
    EXPECT_FALSE(waiter.IsOwned());
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
    // Names differing in case are different mutexes.
    CNamedMutex other;
    ASSERT_TRUE(other.Create("../../ESCAPE/Global\\name", false));
    EXPECT_EQ(other.LastError(), ERROR_SUCCESS);
    // A link planted where a mutex's file goes is refused, not followed.
    env.WriteFile("victim", "keep");
    std::string path = SpecialFolders::RuntimeDir() + "/" + CNamedObjectFile::FileName("Planted", "mutex");
    ASSERT_EQ(symlink(env.Path("victim").c_str(), path.c_str()), 0);
    CNamedMutex planted;
    EXPECT_FALSE(planted.Create("Planted", false));
    EXPECT_EQ(planted.LastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(planted.WaitFor(0), WaitResult::Failed);
}

TEST(NamedMutex, AKilledOwnerOrAReleaseInAnotherProcessWakesTheWaiter) {
    CTempEnvironment env;
    for (bool kill : {true, false}) {
        SCOPED_TRACE(kill ? "killed" : "released");
        CChildProcess child([](const CChildProcess::Channel& parent) {
            CNamedMutex m;
            if (!m.Create("Handover", true) || !m.IsOwned())
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
        EXPECT_EQ(waiter.LastError(), ERROR_ALREADY_EXISTS);
        EXPECT_EQ(waiter.WaitFor(0), WaitResult::Timeout);
        std::thread other([&] { kill ? child.Kill() : child.Tell('r'); });
        EXPECT_EQ(waiter.WaitFor(kLong), WaitResult::Signaled);
        other.join();
        if (!kill) {
            child.Tell('q');
            EXPECT_EQ(child.Wait(), 0);
        }
    }
    // Nothing is left held: the next creator finds a new, free mutex.
    CNamedMutex fresh;
    ASSERT_TRUE(fresh.Create("Handover", false));
    EXPECT_EQ(fresh.LastError(), ERROR_SUCCESS);
    EXPECT_EQ(fresh.WaitFor(0), WaitResult::Signaled);
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
    EXPECT_FALSE(e.IsSet()); // the waiter took the auto-reset event with it
}

TEST(NamedEvent, AutoResetLetsOneWaiterThroughManualResetAllAndLeftoverStateIsForgotten) {
    CTempEnvironment env;
    CNamedEvent a;
    CNamedEvent b;
    ASSERT_TRUE(a.Create("Auto", false, false));
    ASSERT_TRUE(b.Create("Auto", true, false)); // the creator's kind stands
    a.Set();
    a.Set(); // setting twice still lets only one through
    EXPECT_EQ(b.Wait(0), WaitResult::Signaled);
    EXPECT_EQ(a.Wait(20), WaitResult::Timeout);
    CEvent stop(true, true);
    EXPECT_EQ(a.Wait(kInfinite, &stop), WaitResult::Stopped);
    CNamedEvent m1;
    CNamedEvent m2;
    ASSERT_TRUE(m1.Create("Manual", true, false));
    ASSERT_TRUE(m2.Create("Manual", false, false));
    m1.Set();
    EXPECT_EQ(m2.Wait(0), WaitResult::Signaled);
    EXPECT_EQ(m1.Wait(0), WaitResult::Signaled);
    // The state left by handles that are all gone is forgotten; the next creator's kind and state stand.
    m1.Close();
    m2.Close();
    EXPECT_EQ(m2.Wait(0), WaitResult::Failed);
    CNamedEvent fresh;
    ASSERT_TRUE(fresh.Create("Manual", false, false));
    EXPECT_EQ(fresh.LastError(), ERROR_SUCCESS);
    EXPECT_FALSE(fresh.IsSet());
    EXPECT_FALSE(fresh.IsManualReset());
}

// The ten state events other programs wait on: made together as auto-reset events, or none of them.
TEST(VidoraNamedEvents, AllTenAreMadeTogetherOrNoneIsSignalled) {
    CVidoraNamedEvents::CloseAll(); // they stay open for the life of a process
    {
        CTempEnvironment env;
        ASSERT_TRUE(CVidoraNamedEvents::Signal(CVidoraNamedEvents::MirrorHorzOn));
        for (int i = 0; i < CVidoraNamedEvents::kCount; ++i) {
            SCOPED_TRACE(CVidoraNamedEvents::Name(i));
            CNamedEvent event;
            ASSERT_TRUE(event.Create(CVidoraNamedEvents::Name(i), true, false));
            EXPECT_EQ(event.LastError(), ERROR_ALREADY_EXISTS);
            EXPECT_FALSE(event.IsManualReset());
            EXPECT_EQ(event.IsSet(), i == CVidoraNamedEvents::MirrorHorzOn);
        }
        CVidoraNamedEvents::CloseAll();
    }
    CTempEnvironment env;
    // A folder where the face-tracking event's file should be makes that one event impossible.
    ASSERT_TRUE(QDir().mkpath(
        QString::fromStdString(env.Path("runtime/vidora/") +
                               CNamedObjectFile::FileName("VD_FACETRACKING_MULTI_EVENT_ID", "event"))));
    EXPECT_FALSE(CVidoraNamedEvents::Signal(CVidoraNamedEvents::StartStreaming));
    CNamedEvent first;
    ASSERT_TRUE(first.Create("VD_FACETRACKING_EVENT_ID", false, false));
    EXPECT_EQ(first.LastError(), ERROR_SUCCESS) << "the events created before the failure were closed again";
    CVidoraNamedEvents::CloseAll();
}
