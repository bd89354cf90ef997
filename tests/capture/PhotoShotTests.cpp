// Taking a photo from the simulated camera's running picture into a real file: the quality range, the still
// size, the shutter event, and the failures that must leave no file and no file name behind.
#include "RecordingFixture.h"
#include "capture/CPhotoShot.h"
#include "services/ICaptureEvents.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <limits>

namespace {

class PhotoShotTest : public RecordingFixture {
protected:
    // The camera stopped, so a test picks the still size before it runs.
    void SetUp() override {
        RecordingFixture::SetUp();
        capture->stop();
        folder = env.Path("Pictures");
        QDir().mkpath(QString::fromStdString(folder));
    }
    void Run(int32_t width, int32_t height) {
        ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
        ASSERT_EQ(capture->setStillSize(width, height), S_OK);
        ASSERT_EQ(capture->start(), S_OK);
    }
    // A file namer as the gallery's: numbered names in the folder, counted, each reserved as an empty file.
    std::function<HRESULT(std::string&)> Namer() {
        return [this](std::string& path) {
            path = folder + "/Picture " + std::to_string(++named) + ".jpg";
            QFile reserved(QString::fromStdString(path));
            return reserved.open(QIODevice::WriteOnly | QIODevice::NewOnly) ? S_OK : E_FAIL;
        };
    }
    QStringList Files() const { return QDir(QString::fromStdString(folder)).entryList(QDir::Files); }

    std::string folder;
    int named = 0;
};

TEST(PhotoShotQuality, IsClampedToTheJpegRange) {
    const std::pair<uint32_t, int32_t> cases[] = {{0, 20},
                                                  {19, 20},
                                                  {20, 20},
                                                  {57, 57},
                                                  {100, 100},
                                                  {101, 100},
                                                  {std::numeric_limits<uint32_t>::max(), 100}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CPhotoShot::ClampQuality(in), out) << in;
}

TEST_F(PhotoShotTest, WritesAJpegOfTheChosenStillSizeAndRingsTheShutterOnce) {
    // A still size larger than the live picture, as the large photo sizes are.
    Run(640, 480);
    CEventLog shutter;
    std::string path;
    ASSERT_EQ(CPhotoShot::Take(capture, &shutter, Namer(), 95, false, path), S_OK);
    EXPECT_EQ(path, folder + "/Picture 1.jpg");
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    const QImage image = reader.read();
    EXPECT_EQ(image.size(), QSize(640, 480)) << reader.errorString().toStdString();
    EXPECT_EQ(shutter.Values(), std::vector<uint32_t>{STILL_EVENT_CAPTURED});

    // The next shot gets the next name; without a listener it is taken all the same.
    ASSERT_EQ(CPhotoShot::Take(capture, nullptr, Namer(), 95, false, path), S_OK);
    EXPECT_EQ(path, folder + "/Picture 2.jpg");
    EXPECT_EQ(Files().size(), 2);
    EXPECT_EQ(shutter.Values().size(), 1u) << "the first shot's sink is gone";
}

TEST_F(PhotoShotTest, QualityAndTheDateStampReachThePicture) {
    Run(320, 240);
    auto shoot = [&](int32_t quality, bool stamp) {
        std::string path;
        EXPECT_EQ(CPhotoShot::Take(capture, nullptr, Namer(), quality, stamp, path), S_OK);
        return path;
    };
    const std::string low = shoot(-4, false), lowest = shoot(20, false), best = shoot(100, false);
    const auto size = [](const std::string& p) { return QFileInfo(QString::fromStdString(p)).size(); };
    EXPECT_EQ(size(low), size(lowest)) << "a negative quality is the lowest one";
    EXPECT_LT(size(lowest), size(best));

    const QImage plain(QString::fromStdString(shoot(95, false)));
    const QImage stamped(QString::fromStdString(shoot(95, true)));
    ASSERT_EQ(plain.size(), stamped.size());
    int changed = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            changed += qAbs(qGray(plain.pixel(x, y)) - qGray(stamped.pixel(x, y))) > 40;
    EXPECT_GT(changed, 100) << "the date and time are printed into the picture";
}

TEST_F(PhotoShotTest, FailuresGiveNoFileAndNoName) {
    CEventLog shutter;
    std::string path = "left over";
    // The camera is not running: the capture fails.
    EXPECT_EQ(CPhotoShot::Take(capture, &shutter, Namer(), 95, false, path), E_FAIL);
    EXPECT_TRUE(path.empty());
    EXPECT_TRUE(Files().isEmpty());

    Run(320, 240);
    EXPECT_EQ(CPhotoShot::Take(nullptr, &shutter, Namer(), 95, false, path), E_FAIL) << "no capture";
    const int namedBefore = named;
    EXPECT_EQ(CPhotoShot::Take(
                  capture, &shutter, [](std::string&) { return E_FAIL; }, 95, false, path),
              E_FAIL);
    EXPECT_EQ(CPhotoShot::Take(
                  capture, &shutter, [](std::string& p) { return p.clear(), S_OK; }, 95, false, path),
              E_FAIL)
        << "an empty name";
    EXPECT_EQ(CPhotoShot::Take(capture, &shutter, {}, 95, false, path), E_FAIL);
    EXPECT_EQ(named, namedBefore);

    // A folder that is not there.
    EXPECT_EQ(CPhotoShot::Take(
                  capture, &shutter,
                  [this](std::string& p) { return p = folder + "/gone/Picture.jpg", S_OK; }, 95, false, path),
              E_FAIL);
    EXPECT_TRUE(path.empty());

    // No still-capture object installed.
    UnregisterGraniteCaptureObjects();
    EXPECT_EQ(CPhotoShot::Take(capture, &shutter, Namer(), 95, false, path), E_FAIL);
    RegisterGraniteCaptureObjects();
    EXPECT_TRUE(Files().isEmpty());

    // And the camera still takes photos afterwards.
    EXPECT_EQ(CPhotoShot::Take(capture, &shutter, Namer(), 95, false, path), S_OK);
    EXPECT_EQ(Files().size(), 1);
}

} // namespace
