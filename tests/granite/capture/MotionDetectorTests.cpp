// The motion detector: its level scale on known pictures, and on live pictures that stand still or move.
#include "CCaptureTestSink.h"
#include "CTestFrameSource.h"
#include "CountingHelpers.h"
#include "granite/capture/CMotionAnalyzer.h"
#include "granite/capture/CMotionDetector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

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
        {320, 240, 320, 100, 80, 90, 200}, // 10 grey levels everywhere
        {640, 480, 704, 166, 80, 83, 100}, // 3 levels at the window's sensitivity; padded rows
        {170, 97, 170, 100, 100, 101, 20}, // a size that is no multiple of the small picture
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
    analyzer.SetSensitivity(50);
    std::vector<uint8_t> plane(320 * 240, 0);
    analyzer.Feed(plane.data(), 320, 240, 320);
    // A white square over a quarter of the picture: the mean change is 255 / 4, at half sensitivity.
    for (int y = 0; y < 120; ++y)
        std::fill_n(plane.begin() + y * 320, 160, 255);
    EXPECT_EQ(analyzer.Feed(plane.data(), 320, 240, 320), std::lround(255 / 4.0 * 20 / 2));
    // A new size starts over rather than comparing unlike pictures.
    std::vector<uint8_t> other(160 * 120, 0);
    EXPECT_FALSE(analyzer.Feed(other.data(), 160, 120, 160));
    EXPECT_FALSE(analyzer.Feed(other.data(), 40, 30, 40)) << "smaller than the small picture";
}

struct LiveMotion : ::testing::Test {
    std::vector<uint32_t> Levels(const char* pattern, size_t count) {
        auto* capture = new CTestFrameSource(320, 240, 30, pattern);
        auto* sink = new CCaptureTestSink(DIID_IMotionEvents);
        CCountdown raised;
        CountEvents(sink, &raised);
        IMotionDetector* detector = nullptr;
        EXPECT_EQ(CMotionDetector::Create(IID_IMotionDetector, reinterpret_cast<void**>(&detector)), S_OK);
        ICaptureEventSource* events = nullptr;
        detector->QueryInterface(IID_ICaptureEventSource, reinterpret_cast<void**>(&events));
        uint32_t cookie = 0;
        EXPECT_EQ(events->Advise(sink, &cookie), S_OK);
        EXPECT_EQ(detector->setLevel(100), S_OK);
        EXPECT_EQ(detector->attach(capture), S_OK);
        EXPECT_EQ(capture->start(), S_OK);
        EXPECT_TRUE(raised.WaitFor(count)) << pattern;
        EXPECT_EQ(detector->detach(), S_OK);
        // Once detach returned no event comes any more, although the picture goes on.
        const uint64_t atDetach = raised.Count();
        CFrameCounter counter;
        capture->AddFrameListener(&counter);
        EXPECT_TRUE(counter.frames.WaitFor(10));
        capture->RemoveFrameListener(&counter);
        EXPECT_EQ(raised.Count(), atDetach);
        capture->stop();
        events->Unadvise(cookie);
        events->Release();
        detector->Release();
        std::vector<uint32_t> levels = sink->Values();
        sink->Release();
        capture->Release();
        return levels;
    }
};

TEST_F(LiveMotion, AStillPictureReadsNearZeroAndAMovingBallClearlyMore) {
    const std::vector<uint32_t> still = Levels("checkers-8", 5);
    const std::vector<uint32_t> moving = Levels("ball", 5);
    ASSERT_GE(still.size(), 5u);
    ASSERT_GE(moving.size(), 5u);
    EXPECT_LE(*std::max_element(still.begin(), still.end()), 1u) << ::testing::PrintToString(still);
    const double mean =
        std::accumulate(moving.begin(), moving.end(), 0.0) / static_cast<double>(moving.size());
    EXPECT_GE(mean, 10.0) << "the ball moves every frame";
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
