// Events of the device-manager service: they arrive on the service's own thread in the order things
// happened, only for the camera event codes the client subscribed, and never after the sink was
// disconnected.
#include "GraniteServiceFixture.h"
#include "granite/devices/SimulatedDeviceConstants.h"

#include <QFile>

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
    auto zoomEvents = [](const std::vector<RecordedEvent>& all) {
        std::vector<RecordedEvent> zoom;
        std::copy_if(all.begin(), all.end(), std::back_inserter(zoom),
                     [](const RecordedEvent& e) { return e.name == "video-property" && e.number == 20; });
        return zoom;
    };
    ASSERT_TRUE(
        sink.WaitFor([&](const std::vector<RecordedEvent>& all) { return zoomEvents(all).size() >= 5; }));

    const auto events = zoomEvents(sink.Events());
    ASSERT_EQ(events.size(), 5u);
    int32_t previous = 100;
    for (const RecordedEvent& e : events) {
        EXPECT_EQ(e.id, full);
        EXPECT_EQ(e.number, 20);
        EXPECT_EQ(e.oldValue.GetI4(), previous);
        previous = e.newValue.GetI4();
        EXPECT_NE(e.thread, std::this_thread::get_id());
        EXPECT_EQ(e.thread, service->EventThreadId());
    }
    EXPECT_EQ(previous, 350);
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
    const auto events = sink.Named("camera-event");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].number, CamEvent::ShutterClosed);
    EXPECT_EQ(events[1].number, CamEvent::ShutterClosed);
    EXPECT_EQ(events[2].number, CamEvent::ShutterOpened);
    EXPECT_EQ(events[2].id, Camera(2));
    // The shutter's state itself is reported as a property change to everybody.
    EXPECT_GE(sink.Named("video-property").size(), 4u);
}

TEST_F(ServiceEvents, StreamingButtonsFocusAndSceneReportsRaiseTheirCodes) {
    const std::string full = Camera(0);
    for (int32_t code : {1, 8, 9, 15, 16, 20, 31, 32, 33, 34, 35})
        ASSERT_EQ(service->SubscribeVideoEvent(full, code, 0), S_OK);
    ASSERT_EQ(control->StartStreaming("setup.exe", 1), S_OK);
    ASSERT_EQ(control->PressButton(1), S_OK);
    ASSERT_EQ(control->PressButton(1, true), S_OK);
    ASSERT_EQ(control->StopStreaming(1), S_OK);
    EXPECT_EQ(control->StopStreaming(1), S_FALSE);
    ASSERT_EQ(control->ReportFocus(FocusState::Searching, 1), S_OK);
    ASSERT_EQ(control->ReportFocus(FocusState::Settled, 1), S_OK);
    ASSERT_EQ(control->ReportFocus(FocusState::Failed, 1), S_OK);
    EXPECT_EQ(control->ReportFocus(7, 1), E_INVALIDARG);
    ASSERT_EQ(control->SetScene(true, false, 1), S_OK);
    ASSERT_EQ(control->SetScene(true, true, 1), S_OK); // still an alert: nothing new
    ASSERT_EQ(control->SetScene(false, false, 1), S_OK);
    ASSERT_TRUE(sink.WaitForCount("camera-event", 11));
    std::vector<int32_t> codes;
    for (const RecordedEvent& e : sink.Named("camera-event"))
        codes.push_back(e.number);
    EXPECT_EQ(codes, (std::vector<int32_t>{8, 15, 1, 20, 16, 9, 34, 33, 35, 31, 32}));
    EXPECT_EQ(control->ReportFocus(FocusState::Settled, 2), E_NOTIMPL) << "the basic camera has no focus";
}

