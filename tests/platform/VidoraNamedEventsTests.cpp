// The ten state events other programs wait on: made together, and a signal seen by a waiter in another
// process.
#include "platform/CNamedEvent.h"
#include "platform/CVidoraNamedEvents.h"
#include "platform/HResult.h"
#include "support/CChildProcess.h"
#include "support/CTempEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

class VidoraNamedEventsTest : public ::testing::Test {
protected:
    // The events stay open for the life of a process; each test starts with its own runtime folder.
    void SetUp() override { CVidoraNamedEvents::CloseAll(); }
    void TearDown() override { CVidoraNamedEvents::CloseAll(); }
    CTempEnvironment env_;
};

TEST_F(VidoraNamedEventsTest, AWaiterInAnotherProcessSeesTheSignalOnce) {
    CChildProcess child([](const CChildProcess::Channel& channel) {
        CNamedEvent event;
        if (!event.Create("VD_START_STREAMING_EVENT_ID", false, false))
            return 2;
        channel.Tell('r');
        if (event.Wait(10000) != WaitResult::Signaled)
            return 3;
        channel.Tell('s');
        // Auto-reset: taken by this wait, so a second wait times out.
        return event.Wait(200) == WaitResult::Timeout ? 0 : 4;
    });
    ASSERT_TRUE(child.Started());
    ASSERT_EQ(child.Expect(), 'r');
    // Another event of the set does not wake this waiter.
    EXPECT_TRUE(CVidoraNamedEvents::Signal(CVidoraNamedEvents::EndStreaming));
    EXPECT_TRUE(CVidoraNamedEvents::Signal(CVidoraNamedEvents::StartStreaming));
    EXPECT_EQ(child.Expect(), 's');
    EXPECT_EQ(child.Wait(), 0);
}

TEST_F(VidoraNamedEventsTest, AllTenAreCreatedTogetherAsAutoResetEventsAndNoMore) {
    ASSERT_TRUE(CVidoraNamedEvents::Signal(CVidoraNamedEvents::MirrorHorzOn));
    for (int i = 0; i < CVidoraNamedEvents::kCount; ++i) {
        CNamedEvent event;
        ASSERT_TRUE(event.Create(CVidoraNamedEvents::Name(i), true, false)) << i;
        EXPECT_EQ(event.LastError(), ERROR_ALREADY_EXISTS) << CVidoraNamedEvents::Name(i);
        EXPECT_FALSE(event.IsManualReset()) << CVidoraNamedEvents::Name(i);
        EXPECT_EQ(event.IsSet(), i == CVidoraNamedEvents::MirrorHorzOn) << CVidoraNamedEvents::Name(i);
    }
    EXPECT_EQ(CVidoraNamedEvents::Name(-1), nullptr);
    EXPECT_EQ(CVidoraNamedEvents::Name(CVidoraNamedEvents::kCount), nullptr);
    EXPECT_FALSE(CVidoraNamedEvents::Signal(CVidoraNamedEvents::kCount));
}

TEST_F(VidoraNamedEventsTest, NoneIsSignalledWhenOneCannotBeCreated) {
    // A folder where the face-tracking event's file should be makes that one event impossible.
    std::string runtime = env_.Path("runtime/vidora");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(
        runtime + "/" + CNamedObjectFile::FileName("VD_FACETRACKING_MULTI_EVENT_ID", "event"))));
    EXPECT_FALSE(CVidoraNamedEvents::Signal(CVidoraNamedEvents::StartStreaming));
    CNamedEvent first;
    ASSERT_TRUE(first.Create("VD_FACETRACKING_EVENT_ID", false, false));
    EXPECT_EQ(first.LastError(), ERROR_SUCCESS) << "the events created before the failure were closed again";
    EXPECT_FALSE(first.IsSet());
}

} // namespace
