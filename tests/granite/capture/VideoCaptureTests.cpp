// The video capture on the simulated cameras: formats per model, holding the camera, losing it, and the
// live picture following every control.
#include "CaptureFixture.h"
#include "granite/capture/CSimulatedCameraSource.h"
#include "granite/devices/SimulatedDeviceConstants.h"

#include <functional>

using namespace Granite;

class VideoCapture : public CaptureFixture {};

TEST_F(VideoCapture, FormatsFollowTheModelsStillFeatures) {
    struct Case {
        int camera;
        int32_t largestWidth, largestHeight;
        bool motion;
    };
    for (const Case& c : {Case{0, 3264, 2448, true}, Case{1, 1600, 1200, false}}) {
        RefPtr<IVideoCapture> capture = Open(c.camera);
        int32_t n = 0, w = 0, h = 0, fps = 0, flags = 0;
        ASSERT_EQ(capture->stillFormatCount(&n), S_OK);
        ASSERT_GE(n, 3);
        EXPECT_EQ(capture->stillFormat(n, &w, &h, &fps, &flags), E_INVALIDARG);
        ASSERT_EQ(capture->stillFormat(n - 1, &w, &h, &fps, &flags), S_OK);
        EXPECT_EQ(std::pair(w, h), std::pair(c.largestWidth, c.largestHeight)) << c.camera;
        for (int32_t i = 0; i < n; ++i) {
            ASSERT_EQ(capture->stillFormat(i, &w, &h, &fps, &flags), S_OK);
            EXPECT_EQ(fps, 30);
            EXPECT_EQ((flags & STILL_FORMAT_MOTION_CAPABLE) != 0, c.motion && w <= 960) << w;
            EXPECT_EQ(capture->setStillSize(w, h), S_OK);
        }
        EXPECT_TRUE(FAILED(capture->outputFormat(&w, &h)));
        EXPECT_TRUE(FAILED(capture->recordingParameters(&w, &h, &fps)));
        EXPECT_EQ(capture->setVideoFormat(800, 600, 30), E_INVALIDARG);
        EXPECT_EQ(capture->setStillSize(800, 600), E_INVALIDARG);
        ASSERT_EQ(capture->setVideoFormat(960, 720, 30), S_OK);
        ASSERT_EQ(capture->outputFormat(&w, &h), S_OK);
        EXPECT_EQ(std::pair(w, h), std::pair(960, 720));
        int32_t a = 0, b = 0, cc = 0;
        EXPECT_EQ(capture->recordingParameters(&a, &b, &cc), S_OK);
        EXPECT_GT(a, 0);
        EXPECT_GT(b, 0);
    }
}

TEST_F(VideoCapture, HoldsTheCameraWhileRunningAndFindsItBusyWhileAnotherProgramHoldsIt) {
    RefPtr<IVideoCapture> capture = Open(0);
    RefPtr<CCaptureTestSink> sink(new CCaptureTestSink(DIID_IVideoEvents));
    RefPtr<ICaptureEventSource> events;
    {
        void* raw = nullptr;
        ASSERT_EQ(capture->QueryInterface(IID_ICaptureEventSource, &raw), S_OK);
        events.reset(static_cast<ICaptureEventSource*>(raw));
    }
    uint32_t cookie = 0;
    ASSERT_EQ(events->Advise(sink.get(), &cookie), S_OK);
    ASSERT_EQ(hardware->StartStreaming(CameraId(0), {"setup.exe", "C:\\setup.exe", 77}), S_OK);
    EXPECT_EQ(capture->start(), E_ACCESSDENIED);
    EXPECT_FALSE(Frames(capture.get())->IsRunning());

    // The other program lets go: the camera is announced as available and starts.
    ASSERT_EQ(hardware->StopStreaming(CameraId(0)), S_OK);
    EXPECT_TRUE(sink->WaitFor(VIDEO_EVENT_AVAILABLE));
    ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
    ASSERT_EQ(capture->start(), S_OK);
    EXPECT_EQ(capture->start(), S_OK);
    std::string app, exe;
    ASSERT_EQ(hardware->DeviceStrings(CameraId(0), 0, &app, &exe), S_OK);
    EXPECT_EQ(app, "Vidora");
    EXPECT_FALSE(exe.empty());
    EXPECT_EQ(hardware->StartStreaming(CameraId(0), {"setup.exe", "C:\\setup.exe", 77}), E_ACCESSDENIED);

    ASSERT_EQ(capture->stop(), S_OK);
    EXPECT_EQ(capture->stop(), S_OK);
    ASSERT_EQ(hardware->DeviceStrings(CameraId(0), 0, &app, &exe), S_OK);
    EXPECT_EQ(app, "");
    // Our own release is not news to our own sink.
    EXPECT_EQ(sink->Events(), std::vector<uint32_t>{VIDEO_EVENT_AVAILABLE});
    EXPECT_EQ(events->Unadvise(cookie), S_OK);
}

