// Stills from a running simulated camera: every size the full camera offers, the quality range, the date
// stamp, and the failures that must leave no file behind.
#include "CaptureFixture.h"
#include "granite/capture/CStillCapture.h"

#include <QFileInfo>
#include <QImage>

using namespace Granite;

class StillCapture : public CaptureFixture {
protected:
    HRESULT Shoot(IVideoCapture* capture, const std::string& file, int32_t quality, int32_t stamp,
                  int32_t* result, CCaptureTestSink* sink = nullptr) {
        RefPtr<CStillCapture> still(CStillCapture::Create());
        uint32_t cookie = 0;
        if (sink != nullptr) {
            EXPECT_EQ(still->Advise(sink, &cookie), S_OK);
        }
        const HRESULT hr = still->capture(file, quality, result, stamp, capture);
        if (sink != nullptr) {
            EXPECT_EQ(still->Unadvise(cookie), S_OK);
        }
        return hr;
    }
};

TEST_F(StillCapture, WritesAJpegOfEveryStillSizeTheCameraOffers) {
    RefPtr<IVideoCapture> capture = Open(0);
    ASSERT_EQ(capture->setVideoFormat(640, 480, 30), S_OK);
    ASSERT_EQ(capture->start(), S_OK);
    int32_t n = 0;
    ASSERT_EQ(capture->stillFormatCount(&n), S_OK);
    ASSERT_EQ(n, 9);
    for (int32_t i = 0; i < n; ++i) {
        int32_t w = 0, h = 0, fps = 0, flags = 0;
        ASSERT_EQ(capture->stillFormat(i, &w, &h, &fps, &flags), S_OK);
        ASSERT_EQ(capture->setStillSize(w, h), S_OK);
        const std::string file = Path(("still" + std::to_string(i) + ".jpg").c_str());
        RefPtr<CCaptureTestSink> sink(new CCaptureTestSink(DIID_IStillEvents));
        int32_t result = -1;
        ASSERT_EQ(Shoot(capture.get(), file, 90, 0, &result, sink.get()), S_OK) << w << "x" << h;
        EXPECT_EQ(result, 1);
        EXPECT_EQ(sink->Events(), std::vector<uint32_t>{STILL_EVENT_CAPTURED});
        const QImage image(QString::fromStdString(file), "JPEG");
        EXPECT_EQ(image.size(), QSize(w, h)) << file;
    }
}

TEST_F(StillCapture, QualityIsClampedAndTheDateStampMarksThePicture) {
    RefPtr<IVideoCapture> capture = Open(0);
    ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
    ASSERT_EQ(capture->start(), S_OK);
    auto shoot = [&](const char* name, int32_t quality, int32_t stamp) {
        int32_t result = 0;
        EXPECT_EQ(Shoot(capture.get(), Path(name), quality, stamp, &result), S_OK);
        EXPECT_EQ(result, 1);
        return QFileInfo(QString::fromStdString(Path(name))).size();
    };
    // The scene is still, so equal settings give equal files.
    EXPECT_EQ(shoot("q-5.jpg", -5, 0), shoot("q20.jpg", 20, 0));
    EXPECT_EQ(shoot("q500.jpg", 500, 0), shoot("q100.jpg", 100, 0));
    EXPECT_LT(shoot("q20b.jpg", 20, 0), shoot("q100b.jpg", 100, 0));

    shoot("plain.jpg", 95, 0);
    shoot("stamped.jpg", 95, 1);
    const QImage plain(QString::fromStdString(Path("plain.jpg"))),
        stamped(QString::fromStdString(Path("stamped.jpg")));
    ASSERT_EQ(plain.size(), stamped.size());
    auto changed = [&](QRect area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += qAbs(qGray(plain.pixel(x, y)) - qGray(stamped.pixel(x, y))) > 40;
        return n;
    };
    EXPECT_GT(changed(QRect(160, 200, 160, 40)), 200); // bottom right, where the stamp goes
    EXPECT_EQ(changed(QRect(0, 0, 160, 120)), 0);
}

TEST_F(StillCapture, FailuresReportNoResultAndLeaveNoFile) {
    RefPtr<IVideoCapture> capture = Open(0);
    int32_t result = -1;
    // Not running.
    EXPECT_EQ(Shoot(capture.get(), Path("idle.jpg"), 90, 0, &result), E_FAIL);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Path("idle.jpg"))));
    RefPtr<CStillCapture> still(CStillCapture::Create());
    EXPECT_EQ(still->capture(Path("x.jpg"), 90, &result, 0, nullptr), E_POINTER);

    ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
    ASSERT_EQ(capture->start(), S_OK);
    result = -1;
    EXPECT_TRUE(FAILED(Shoot(capture.get(), Path("missing/folder.jpg"), 90, 0, &result)));
    EXPECT_EQ(result, 0);

    // A full disk: the bytes cannot all be written and the partial file goes.
    if (QFileInfo::exists("/dev/full")) {
        const std::string link = Path("full.jpg");
        ASSERT_EQ(::symlink("/dev/full", link.c_str()), 0);
        EXPECT_EQ(CStillCapture::WriteFile(link, std::vector<uint8_t>(4096, 1)), HResultFromWin32(112));
        EXPECT_FALSE(QFileInfo(QString::fromStdString(link)).isSymLink());
    }
}
