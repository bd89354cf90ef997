// The capture window's formats: which still size and live picture a camera runs with, and which still sizes
// the resolution list offers, on the simulated cameras and on cameras with formats those lack.
#include "CFakeVideoCapture.h"
#include "SimulatedDevices.h"
#include "capture/CCaptureFormats.h"
#include "capture/CStillResolutions.h"
#include "ui/CDialogBase.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

constexpr int32_t kMotion = STILL_FORMAT_MOTION_CAPABLE;

struct ReleaseCapture {
    void operator()(IVideoCapture* c) const {
        if (c != nullptr)
            c->Release();
    }
};
using CapturePtr = std::unique_ptr<IVideoCapture, ReleaseCapture>;

CapturePtr Fake(std::vector<CFakeVideoCapture::Format> formats) {
    return CapturePtr(new CFakeVideoCapture(std::move(formats)));
}

bool AllFeatures(const std::string&) {
    return true;
}

struct Size {
    int32_t width, height;
    bool operator==(const Size&) const = default;
};

// The sizes of the listed rows, read back through the format index each row stores.
std::vector<Size> ListedSizes(IVideoCapture* capture, const std::vector<ResolutionListEntry>& entries) {
    std::vector<Size> sizes;
    for (const ResolutionListEntry& e : entries) {
        Size s{0, 0};
        EXPECT_TRUE(CCaptureFormats::ReadFormat(capture, e.formatIndex, s.width, s.height));
        sizes.push_back(s);
    }
    return sizes;
}

class SimulatedCameraFormats : public ::testing::Test {
protected:
    void SetUp() override {
        devices.Plug({{Granite::DeviceKind::Camera, "full"}, {Granite::DeviceKind::Camera, "basic"}});
    }
    void TearDown() override { devices.Unplug(); }

    // A freshly opened camera: stopped, no live format chosen yet.
    CapturePtr Open(int index) { return CapturePtr(devices.OpenCamera(index)); }

    CSimulatedDevices devices;
};

} // namespace

TEST(StillResolutionTable, EachLargeSizeNeedsItsOwnFeatureAndEveryLabelNamesItsSize) {
    std::set<std::string> features;
    std::set<uint32_t> labels;
    for (const StillResolution& row : CStillResolutions::All()) {
        EXPECT_EQ(CStillResolutions::Find(row.width, row.height), &row);
        // Up to 960 x 720 every camera can; beyond, the camera has to say so.
        EXPECT_EQ(row.feature == nullptr, row.width <= 960) << row.width;
        if (row.feature != nullptr) {
            EXPECT_TRUE(features.insert(row.feature).second) << row.feature;
        }
        EXPECT_TRUE(labels.insert(row.labelId).second) << row.labelId;
        const std::string label = CDialogBase::LoadString(row.labelId);
        EXPECT_NE(label.find(std::to_string(row.width)), std::string::npos) << label;
        EXPECT_NE(label.find(std::to_string(row.height)), std::string::npos) << label;
    }
    const std::set<std::string> declared(CStillResolutions::StillFeatures().begin(),
                                         CStillResolutions::StillFeatures().end());
    EXPECT_EQ(features, declared);
    EXPECT_EQ(CStillResolutions::Find(800, 600), nullptr);
    EXPECT_EQ(CStillResolutions::Find(480, 640), nullptr) << "a portrait size is not a landscape one";
}

