// Stills of every size the camera offers, the quality range, the date stamp, and failures that leave no file.
#include "CaptureFixture.h"
#include "granite/capture/CStillCapture.h"

using namespace Granite;

class StillCapture : public CaptureFixture {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        capture = Open(0);
    }
    void Start(int32_t width, int32_t height) {
        ASSERT_EQ(capture->setVideoFormat(width, height, 30), S_OK);
        ASSERT_EQ(capture->start(), S_OK);
    }
    // Shoots into the folder; the result the capture gave, 0 when it failed.
    int32_t Shoot(const std::string& name, int32_t quality = 90, int32_t stamp = 0,
                  CCaptureTestSink* sink = nullptr) {
        RefPtr<CStillCapture> still(CStillCapture::Create());
        uint32_t cookie = 0;
        EXPECT_EQ(sink != nullptr ? still->Advise(sink, &cookie) : S_OK, S_OK);
        int32_t result = -1;
        const HRESULT hr = still->capture(Path(name), quality, &result, stamp, capture.get());
        EXPECT_EQ(SUCCEEDED(hr), result == 1) << name;
        return result;
    }
    Picture Read(const std::string& name) const { return ReadBackMovie(Path(name)).picture; }

    RefPtr<IVideoCapture> capture;
};

TEST_F(StillCapture, WritesAJpegOfEveryStillSizeTheCameraOffers) {
    Start(640, 480);
    int32_t n = 0;
    ASSERT_EQ(capture->stillFormatCount(&n), S_OK);
    ASSERT_GE(n, 3);
    for (int32_t i = 0; i < n; ++i) {
        int32_t w = 0, h = 0, fps = 0, flags = 0;
        ASSERT_EQ(capture->stillFormat(i, &w, &h, &fps, &flags), S_OK);
        ASSERT_EQ(capture->setStillSize(w, h), S_OK);
        const std::string name = "still" + std::to_string(i) + ".jpg";
        RefPtr<CCaptureTestSink> sink(new CCaptureTestSink(DIID_IStillEvents));
        ASSERT_EQ(Shoot(name, 90, 0, sink.get()), 1) << w << "x" << h;
        EXPECT_EQ(sink->Events(), std::vector<uint32_t>{STILL_EVENT_CAPTURED});
        const Picture still = Read(name);
        EXPECT_EQ(std::pair(still.width, still.height), std::pair(w, h)) << name;
    }
}

TEST_F(StillCapture, QualityIsClampedAndTheDateStampMarksThePicture) {
    Start(320, 240);
    auto size = [&](const std::string& name, int32_t quality) {
        EXPECT_EQ(Shoot(name, quality), 1);
        return std::filesystem::file_size(Path(name));
    };
    // The scene is still, so equal settings give equal files.
    EXPECT_EQ(size("q-5.jpg", -5), size("q20.jpg", 20));
    EXPECT_EQ(size("q500.jpg", 500), size("q100.jpg", 100));
    EXPECT_LT(size("q20b.jpg", 20), size("q100b.jpg", 100));
    ASSERT_EQ(Shoot("plain.jpg", 95, 0), 1);
    ASSERT_EQ(Shoot("stamped.jpg", 95, 1), 1);
    const Picture plain = Read("plain.jpg"), stamped = Read("stamped.jpg");
    ASSERT_EQ(std::pair(plain.width, plain.height), std::pair(stamped.width, stamped.height));
    EXPECT_GT(stamped.Distance(plain, Same, 180, 220, 320, 240), 20) << "bottom right, where the stamp goes";
    EXPECT_LT(stamped.Distance(plain, Same, 0, 0, 320, 200), 1);
}

TEST_F(StillCapture, FailuresReportNoResultAndLeaveNoFile) {
    EXPECT_EQ(Shoot("idle.jpg"), 0) << "the camera is not running";
    EXPECT_FALSE(std::filesystem::exists(Path("idle.jpg")));
    RefPtr<CStillCapture> still(CStillCapture::Create());
    int32_t result = -1;
    EXPECT_EQ(still->capture(Path("x.jpg"), 90, &result, 0, nullptr), E_POINTER);
    Start(320, 240);
    EXPECT_EQ(Shoot("missing/folder.jpg"), 0);
    // A full disk: the bytes cannot all be written and the partial file goes.
    if (std::filesystem::exists("/dev/full")) {
        const std::string link = Path("full.jpg");
        ASSERT_EQ(::symlink("/dev/full", link.c_str()), 0);
        EXPECT_EQ(CStillCapture::WriteFile(link, std::vector<uint8_t>(4096, 1)), HResultFromWin32(112));
        EXPECT_FALSE(std::filesystem::is_symlink(link));
    }
}