TEST_F(ServiceEvents, PluggingAndUnpluggingAreReportedWithTheKindAndTheListsFollow) {
    std::string id;
    ASSERT_EQ(control->Plug(DeviceKind::Camera, "basic", &id), S_OK);
    EXPECT_EQ(control->Plug(DeviceKind::Camera, "deluxe"), E_INVALIDARG);
    int32_t count = 0;
    ASSERT_EQ(service->GetVideoDeviceCount(&count), S_OK);
    EXPECT_EQ(count, 4);
    EXPECT_NE(id, Camera(1)) << "a second camera of a model gets a path of its own";
    ASSERT_EQ(control->Unplug(DeviceKind::Microphone, 1), S_OK);
    EXPECT_EQ(control->Unplug(DeviceKind::Microphone, 1), E_DEVICE_NOT_CONNECTED);
    ASSERT_TRUE(sink.WaitForCount("removed", 1));
    const auto arrived = sink.Named("arrived");
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived[0].number, 1);
    EXPECT_EQ(arrived[0].id, id);
    EXPECT_EQ(sink.Named("removed")[0].number, 2);
    ASSERT_EQ(service->GetMicrophoneCount(&count), S_OK);
    EXPECT_EQ(count, 0);

    // Unplugged and plugged back, a camera keeps its path (its settings are kept by path).
    const std::string basic = Camera(1);
    ASSERT_EQ(control->Unplug(DeviceKind::Camera, 2), S_OK);
    Variant v;
    EXPECT_EQ(service->GetVideoProperty(basic, 8, &v), E_DEVICE_NOT_CONNECTED);
    std::string again;
    ASSERT_EQ(control->Plug(DeviceKind::Camera, "basic", &again), S_OK);
    EXPECT_EQ(again, basic);
}

TEST_F(ServiceEvents, UnpluggingAStreamedCameraEndsTheStreamFirst) {
    const std::string full = Camera(0);
    for (int32_t code : {15, 16, 9})
        ASSERT_EQ(service->SubscribeVideoEvent(full, code, 0), S_OK);
    ASSERT_EQ(control->StartStreaming("meeting", 1), S_OK);
    ASSERT_EQ(control->Unplug(DeviceKind::Camera, 1), S_OK);
    ASSERT_TRUE(sink.WaitForCount("removed", 1));
    std::vector<std::string> order;
    for (const RecordedEvent& e : sink.Events()) {
        if (e.name == "camera-event" || e.name == "removed")
            order.push_back(e.name + std::to_string(e.number));
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"camera-event15", "camera-event16", "camera-event9", "removed1"}));
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
    // What the event handler touches lives on the heap, shared with it: the handler may still be returning on
    // the service's thread when this test ends.
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
    // The first service still hears everything.
    ASSERT_TRUE(sink.WaitForCount("video-property", 2));
    {
        std::unique_lock guard(state->lock);
        ASSERT_TRUE(state->done.wait_for(guard, std::chrono::seconds(10), [&] { return state->finished; }))
            << "releasing the service from its own event never returned";
    }
    EXPECT_EQ(secondSink.Named("video-property").size(), 1u);
}

TEST_F(ServiceEvents, MicrophoneLevelsFlowWhileMonitoringAndStopAfterwards) {
    hardware->SetLevelPeriod(std::chrono::milliseconds(5));
    const std::string mic = Id(DeviceKind::Microphone, 0);
    ASSERT_EQ(control->SetMicrophoneInput(40, 1), S_OK);
    ASSERT_EQ(service->StartMicrophoneLevelMeter(mic), S_OK);
    ASSERT_EQ(service->StartMicrophoneMonitor(mic), S_OK);
    ASSERT_TRUE(sink.WaitForCount("microphone-property", 3));
    for (const RecordedEvent& e : sink.Named("microphone-property")) {
        EXPECT_EQ(e.number, 9);
        EXPECT_EQ(e.newValue.GetI4(), 40 * 75 / 100) << "input scaled by the volume";
        EXPECT_EQ(e.thread, service->EventThreadId());
    }
    // Muted, the level falls to nothing.
    ASSERT_EQ(service->SetMicrophoneProperty(mic, 10, Variant::FromI4(1)), S_OK);
    ASSERT_TRUE(sink.WaitFor([](const std::vector<RecordedEvent>& events) {
        return !events.empty() && events.back().number == 9 && events.back().newValue.GetI4() == 0;
    }));
    ASSERT_EQ(service->StopMicrophoneLevelMeter(mic), S_OK);
    ASSERT_EQ(service->StopMicrophoneMonitor(mic), S_OK);
    EXPECT_EQ(service->StopMicrophoneMonitor(mic), S_FALSE);
    // After stopping, a property change is the next thing the sink hears: no level in between.
    sink.Clear();
    ASSERT_EQ(service->SetMicrophoneProperty(mic, 6, Variant::FromI4(50)), S_OK);
    ASSERT_TRUE(sink.WaitForCount("microphone-property", 1));
    EXPECT_EQ(sink.Named("microphone-property")[0].number, 6);
}

