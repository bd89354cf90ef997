// The pipeline owner's failure paths, and the event connection point every capture object relies on.
#include "CaptureFixture.h"
#include "granite/capture/CCaptureEventPoint.h"
#include "granite/capture/CGstPipeline.h"

#include <atomic>
#include <thread>

using namespace Granite;
using namespace std::chrono_literals;

TEST(GstPipeline, ReportsErrorsStallsAndEndOfStreamAsResultsNeverHangs) {
    std::string why;
    // An element that fails on start: the state change fails with its message, and the handler heard it.
    auto broken = CGstPipeline::FromDescription("filesrc location=/nonexistent/nothing ! fakesink", &why);
    ASSERT_TRUE(broken) << why;
    std::atomic<int> errors{0};
    broken->SetEventHandler([&](const PipelineEvent& e) { errors += e.kind == PipelineEvent::Kind::Error; });
    EXPECT_TRUE(FAILED(broken->SetState(GST_STATE_PLAYING, 5s, &why)));
    EXPECT_NE(why.find("filesrc"), std::string::npos) << why;
    EXPECT_GE(errors.load(), 1);
    EXPECT_EQ(broken->SetState(GST_STATE_NULL, 5s), S_OK);
    // A sink that never gets data never prerolls: the change times out instead of waiting for ever.
    auto stalled = CGstPipeline::FromDescription("appsrc ! fakesink", &why);
    ASSERT_TRUE(stalled) << why;
    EXPECT_EQ(stalled->SetState(GST_STATE_PAUSED, 200ms), E_PIPELINE_TIMEOUT);
    EXPECT_EQ(stalled->WaitForEndOfStream(50ms), E_PIPELINE_TIMEOUT);
    EXPECT_FALSE(CGstPipeline::FromDescription("nosuchelement ! fakesink", &why));
    EXPECT_FALSE(why.empty());
}

// Pipelines once kept the bus messages they dropped, and with them the bus's open files.
TEST(GstPipeline, FinishedPipelinesLeaveNoOpenFilesBehind) {
    auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    auto run = [] {
        std::string why;
        auto pipeline = CGstPipeline::FromDescription("videotestsrc num-buffers=2 ! fakesink", &why);
        ASSERT_TRUE(pipeline) << why;
        ASSERT_EQ(pipeline->SetState(GST_STATE_PLAYING, 5s), S_OK);
        EXPECT_EQ(pipeline->WaitForEndOfStream(10s), S_OK);
    };
    run(); // GStreamer's own first-use files
    const auto before = openFiles();
    for (int i = 0; i < 10; ++i)
        run();
    EXPECT_LE(openFiles(), before + 2) << "the pipelines' files stay open";
}

TEST(CaptureEventPoint, ConnectsOnlySinksOfItsInterfaceStopsCallingAfterUnadviseAndReleasesItsSinks) {
    CCaptureEventPoint point(DIID_IVideoEvents);
    RefPtr<CCaptureTestSink> sink(new CCaptureTestSink(DIID_IVideoEvents));
    RefPtr<CCaptureTestSink> stranger(new CCaptureTestSink(DIID_IMovieEvents));
    uint32_t cookie = 0;
    EXPECT_EQ(point.Advise(nullptr, &cookie), E_POINTER);
    EXPECT_EQ(point.Advise(sink.get(), nullptr), E_POINTER);
    EXPECT_EQ(point.Advise(stranger.get(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(stranger->RefCount(), 1u);
    ASSERT_EQ(point.Advise(sink.get(), &cookie), S_OK);
    EXPECT_EQ(sink->RefCount(), 2u);
    point.Fire(VIDEO_EVENT_AVAILABLE);
    EXPECT_EQ(point.Unadvise(cookie + 1), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point.Unadvise(cookie), S_OK);
    EXPECT_EQ(point.Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(sink->RefCount(), 1u);
    point.Fire(VIDEO_EVENT_STOPPED);
    EXPECT_EQ(sink->Events(), std::vector<uint32_t>{VIDEO_EVENT_AVAILABLE});
    {
        CCaptureEventPoint other(DIID_IVideoEvents);
        ASSERT_EQ(other.Advise(sink.get(), &cookie), S_OK);
    }
    EXPECT_EQ(sink->RefCount(), 1u) << "a sink left connected is released with the point";
}

TEST(CaptureEventPoint, UnadviseWaitsForTheEventInFlightAndMayComeFromInsideIt) {
    CCaptureEventPoint point(DIID_IStillEvents);
    RefPtr<CCaptureTestSink> slow(new CCaptureTestSink(DIID_IStillEvents));
    std::atomic<bool> inside{false}, finished{false};
    slow->onEvent = [&](uint32_t) {
        inside = true;
        std::this_thread::sleep_for(100ms); // a slow handler, so Unadvise has something to wait for
        finished = true;
    };
    uint32_t cookie = 0;
    ASSERT_EQ(point.Advise(slow.get(), &cookie), S_OK);
    std::thread firer([&] { point.Fire(STILL_EVENT_CAPTURED); });
    while (!inside)
        std::this_thread::yield();
    EXPECT_EQ(point.Unadvise(cookie), S_OK);
    EXPECT_TRUE(finished.load());
    firer.join();
    // A sink that disconnects itself from its own event does not deadlock, and hears nothing more.
    RefPtr<CCaptureTestSink> self(new CCaptureTestSink(DIID_IStillEvents));
    self->onEvent = [&](uint32_t) { EXPECT_EQ(point.Unadvise(cookie), S_OK); };
    ASSERT_EQ(point.Advise(self.get(), &cookie), S_OK);
    point.Fire(1);
    point.Fire(2);
    EXPECT_EQ(self->Events(), std::vector<uint32_t>{1});
    EXPECT_EQ(point.SinkCount(), 0u);
}
