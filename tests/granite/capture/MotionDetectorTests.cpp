// The motion detector: its level scale on known pictures, and on live pictures that stand still or move.
#include "CaptureFixture.h"
#include "CountingHelpers.h"
#include "granite/capture/CMotionAnalyzer.h"
#include "granite/capture/CMotionDetector.h"
#include "granite/capture/CSimulatedCameraSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Granite;
using namespace std::chrono_literals;

namespace {

TEST(MotionAnalyzer, LevelIsTheMeanGreyChangeOnTheDocumentedScale) {
    struct Case {
        int width, height, stride;
        int32_t sensitivity;
        uint8_t before, after;
        int32_t level;
    };
    const Case cases[] = {
        {320, 240, 320, 100, 80, 80, 0},   // nothing changed
        {320, 240, 320, 100, 80, 90, 400}, // 10 grey levels everywhere, less the floor
        {640, 480, 704, 166, 80, 83, 83},  // the window's sensitivity; padded rows
        {170, 97, 170, 100, 100, 102, 0},  // within the noise floor
        {170, 97, 170, 100, 100, 103, 50}, // no multiple of the small picture
        {320, 240, 320, 1000, 0, 255, CMotionAnalyzer::kMaxLevel}, // capped
    };
    for (const Case& c : cases) {
        CMotionAnalyzer analyzer;
        analyzer.SetSensitivity(c.sensitivity);
        std::vector<uint8_t> plane(static_cast<size_t>(c.stride) * c.height, c.before);
        EXPECT_FALSE(analyzer.Feed(plane.data(), c.width, c.height, c.stride))
            << "the first picture has no before";
        for (int y = 0; y < c.height; ++y)
            std::fill_n(plane.begin() + y * c.stride, c.width, c.after);
        EXPECT_EQ(analyzer.Feed(plane.data(), c.width, c.height, c.stride), c.level)
            << c.width << "x" << c.height;
    }
}

TEST(MotionAnalyzer, ALocalChangeCountsByItsShareOfThePicture) {
    CMotionAnalyzer analyzer;
    analyzer.SetSensitivity(10);
    std::vector<uint8_t> plane(320 * 240, 0);
    analyzer.Feed(plane.data(), 320, 240, 320);
    // A white square over a quarter of the picture: a quarter of the cells change by 255, less the floor.
    for (int y = 0; y < 120; ++y)
        std::fill_n(plane.begin() + y * 320, 160, 255);
    EXPECT_EQ(analyzer.Feed(plane.data(), 320, 240, 320), std::lround(253 / 4.0 * 50 / 10));
    // A new size starts over rather than comparing unlike pictures.
    std::vector<uint8_t> other(160 * 120, 0);
    EXPECT_FALSE(analyzer.Feed(other.data(), 160, 120, 160));
    EXPECT_FALSE(analyzer.Feed(other.data(), 40, 30, 40)) << "smaller than the small picture";
}

class LiveMotion : public CaptureFixture {
protected:
    void TearDown() override {
        hardware->SetSceneMotion(false);
        CaptureFixture::TearDown();
    }
    // The first `count` levels of the simulated camera's picture, with or without the moving object.
    std::vector<uint32_t> Levels(bool sceneMotion, size_t count) {
        hardware->SetSceneMotion(sceneMotion);
        RefPtr<IVideoCapture> capture = Open(0);
        RefPtr<CCaptureTestSink> sink(new CCaptureTestSink(DIID_IMotionEvents));
        CCountdown raised;
        CountEvents(sink.get(), &raised);
        IMotionDetector* detector = nullptr;
        EXPECT_EQ(CMotionDetector::Create(IID_IMotionDetector, reinterpret_cast<void**>(&detector)), S_OK);
        RefPtr<IMotionDetector> owner(detector);
        void* raw = nullptr;
        detector->QueryInterface(IID_ICaptureEventSource, &raw);
        RefPtr<ICaptureEventSource> events(static_cast<ICaptureEventSource*>(raw));
        uint32_t cookie = 0;
        EXPECT_EQ(events->Advise(sink.get(), &cookie), S_OK);
        EXPECT_EQ(detector->setLevel(100), S_OK);
        EXPECT_EQ(detector->attach(capture.get()), S_OK);
        EXPECT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
        EXPECT_EQ(capture->start(), S_OK);
        EXPECT_TRUE(raised.WaitFor(count));
        EXPECT_EQ(detector->detach(), S_OK);
        // Once detach returned no event comes any more, although the picture goes on.
        const uint64_t atDetach = raised.Count();
        CFrameCounter counter;
        Frames(capture.get())->AddFrameListener(&counter);
        EXPECT_TRUE(counter.frames.WaitFor(10));
        Frames(capture.get())->RemoveFrameListener(&counter);
        EXPECT_EQ(raised.Count(), atDetach);
        capture->stop();
        events->Unadvise(cookie);
        return sink->Events();
    }
};

TEST_F(LiveMotion, AStillSceneReadsNearZeroAndAMovingObjectClearlyMore) {
    const std::vector<uint32_t> still = Levels(false, 5);
    const std::vector<uint32_t> moving = Levels(true, 5);
    ASSERT_GE(still.size(), 5u);
    ASSERT_GE(moving.size(), 5u);
    EXPECT_EQ(*std::max_element(still.begin(), still.end()), 0u) << ::testing::PrintToString(still);
    // The simulated passer-by reads above the capture window's default threshold (40) at every reading.
    EXPECT_GE(*std::min_element(moving.begin(), moving.end()), 40u) << ::testing::PrintToString(moving);
}

TEST(MotionDetector, RefusesACaptureThatDoesNotShareItsFramesAndBadLevels) {
    struct Foreign : CRefCounted<IVideoCapture> {
        HRESULT QueryInterface(const Guid&, void** object) override {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        HRESULT stillFormatCount(int32_t*) override { return E_NOTIMPL; }
        HRESULT stillFormat(int32_t, int32_t*, int32_t*, int32_t*, int32_t*) override { return E_NOTIMPL; }
        HRESULT setVideoFormat(int32_t, int32_t, int32_t) override { return E_NOTIMPL; }
        HRESULT setStillSize(int32_t, int32_t) override { return E_NOTIMPL; }
        HRESULT start() override { return E_NOTIMPL; }
        HRESULT stop() override { return E_NOTIMPL; }
        HRESULT recordingParameters(int32_t*, int32_t*, int32_t*) override { return E_NOTIMPL; }
        HRESULT outputFormat(int32_t*, int32_t*) override { return E_NOTIMPL; }
        HRESULT devicePath(std::string*) override { return E_NOTIMPL; }
    };
    auto* foreign = new Foreign();
    IMotionDetector* detector = nullptr;
    ASSERT_EQ(CMotionDetector::Create(IID_IMotionDetector, reinterpret_cast<void**>(&detector)), S_OK);
    EXPECT_EQ(detector->attach(foreign), E_NOINTERFACE);
    EXPECT_EQ(detector->attach(nullptr), E_POINTER);
    EXPECT_EQ(detector->setLevel(0), E_INVALIDARG);
    EXPECT_EQ(detector->setLevel(1001), E_INVALIDARG);
    EXPECT_EQ(detector->detach(), S_FALSE);
    detector->Release();
    foreign->Release();
}

} // namespace