TEST_F(ServiceEvents, SoundsReportStartedThenFinishedOrStoppedOnceAndUnplayableFilesFail) {
    const std::string speaker = Id(DeviceKind::Speaker, 0);
    // 10 ms of 8 kHz, 8-bit mono sound.
    std::string wave = "RIFF";
    auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    wave += le32(36 + 80) + "WAVEfmt " + le32(16) + std::string("\x01\x00\x01\x00", 4) + le32(8000) +
            le32(8000) + std::string("\x01\x00\x08\x00", 4) + "data" + le32(80) + std::string(80, '\x80');
    env.WriteFile("tmp/chime.wav", wave);
    env.WriteFile("tmp/not-a-sound.wav", "hello");

    EXPECT_EQ(service->PlaySoundFile(speaker, env.Path("tmp/missing.wav")),
              HResultFromWin32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(service->PlaySoundFile(speaker, env.Path("tmp/not-a-sound.wav")),
              HResultFromWin32(ERROR_INVALID_DATA));
    EXPECT_EQ(service->PlaySoundFile(speaker, env.Path("tmp")), HResultFromWin32(ERROR_INVALID_DATA));
    ASSERT_EQ(service->PlaySoundFile(speaker, env.Path("tmp/chime.wav")), S_OK);
    ASSERT_TRUE(sink.WaitForCount("sound", 2));
    const auto sounds = sink.Named("sound");
    EXPECT_EQ(sounds[0].status, SoundStatus::Started);
    EXPECT_EQ(sounds[1].status, SoundStatus::Finished);
    EXPECT_EQ(sounds[1].id, speaker);
    EXPECT_EQ(service->StopSoundFile(speaker), S_FALSE);

    // Stopping or replacing a sound ends it once.
    ASSERT_EQ(service->SpeakerCommand63(speaker), S_OK); // the two-second test tone
    ASSERT_EQ(service->SpeakerCommand63(speaker), S_OK); // replaces it
    ASSERT_EQ(service->StopSoundFile(speaker), S_OK);
    ASSERT_TRUE(sink.WaitForCount("sound", 6));
    std::vector<uint32_t> statuses;
    for (const RecordedEvent& e : sink.Named("sound"))
        statuses.push_back(e.status);
    EXPECT_EQ(statuses,
              (std::vector<uint32_t>{SoundStatus::Started, SoundStatus::Finished, SoundStatus::Started,
                                     SoundStatus::Stopped, SoundStatus::Started, SoundStatus::Stopped}));
}

TEST_F(ServiceEvents, GlobalOptionsAndHidChangesAreReported) {
    ASSERT_EQ(service->SetGlobalOption(1, Variant::FromBool(true)), S_OK);
    ASSERT_EQ(control->SetGlobalOption(0, false), S_OK);
    const std::string hid = Id(DeviceKind::Hid, 0);
    ASSERT_EQ(service->SetHidProperty(hid, 5, Variant::FromBool(true)), S_OK);
    std::vector<uint8_t> report(33, 0);
    report[0] = 1;
    report[1] = 0x20;
    ASSERT_EQ(service->SetHidProperty(hid, 4, Variant::FromBytes(report)), S_OK);
    EXPECT_EQ(service->SetHidProperty(hid, 4, Variant::FromBytes({1, 2, 3})), E_INVALIDARG);
    ASSERT_TRUE(sink.WaitForCount("hid-data", 1));
    const auto options = sink.Named("option");
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0].number, 1);
    EXPECT_EQ(options[0].newValue.GetBool(), VARIANT_TRUE);
    EXPECT_EQ(options[1].number, 0);
    EXPECT_EQ(options[1].newValue.GetBool(), VARIANT_FALSE);
    EXPECT_EQ(sink.Named("hid-property")[0].newValue.GetBool(), VARIANT_TRUE);
    EXPECT_EQ(sink.Named("hid-data")[0].newValue.GetBytes(), report);
}
