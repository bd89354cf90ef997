// The video capture: formats per model, holding and losing the camera, the picture following every control.
#include "CaptureFixture.h"
#include "granite/devices/SimulatedDeviceConstants.h"

using namespace Granite;

class VideoCapture : public CaptureFixture {};

TEST_F(VideoCapture, FormatsFollowTheModelsStillFeaturesAndSizesOutsideTheListAreRefused) {
    for (const auto& [camera, motion] : {std::pair(0, true), std::pair(1, false)}) {
        SCOPED_TRACE(camera);
        RefPtr<IVideoCapture> capture = Open(camera);
        int32_t n = 0, w = 0, h = 0, fps = 0, flags = 0;
        ASSERT_EQ(capture->stillFormatCount(&n), S_OK);
        ASSERT_GE(n, 3);
        EXPECT_EQ(capture->stillFormat(n, &w, &h, &fps, &flags), E_INVALIDARG);
        for (int32_t i = 0; i < n; ++i) {
            ASSERT_EQ(capture->stillFormat(i, &w, &h, &fps, &flags), S_OK);
            EXPECT_EQ((flags & STILL_FORMAT_MOTION_CAPABLE) != 0, motion && w <= 960) << w;
            EXPECT_EQ(capture->setStillSize(w, h), S_OK);
        }
        EXPECT_TRUE(FAILED(capture->outputFormat(&w, &h))) << "no format chosen yet";
        EXPECT_TRUE(FAILED(capture->recordingParameters(&w, &h, &fps)));
        EXPECT_EQ(capture->setVideoFormat(800, 600, 30), E_INVALIDARG);
        EXPECT_EQ(capture->setStillSize(800, 600), E_INVALIDARG);
        ASSERT_EQ(capture->setVideoFormat(960, 720, 30), S_OK);
        ASSERT_EQ(capture->outputFormat(&w, &h), S_OK);
        EXPECT_EQ(std::pair(w, h), std::pair(960, 720));
        EXPECT_EQ(capture->recordingParameters(&w, &h, &fps), S_OK);
    }
}

TEST_F(VideoCapture, HoldsTheCameraWhileRunningWaitsWhileAnotherProgramHoldsItAndStopsWhenItIsUnplugged) {
    CFrameCollector frames;
    RefPtr<IVideoCapture> capture = Open(0);
    auto sink = Listen(capture.get(), DIID_IVideoEvents);
    Frames(capture.get())->AddFrameListener(&frames);
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
    EXPECT_EQ(hardware->StartStreaming(CameraId(0), {"setup.exe", "C:\\setup.exe", 77}), E_ACCESSDENIED);
    ASSERT_EQ(capture->stop(), S_OK);
    EXPECT_EQ(capture->stop(), S_OK);
    ASSERT_EQ(hardware->DeviceStrings(CameraId(0), 0, &app, &exe), S_OK);
    EXPECT_EQ(app, "");
    EXPECT_EQ(sink->Events(), std::vector<uint32_t>{VIDEO_EVENT_AVAILABLE})
        << "our own release is not news to our own sink";
    // Unplugged while running: the picture stops with an error, and the capture says so.
    ASSERT_EQ(capture->start(), S_OK);
    ASSERT_FALSE(frames.Next().y.empty());
    ASSERT_EQ(hardware->Unplug(DeviceKind::Camera, CameraId(0)), S_OK);
    EXPECT_TRUE(sink->WaitFor(VIDEO_EVENT_STOPPED));
    const std::optional<HRESULT> why = frames.WaitStopped();
    ASSERT_TRUE(why.has_value());
    EXPECT_TRUE(FAILED(*why));
    EXPECT_FALSE(Frames(capture.get())->IsRunning());
    EXPECT_EQ(capture->start(), E_FAIL);
    Frames(capture.get())->RemoveFrameListener(&frames);
}

TEST_F(VideoCapture, EveryControlVisiblyChangesThePicture) {
    namespace P = CamProp;
    using Check = std::function<bool(const Picture& before, const Picture& after)>;
    const auto differs = [](const Picture& a, const Picture& b) { return a.Distance(b, Same) > 3; };
    const auto flipped = [](bool sideways) {
        return [sideways](const Picture& a, const Picture& b) {
            const auto mirror = [&](int x, int y) {
                return sideways ? std::pair(a.width - 1 - x, y) : std::pair(x, a.height - 1 - y);
            };
            return b.Distance(a, mirror) < 3 && b.Distance(a, Same) > 8;
        };
    };
    struct Case {
        const char* name;
        int camera;
        int32_t property, value;
        Check check;
        int32_t zoomFirst = 0;
    };
    const Case cases[] = {
        {"brightness up", 0, P::Brightness, 255, [](auto& a, auto& b) { return b.Mean() > a.Mean() + 20; }},
        {"brightness down", 0, P::Brightness, 0, [](auto& a, auto& b) { return b.Mean() < a.Mean() - 20; }},
        {"contrast", 0, P::Contrast, 0, differs},
        {"mirror left-right", 0, P::MirrorHorizontal, 1, flipped(true)},
        {"mirror upside down", 0, P::MirrorVertical, 1, flipped(false)},
        {"zoom", 0, P::Zoom, 400, differs},
        {"mains frequency", 0, P::PowerLineFrequency, 0, differs},
        {"video mute", 0, P::VideoMute, 1, [](auto&, const Picture& b) { return b.Flat(); }},
        {"backlight", 1, P::Backlight, 2, [](auto& a, auto& b) { return b.Mean() > a.Mean() + 5; }},
        // At twice the zoom the digital window can move six steps either way. Last: it leaves the zoom.
        {"pan", 0, P::Pan, 6, [](auto& a, auto& b) { return b.Distance(a, Same) > 8; }, 200},
    };
    CFrameCollector frames[2];
    RefPtr<IVideoCapture> captures[] = {Open(0), Open(1)};
    for (int i = 0; i < 2; ++i) {
        Frames(captures[i].get())->AddFrameListener(&frames[i]);
        ASSERT_EQ(captures[i]->setVideoFormat(320, 240, 30), S_OK);
        ASSERT_EQ(captures[i]->start(), S_OK);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto set = [&](int32_t property, const Variant& value) {
            ASSERT_EQ(hardware->Set(DeviceKind::Camera, CameraId(c.camera), property, value), S_OK);
        };
        if (c.zoomFirst != 0)
            set(P::Zoom, Variant::FromI4(c.zoomFirst));
        const Picture before = frames[c.camera].Next(4);
        Variant old;
        ASSERT_EQ(hardware->Get(DeviceKind::Camera, CameraId(c.camera), c.property, &old), S_OK);
        set(c.property, Variant::FromI4(c.value));
        const Picture after = frames[c.camera].Next(4);
        ASSERT_FALSE(before.y.empty() || after.y.empty());
        EXPECT_TRUE(c.check(before, after)) << "mean " << before.Mean() << " -> " << after.Mean();
        set(c.property, old);
    }
    for (int i = 0; i < 2; ++i) {
        captures[i]->stop();
        Frames(captures[i].get())->RemoveFrameListener(&frames[i]);
    }
}
