// Events of the device-manager service: on the service's own thread, in the order things happened, only for
// subscribed camera event codes, and never after the sink was disconnected.
#include "GraniteServiceFixture.h"
#include "granite/devices/SimulatedDeviceConstants.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

using namespace Granite;

class ServiceEvents : public GraniteServiceFixture {};

TEST_F(ServiceEvents, ArriveOnTheServiceThreadInTheOrderOfTheChangesAndOnlyForChanges) {
    const std::string full = Camera(0);
    // Zoom starts at 100: writing that again changes nothing and is not reported.
    for (int32_t zoom : {100, 150, 200, 250, 300})
        ASSERT_EQ(service->SetVideoProperty(full, 20, Variant::FromI4(zoom)), S_OK);
    ASSERT_EQ(control->SetProperty(DeviceKind::Camera, 1, 20, Variant::FromI4(350)), S_OK);
    // Zooming also moves the digital pan and tilt ranges; only the zoom's own reports are looked at here.
    std::vector<RecordedEvent> events;
    ASSERT_TRUE(sink.WaitFor([&](const std::vector<RecordedEvent>& all) {
        events.clear();
        std::copy_if(all.begin(), all.end(), std::back_inserter(events),
                     [](const RecordedEvent& e) { return e.name == "video-property" && e.number == 20; });
        return events.size() >= 5;
    }));
    std::string changes;
    for (const RecordedEvent& e : events) {
        changes += std::to_string(e.oldValue.GetI4()) + ">" + std::to_string(e.newValue.GetI4()) + " ";
        EXPECT_EQ(e.id, full);
        EXPECT_EQ(e.thread, service->EventThreadId());
    }
    EXPECT_EQ(changes, "100>150 150>200 200>250 250>300 300>350 ");
    EXPECT_NE(service->EventThreadId(), std::this_thread::get_id());
}

TEST_F(ServiceEvents, CameraEventsReachOnlySubscribersAndAreCountedPerCameraAndCode) {
    const std::string full = Camera(0);
    ASSERT_EQ(service->SubscribeVideoEvent(full, CamEvent::ShutterClosed, 0), S_OK);
    ASSERT_EQ(service->SubscribeVideoEvent(full, CamEvent::ShutterClosed, 0), S_OK);
    ASSERT_EQ(service->SubscribeVideoEvent(Camera(2), CamEvent::ShutterOpened, 0), S_OK);
    EXPECT_EQ(service->SubscribeVideoEvent("\\\\?\\usb#nothing\\global", 29, 0), E_DEVICE_NOT_CONNECTED);
    ASSERT_EQ(control->SetShutter(true, 1), S_OK);  // subscribed
    ASSERT_EQ(control->SetShutter(false, 1), S_OK); // 29 on camera 1: not subscribed
    ASSERT_EQ(service->UnsubscribeVideoEvent(full, CamEvent::ShutterClosed, 0), S_OK);
    ASSERT_EQ(control->SetShutter(true, 1), S_OK); // one subscription is left
    ASSERT_EQ(service->UnsubscribeVideoEvent(full, CamEvent::ShutterClosed, 0), S_OK);
    EXPECT_EQ(service->UnsubscribeVideoEvent(full, CamEvent::ShutterClosed, 0), E_INVALIDARG);
    ASSERT_EQ(control->SetShutter(false, 1), S_OK);
    ASSERT_EQ(control->SetShutter(true, 1), S_OK); // none left
    ASSERT_EQ(control->PressButton(1), S_OK);      // never subscribed
    // A marker that is subscribed, so the test knows everything before it has been handled.
    ASSERT_EQ(control->SetShutter(true, 3), S_OK);
    ASSERT_EQ(control->SetShutter(false, 3), S_OK);
    ASSERT_TRUE(sink.WaitFor([&](const std::vector<RecordedEvent>& events) {
        return std::any_of(events.begin(), events.end(), [&](const RecordedEvent& e) {
            return e.name == "camera-event" && e.id == Camera(2);
        });
    }));
    std::vector<std::string> heard;
    for (const RecordedEvent& e : sink.Named("camera-event"))
        heard.push_back(e.id + " " + std::to_string(e.number));
    const std::string closed = full + " " + std::to_string(CamEvent::ShutterClosed);
    EXPECT_EQ(heard, (std::vector<std::string>{closed, closed,
                                               Camera(2) + " " + std::to_string(CamEvent::ShutterOpened)}));
    // The shutter's state itself is reported as a property change to everybody.
    EXPECT_GE(sink.Named("video-property").size(), 4u);
}

