// The motion detector: its level scale on known pictures, and on live pictures that stand still or move.
#include "CaptureFixture.h"
#include "granite/capture/CMotionAnalyzer.h"
#include "granite/capture/CMotionDetector.h"

using namespace Granite;

TEST(MotionAnalyzer, LevelIsTheMeanGreyChangeOnTheDocumentedScale) {
    struct Case {
        int width, height, stride;
        int32_t sensitivity;
        uint8_t before, after;
        int32_t level;
        int changedWidth = 0, changedHeight = 0; // the part that changes; all of it when 0
    };
    const Case cases[] = {
        {320, 240, 320, 100, 80, 80, 0},   // nothing changed
        {320, 240, 320, 100, 80, 90, 400}, // 10 grey levels everywhere, less the floor
        {640, 480, 704, 166, 80, 83, 83},  // the window's sensitivity; padded rows
        {170, 97, 170, 100, 100, 102, 0},  // within the noise floor
        {170, 97, 170, 100, 100, 103, 50}, // no multiple of the small picture
        {320, 240, 320, 1000, 0, 255, CMotionAnalyzer::kMaxLevel}, // capped
        {320, 240, 320, 10, 0, 255, 316, 160, 120}, // a quarter of the cells change by 255, less the floor
    };
    for (const Case& c : cases) {
        CMotionAnalyzer analyzer;
        analyzer.SetSensitivity(c.sensitivity);
        std::vector<uint8_t> plane(static_cast<size_t>(c.stride) * c.height, c.before);
        EXPECT_FALSE(analyzer.Feed(plane.data(), c.width, c.height, c.stride))
            << "the first picture has no before";
        for (int y = 0; y < (c.changedHeight ? c.changedHeight : c.height); ++y)
            std::fill_n(plane.begin() + y * c.stride, c.changedWidth ? c.changedWidth : c.width, c.after);
        EXPECT_EQ(analyzer.Feed(plane.data(), c.width, c.height, c.stride), c.level)
            << c.width << "x" << c.height;
    }
    // A new size starts over rather than comparing unlike pictures.
    CMotionAnalyzer analyzer;
    std::vector<uint8_t> plane(320 * 240, 0), other(160 * 120, 0);
    analyzer.Feed(plane.data(), 320, 240, 320);
    EXPECT_FALSE(analyzer.Feed(other.data(), 160, 120, 160));
    EXPECT_FALSE(analyzer.Feed(other.data(), 40, 30, 40)) << "smaller than the small picture";
}

class LiveMotion : public CaptureFixture {
protected:
    // The first levels (at least `count`) of the simulated camera's picture, with or without the moving
    // object; once detach returned no event comes any more, although the picture goes on.
    std::vector<uint32_t> Levels(bool sceneMotion, size_t count) {
        hardware->SetSceneMotion(sceneMotion);
        RefPtr<IVideoCapture> capture = Open(0);
        void* raw = nullptr;
        EXPECT_EQ(CMotionDetector::Create(IID_IMotionDetector, &raw), S_OK);
        RefPtr<IMotionDetector> detector(static_cast<IMotionDetector*>(raw));
        auto sink = Listen(detector.get(), DIID_IMotionEvents);
        EXPECT_EQ(detector->setLevel(100), S_OK);
        EXPECT_EQ(detector->attach(capture.get()), S_OK);
        EXPECT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
        EXPECT_EQ(capture->start(), S_OK);
        EXPECT_TRUE(sink->WaitFor([&](const std::vector<uint32_t>& all) { return all.size() >= count; }));
        EXPECT_EQ(detector->detach(), S_OK);
        const std::vector<uint32_t> atDetach = sink->Events();
        CFrameCollector frames;
        Frames(capture.get())->AddFrameListener(&frames);
        EXPECT_FALSE(frames.Next(10).y.empty());
        Frames(capture.get())->RemoveFrameListener(&frames);
        EXPECT_EQ(sink->Events(), atDetach);
        capture->stop();
        hardware->SetSceneMotion(false);
        return atDetach;
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
    Foreign foreign;
    void* raw = nullptr;
    ASSERT_EQ(CMotionDetector::Create(IID_IMotionDetector, &raw), S_OK);
    RefPtr<IMotionDetector> detector(static_cast<IMotionDetector*>(raw));
    EXPECT_EQ(detector->attach(&foreign), E_NOINTERFACE);
    EXPECT_EQ(detector->attach(nullptr), E_POINTER);
    EXPECT_EQ(detector->setLevel(0), E_INVALIDARG);
    EXPECT_EQ(detector->setLevel(1001), E_INVALIDARG);
    EXPECT_EQ(detector->detach(), S_FALSE);
}