TEST_F(VideoCapture, UnpluggingTheRunningCameraStopsThePictureAndSaysSo) {
    RefPtr<IVideoCapture> capture = Open(0);
    void* raw = nullptr;
    ASSERT_EQ(capture->QueryInterface(IID_ICaptureEventSource, &raw), S_OK);
    RefPtr<ICaptureEventSource> events(static_cast<ICaptureEventSource*>(raw));
    RefPtr<CCaptureTestSink> sink(new CCaptureTestSink(DIID_IVideoEvents));
    uint32_t cookie = 0;
    ASSERT_EQ(events->Advise(sink.get(), &cookie), S_OK);
    CFrameCollector frames;
    Frames(capture.get())->AddFrameListener(&frames);
    ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
    ASSERT_EQ(capture->start(), S_OK);
    ASSERT_FALSE(frames.Next().y.empty());

    ASSERT_EQ(hardware->Unplug(DeviceKind::Camera, CameraId(0)), S_OK);
    EXPECT_TRUE(sink->WaitFor(VIDEO_EVENT_STOPPED));
    HRESULT why = S_OK;
    ASSERT_TRUE(frames.WaitStopped(&why));
    EXPECT_TRUE(FAILED(why));
    EXPECT_FALSE(Frames(capture.get())->IsRunning());
    EXPECT_EQ(capture->start(), E_FAIL);
    Frames(capture.get())->RemoveFrameListener(&frames);
    EXPECT_EQ(events->Unadvise(cookie), S_OK);
}

TEST_F(VideoCapture, EveryControlVisiblyChangesThePicture) {
    namespace P = CamProp;
    using Check = std::function<bool(const Picture& before, const Picture& after)>;
    const auto differs = [](const Picture& a, const Picture& b) { return a.Distance(b, Same) > 3; };
    struct Case {
        const char* name;
        int camera;
        int32_t property;
        int32_t value;
        Check check;
    };
    const Case cases[] = {
        {"brightness up", 0, P::Brightness, 255, [](auto& a, auto& b) { return b.Mean() > a.Mean() + 20; }},
        {"brightness down", 0, P::Brightness, 0, [](auto& a, auto& b) { return b.Mean() < a.Mean() - 20; }},
        {"contrast", 0, P::Contrast, 0, differs},
        {"mirror left-right", 0, P::MirrorHorizontal, 1,
         [](const Picture& a, const Picture& b) {
             return b.Distance(a, [&](int x, int y) { return std::pair(a.width - 1 - x, y); }) < 3 &&
                    b.Distance(a, Same) > 8;
         }},
        {"mirror upside down", 0, P::MirrorVertical, 1,
         [](const Picture& a, const Picture& b) {
             return b.Distance(a, [&](int x, int y) { return std::pair(x, a.height - 1 - y); }) < 3 &&
                    b.Distance(a, Same) > 8;
         }},
        {"zoom", 0, P::Zoom, 400, differs},
        {"mains frequency", 0, P::PowerLineFrequency, 0, differs},
        {"video mute", 0, P::VideoMute, 1,
         [](auto&, const Picture& b) {
             return std::all_of(b.y.begin(), b.y.end(), [&](uint8_t v) { return v == b.y.front(); });
         }},
        {"backlight", 1, P::Backlight, 2, [](auto& a, auto& b) { return b.Mean() > a.Mean() + 5; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RefPtr<IVideoCapture> capture = Open(c.camera);
        CFrameCollector frames;
        Frames(capture.get())->AddFrameListener(&frames);
        ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
        ASSERT_EQ(capture->start(), S_OK);
        const Picture before = frames.Next(2);
        ASSERT_FALSE(before.y.empty());
        Variant old;
        ASSERT_EQ(hardware->Get(DeviceKind::Camera, CameraId(c.camera), c.property, &old), S_OK);
        ASSERT_EQ(hardware->Set(DeviceKind::Camera, CameraId(c.camera), c.property, Variant::FromI4(c.value)),
                  S_OK);
        const Picture after = frames.Next(4);
        ASSERT_FALSE(after.y.empty());
        EXPECT_TRUE(c.check(before, after)) << "mean " << before.Mean() << " -> " << after.Mean();
        capture->stop();
        Frames(capture.get())->RemoveFrameListener(&frames);
        ASSERT_EQ(hardware->Set(DeviceKind::Camera, CameraId(c.camera), c.property, old), S_OK);
    }
}

TEST_F(VideoCapture, PanMovesTheZoomedWindowAndSceneMotionMovesSomething) {
    RefPtr<IVideoCapture> capture = Open(0);
    CFrameCollector frames;
    Frames(capture.get())->AddFrameListener(&frames);
    ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
    ASSERT_EQ(hardware->Set(DeviceKind::Camera, CameraId(0), CamProp::Zoom, Variant::FromI4(200)), S_OK);
    ASSERT_EQ(capture->start(), S_OK);
    const Picture centred = frames.Next(2);
    // At twice the zoom the digital window can move six steps either way.
    ASSERT_EQ(hardware->Set(DeviceKind::Camera, CameraId(0), CamProp::Pan, Variant::FromI4(6)), S_OK);
    const Picture right = frames.Next(4);
    EXPECT_GT(right.Distance(centred, Same), 8);

    ASSERT_EQ(hardware->Set(DeviceKind::Camera, CameraId(0), CamProp::Zoom, Variant::FromI4(100)), S_OK);
    const Picture still1 = frames.Next(3), still2 = frames.Next(3);
    EXPECT_LT(still2.Distance(still1, Same), 0.01);
    hardware->SetSceneMotion(true);
    const Picture moving1 = frames.Next(2), moving2 = frames.Next(6);
    hardware->SetSceneMotion(false);
    EXPECT_GT(moving2.Distance(moving1, Same), 0.1);
    capture->stop();
    Frames(capture.get())->RemoveFrameListener(&frames);
}