TEST_F(ServiceEvents, StreamingButtonsFocusSceneAndUnplugRaiseTheirCodesInOrder) {
    for (int32_t code : {1, 8, 9, 15, 16, 20, 31, 32, 33, 34, 35})
        ASSERT_EQ(service->SubscribeVideoEvent(Camera(0), code, 0), S_OK);
    ASSERT_EQ(control->StartStreaming("setup.exe", 1), S_OK);
    EXPECT_EQ(control->StartStreaming("other.exe", 1), E_ACCESSDENIED) << "one program at a time";
    ASSERT_EQ(control->PressButton(1), S_OK);
    ASSERT_EQ(control->PressButton(1, true), S_OK);
    ASSERT_EQ(control->StopStreaming(1), S_OK);
    EXPECT_EQ(control->StopStreaming(1), S_FALSE);
    ASSERT_EQ(control->ReportFocus(FocusState::Searching, 1), S_OK);
    ASSERT_EQ(control->ReportFocus(FocusState::Settled, 1), S_OK);
    ASSERT_EQ(control->ReportFocus(FocusState::Failed, 1), S_OK);
    EXPECT_EQ(control->ReportFocus(7, 1), E_INVALIDARG);
    EXPECT_EQ(control->ReportFocus(FocusState::Settled, 2), E_NOTIMPL) << "the basic camera has no focus";
    ASSERT_EQ(control->SetScene(true, false, 1), S_OK);
    ASSERT_EQ(control->SetScene(true, true, 1), S_OK); // still an alert: nothing new
    ASSERT_EQ(control->SetScene(false, false, 1), S_OK);
    // Unplugging a streamed camera ends the stream first.
    ASSERT_EQ(control->StartStreaming("meeting", 1), S_OK);
    ASSERT_EQ(control->Unplug(DeviceKind::Camera, 1), S_OK);
    ASSERT_TRUE(sink.WaitForCount("removed", 1));
    std::vector<std::string> order;
    for (const RecordedEvent& e : sink.Events())
        if (e.name == "camera-event" || e.name == "removed")
            order.push_back(e.name == "removed" ? "removed" : std::to_string(e.number));
    EXPECT_EQ(order, (std::vector<std::string>{"8", "15", "1", "20", "16", "9", "34", "33", "35", "31", "32",
                                               "8", "15", "16", "9", "removed"}));
}

TEST_F(ServiceEvents, NoEventReachesASinkAfterUnadviseReturns) {
    std::atomic<bool> disconnected{false};
    std::atomic<int> late{0};
    sink.onEvent = [&](const RecordedEvent&) {
        if (disconnected)
            ++late;
        std::this_thread::yield();
    };
    std::thread writer([&] {
        for (int i = 0; i < 200; ++i)
            control->SetProperty(DeviceKind::Camera, 1, 8, Variant::FromI4(i % 256));
    });
    ASSERT_TRUE(sink.WaitForCount("video-property", 1));
    ASSERT_EQ(service->Unadvise(cookie), S_OK);
    disconnected = true;
    writer.join();
    // Whatever was still queued must not come: give the worker a moment by a round trip through it.
    CRecordingSink probe;
    uint32_t probeCookie = 0;
    ASSERT_EQ(service->Advise(&probe, &probeCookie), S_OK);
    ASSERT_EQ(control->SetProperty(DeviceKind::Camera, 1, 8, Variant::FromI4(255 - 1)), S_OK);
    ASSERT_EQ(control->SetProperty(DeviceKind::Camera, 1, 8, Variant::FromI4(3)), S_OK);
    ASSERT_TRUE(probe.WaitForCount("video-property", 1));
    EXPECT_EQ(late, 0);
    EXPECT_EQ(service->Unadvise(cookie), E_INVALIDARG);
    ASSERT_EQ(service->Unadvise(probeCookie), S_OK);
    cookie = 0;
}