TEST_F(SimulatedCameraFormats, TheStoredSizeChoosesTheLivePictureAndTheCameraStartsWithIt) {
    struct Case {
        int camera; // 0: the full camera; 1: the basic one, with stills up to 2 megapixels
        Size stored, capture, video;
    } cases[] = {
        {0, {640, 480}, {640, 480}, {640, 480}},     {0, {960, 720}, {960, 720}, {960, 720}},
        {0, {2048, 1536}, {2048, 1536}, {960, 720}}, {0, {3264, 2448}, {3264, 2448}, {960, 720}},
        {0, {800, 600}, {320, 240}, {320, 240}}, // a size the camera does not offer
        {0, {0, 0}, {320, 240}, {320, 240}},         {0, {-640, 480}, {320, 240}, {320, 240}},
        {1, {2592, 1944}, {320, 240}, {320, 240}}, // no feature for it: the smallest size
        {1, {1600, 1200}, {1600, 1200}, {960, 720}},
    };
    for (const Case& c : cases) {
        CapturePtr capture = Open(c.camera);
        CaptureFormatChoice choice;
        choice.videoFps = 7;
        ASSERT_EQ(CCaptureFormats::Choose(capture.get(), c.stored.width, c.stored.height, choice), S_OK)
            << c.stored.width << "x" << c.stored.height;
        EXPECT_EQ((Size{choice.captureWidth, choice.captureHeight}), c.capture) << c.stored.width;
        EXPECT_EQ((Size{choice.videoWidth, choice.videoHeight}), c.video) << c.stored.width;
        EXPECT_EQ(choice.videoFps, 30) << "the rate of the camera's format";

        // What the window does next: the live format, the still size, start.
        ASSERT_EQ(capture->setVideoFormat(choice.videoWidth, choice.videoHeight, choice.videoFps), S_OK);
        EXPECT_EQ(capture->setStillSize(choice.captureWidth, choice.captureHeight), S_OK);
        ASSERT_EQ(capture->start(), S_OK);
        Size live{0, 0};
        EXPECT_EQ(capture->outputFormat(&live.width, &live.height), S_OK);
        EXPECT_EQ(live, c.video);
        capture->stop();
    }
}

TEST(CaptureFormatChoice, TheLivePictureOfALargeStillAndItsFrameRate) {
    struct Case {
        const char* what;
        std::vector<CFakeVideoCapture::Format> formats;
        Size stored;
        Size video;
        int32_t fps; // 25 (the value on entry) when the camera has no format of the live size
        bool usable; // the camera accepts the live format, so its recording parameters can be read
    } cases[] = {
        {"960 x 720 at 15 taken before a later one at 30",
         {{320, 240, 30, kMotion}, {960, 720, 15, kMotion}, {960, 720, 30, kMotion}, {1280, 960, 10, 0}},
         {1280, 960},
         {960, 720},
         15,
         true},
        {"no 960 x 720: 640 x 480 at the rate of its first format",
         {{640, 480, 20, kMotion}, {640, 480, 30, kMotion}, {1600, 1200, 5, 0}},
         {1600, 1200},
         {640, 480},
         20,
         true},
        {"a small still takes the rate of its own size",
         {{320, 240, 60, kMotion}, {640, 480, 24, kMotion}},
         {640, 480},
         {640, 480},
         24,
         true},
        {"neither 960 x 720 nor 640 x 480: the rate is kept and the camera refuses the format",
         {{320, 240, 30, kMotion}, {1600, 1200, 5, 0}},
         {1600, 1200},
         {640, 480},
         25,
         false},
        {"no 320 x 240 to fall back to", {{640, 480, 30, kMotion}}, {800, 600}, {320, 240}, 25, false},
    };
    for (const Case& c : cases) {
        CapturePtr capture = Fake(c.formats);
        CaptureFormatChoice choice;
        choice.videoFps = 25;
        const HRESULT hr = CCaptureFormats::Choose(capture.get(), c.stored.width, c.stored.height, choice);
        EXPECT_EQ(SUCCEEDED(hr), c.usable) << c.what;
        EXPECT_EQ((Size{choice.videoWidth, choice.videoHeight}), c.video) << c.what;
        EXPECT_EQ(choice.videoFps, c.fps) << c.what;
    }
}

TEST(CaptureFormatChoice, FailsWhenTheRecordingParametersCannotBeRead) {
    auto* fake = new CFakeVideoCapture({{320, 240, 30, kMotion}});
    CapturePtr capture(fake);
    fake->failRecordingParameters = true;
    CaptureFormatChoice choice;
    EXPECT_TRUE(FAILED(CCaptureFormats::Choose(capture.get(), 320, 240, choice)));
    EXPECT_EQ(CCaptureFormats::Choose(nullptr, 320, 240, choice), E_POINTER);
}