TEST_F(ServiceEvents, AServiceReleasedFromInsideItsOwnEventGoesAwayCleanly) {
    // The handler shares what it touches: it may still be returning on the service's thread at the end.
    struct Release {
        Granite::CGraniteDeviceService* service = nullptr;
        uint32_t cookie = 0;
        std::atomic<bool> started{false};
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
    };
    auto state = std::make_shared<Release>();
    state->service = new Granite::CGraniteDeviceService(hardware);
    ASSERT_EQ(state->service->RegisterClient("other:1", ""), S_OK);
    ASSERT_EQ(state->service->Start(), S_OK);
    CRecordingSink secondSink;
    ASSERT_EQ(state->service->Advise(&secondSink, &state->cookie), S_OK);
    secondSink.onEvent = [state](const RecordedEvent&) {
        std::shared_ptr<Release> s = state; // the handler itself goes with the sink
        if (s->started.exchange(true))
            return;
        s->service->Unadvise(s->cookie); // from the service's own thread: must not wait for itself
        s->service->Release();
        std::lock_guard guard(s->lock);
        s->finished = true;
        s->done.notify_all();
    };
    ASSERT_EQ(control->SetProperty(DeviceKind::Camera, 1, 8, Variant::FromI4(10)), S_OK);
    ASSERT_EQ(control->SetProperty(DeviceKind::Camera, 1, 8, Variant::FromI4(11)), S_OK);
    ASSERT_TRUE(sink.WaitForCount("video-property", 2));
    {
        std::unique_lock guard(state->lock);
        ASSERT_TRUE(state->done.wait_for(guard, std::chrono::seconds(10), [&] { return state->finished; }))
            << "releasing the service from its own event never returned";
    }
    EXPECT_EQ(secondSink.Named("video-property").size(), 1u);
}

TEST_F(ServiceEvents, SoundsReportStartedThenFinishedOrStoppedOnceAndUnplayableFilesFail) {
    const std::string speaker = Id(DeviceKind::Speaker, 0);
    env.WriteFile("tmp/chime.wav", WaveFile(10));
    env.WriteFile("tmp/not-a-sound.wav", "hello");
    for (const auto& [file, error] :
         {std::pair{"tmp/missing.wav", ERROR_FILE_NOT_FOUND},
          std::pair{"tmp/not-a-sound.wav", ERROR_INVALID_DATA}, std::pair{"tmp", ERROR_INVALID_DATA}})
        EXPECT_EQ(service->PlaySoundFile(speaker, env.Path(file)), HResultFromWin32(error)) << file;
    ASSERT_EQ(service->PlaySoundFile(speaker, env.Path("tmp/chime.wav")), S_OK);
    ASSERT_TRUE(sink.WaitForCount("sound", 2));
    EXPECT_EQ(service->StopSoundFile(speaker), S_FALSE);
    // Stopping or replacing a sound ends it once.
    ASSERT_EQ(service->SpeakerCommand63(speaker), S_OK); // the two-second test tone
    ASSERT_EQ(service->SpeakerCommand63(speaker), S_OK); // replaces it
    ASSERT_EQ(service->StopSoundFile(speaker), S_OK);
    ASSERT_TRUE(sink.WaitForCount("sound", 6));
    std::vector<uint32_t> statuses;
    for (const RecordedEvent& e : sink.Named("sound"))
        statuses.push_back(e.id == speaker ? e.status : 99);
    EXPECT_EQ(statuses,
              (std::vector<uint32_t>{SoundStatus::Started, SoundStatus::Finished, SoundStatus::Started,
                                     SoundStatus::Stopped, SoundStatus::Started, SoundStatus::Stopped}));
}