TEST_F(SimulatedCameraFormats, TheListOffersTheSizesTheCameraHasTheFeaturesFor) {
    CapturePtr capture = Open(0);
    const std::vector<ResolutionListEntry> all =
        CCaptureFormats::ListEntries(capture.get(), false, AllFeatures, 640, 480);
    ASSERT_EQ(all.size(), CStillResolutions::All().size());
    int selected = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        int32_t w = 0, h = 0;
        ASSERT_TRUE(CCaptureFormats::ReadFormat(capture.get(), all[i].formatIndex, w, h));
        ASSERT_NE(CStillResolutions::Find(w, h), nullptr);
        EXPECT_EQ(all[i].labelId, CStillResolutions::Find(w, h)->labelId);
        EXPECT_EQ(all[i].selected, w == 640 && h == 480);
        selected += all[i].selected ? 1 : 0;
    }
    EXPECT_EQ(selected, 1);

    // Only the 2-megapixel feature: the 1-megapixel format is there but not offered.
    const auto only2MP = [](const std::string& feature) { return feature == "2MPStill"; };
    EXPECT_EQ(
        ListedSizes(capture.get(), CCaptureFormats::ListEntries(capture.get(), false, only2MP, 320, 240)),
        (std::vector<Size>{{320, 240}, {640, 480}, {960, 720}, {1600, 1200}}));
    // No feature answer at all: the sizes every camera has.
    EXPECT_EQ(ListedSizes(capture.get(), CCaptureFormats::ListEntries(capture.get(), false, {}, 320, 240)),
              (std::vector<Size>{{320, 240}, {640, 480}, {960, 720}}));
}

TEST_F(SimulatedCameraFormats, WithMotionDetectionArmedOnlyMotionSizesUpTo960AreListed) {
    CapturePtr capture = Open(0);
    const auto entries = CCaptureFormats::ListEntries(capture.get(), true, AllFeatures, 2048, 1536);
    EXPECT_EQ(ListedSizes(capture.get(), entries), (std::vector<Size>{{320, 240}, {640, 480}, {960, 720}}));
    for (const ResolutionListEntry& e : entries)
        EXPECT_FALSE(e.selected) << "the large still size is not among them";
}

TEST(ResolutionListRows, EachSizeOnceForItsFirstFormatAndOnlyMotionFormatsWhileArmed) {
    CapturePtr capture = Fake({
        {640, 480, 30, kMotion},  // 0
        {640, 480, 15, kMotion},  // 1: the same size again
        {800, 600, 30, kMotion},  // 2: not a size of the list
        {320, 240, 30, 0},        // 3: cannot run with motion detection
        {960, 720, 30, kMotion},  // 4
        {1280, 960, 15, kMotion}, // 5: motion-capable but wider than 960
        {320, 240, 15, kMotion},  // 6: the motion-capable 320 x 240
    });
    struct Case {
        bool armed;
        std::vector<int32_t> indices;
    } cases[] = {{false, {0, 3, 4, 5}}, {true, {0, 4, 6}}};
    for (const Case& c : cases) {
        std::vector<int32_t> indices;
        for (const ResolutionListEntry& e :
             CCaptureFormats::ListEntries(capture.get(), c.armed, AllFeatures, 320, 240))
            indices.push_back(e.formatIndex);
        EXPECT_EQ(indices, c.indices) << "armed " << c.armed;
    }
}

TEST(ResolutionListRows, ReadingAFormatThatIsNotThereLeavesTheSizeAlone) {
    CapturePtr capture = Fake({{640, 480, 30, kMotion}});
    int32_t w = 11, h = 22;
    EXPECT_FALSE(CCaptureFormats::ReadFormat(capture.get(), 1, w, h));
    EXPECT_FALSE(CCaptureFormats::ReadFormat(capture.get(), -1, w, h));
    EXPECT_FALSE(CCaptureFormats::ReadFormat(nullptr, 0, w, h));
    EXPECT_EQ((Size{w, h}), (Size{11, 22}));
    EXPECT_TRUE(CCaptureFormats::ReadFormat(capture.get(), 0, w, h));
    EXPECT_EQ((Size{w, h}), (Size{640, 480}));
    EXPECT_TRUE(CCaptureFormats::ListEntries(nullptr, false, AllFeatures, 320, 240).empty());
}
