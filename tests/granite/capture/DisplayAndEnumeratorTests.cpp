// The display hands the window frames of its rectangle's size and stops when told; the enumerator lists the
// simulated cameras and opens them by path; real cameras' paths carry their USB ids.
#include "CaptureFixture.h"
#include "granite/capture/CV4l2Camera.h"
#include "granite/capture/CVideoDisplay.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "granite/v4l2/CV4l2SysfsCamera.h"
#include "platform/CObjectFactory.h"
#include "services/CDeviceLists.h"

#include <QDir>
#include <QFile>

#include <atomic>

using namespace Granite;

namespace {
class CRecordingSurface : public IVideoSurface {
public:
    void PresentFrame(const VideoRect& where, const VideoFrame& frame) override {
        std::lock_guard guard(lock_);
        ++count_;
        last_ = where;
        size_ = {frame.width, frame.height};
        strideOk_ = frame.stride >= frame.width * 4 && frame.pixels != nullptr;
    }
    int Count() const {
        std::lock_guard guard(lock_);
        return count_;
    }
    std::pair<int, int> Size() const {
        std::lock_guard guard(lock_);
        return size_;
    }
    bool StrideOk() const {
        std::lock_guard guard(lock_);
        return strideOk_;
    }

private:
    mutable std::mutex lock_;
    int count_ = 0;
    VideoRect last_;
    std::pair<int, int> size_;
    bool strideOk_ = false;
};
} // namespace

class DisplayAndEnumerator : public CaptureFixture {};

TEST_F(DisplayAndEnumerator, DisplayPresentsFramesOfTheRectangleAndNothingWhilePausedOrAfterDetach) {
    RefPtr<IVideoCapture> capture = Open(0);
    CFrameCollector clock; // counts the capture's frames, so the test waits for frames, not for time
    Frames(capture.get())->AddFrameListener(&clock);
    RefPtr<IVideoDisplay> display(CVideoDisplay::Create());
    CRecordingSurface surface;
    EXPECT_EQ(display->attach(nullptr, -1, {0, 0, 10, 10}, capture.get()), E_POINTER);
    ASSERT_EQ(display->attach(&surface, -1, {10, 20, 200, 150}, capture.get()), S_OK);
    ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
    ASSERT_EQ(capture->start(), S_OK);
    clock.Next(3);
    EXPECT_GT(surface.Count(), 0);
    EXPECT_EQ(surface.Size(), std::pair(200, 150));
    EXPECT_TRUE(surface.StrideOk());

    ASSERT_EQ(display->setPosition({0, 0, 96, 64}), S_OK);
    clock.Next(3);
    EXPECT_EQ(surface.Size(), std::pair(96, 64));

    ASSERT_EQ(display->pauseDuringMove(1), S_OK);
    clock.Next(1);
    int held = surface.Count();
    clock.Next(3);
    EXPECT_EQ(surface.Count(), held);
    ASSERT_EQ(display->pauseDuringMove(0), S_OK);
    clock.Next(3);
    EXPECT_GT(surface.Count(), held);

    ASSERT_EQ(display->detach(), S_OK);
    held = surface.Count();
    clock.Next(3);
    EXPECT_EQ(surface.Count(), held);
    capture->stop();
    Frames(capture.get())->RemoveFrameListener(&clock);
}

TEST_F(DisplayAndEnumerator, EnumeratorListsSimulatedCamerasFirstAndOpensThemByPath) {
    RegisterGraniteCaptureObjects();
    ICameraEnumerator* raw = nullptr;
    ASSERT_EQ(CObjectFactory::Instance().Create(CLSID_CameraEnumerator, IID_ICameraEnumerator, &raw), S_OK);
    RefPtr<ICameraEnumerator> cameras(raw);
    int32_t n = 0;
    ASSERT_EQ(cameras->count(&n), S_OK);
    ASSERT_GE(n, 2);
    std::string name, path;
    for (int32_t i = 0; i < 2; ++i) {
        ASSERT_EQ(cameras->item(i, &name, &path), S_OK);
        EXPECT_EQ(path, CameraId(i));
        EXPECT_NE(path.find("vid_f7a1&pid_"), std::string::npos) << path;
        EXPECT_FALSE(name.empty());
    }
    EXPECT_EQ(cameras->item(n, &name, &path), E_INVALIDARG);
    EXPECT_EQ(cameras->item(-1, &name, &path), E_INVALIDARG);

    IVideoCapture* capture = nullptr;
    EXPECT_EQ(cameras->createCapture("\\\\?\\usb#vid_dead&pid_beef&mi_00#9&v4l2\\/dev/video99", &capture),
              E_FAIL);
    EXPECT_EQ(capture, nullptr);
    ASSERT_EQ(cameras->createCapture(CameraId(1), &capture), S_OK);
    RefPtr<IVideoCapture> opened(capture);
    ASSERT_EQ(opened->devicePath(&path), S_OK);
    EXPECT_EQ(path, CameraId(1));

    // Made directly, a capture opens the camera in use.
    ASSERT_EQ(hardware->Attach(Granite::CSimulatedHardware::NewClientId(), CameraId(1)), S_OK);
    IVideoCapture* direct = nullptr;
    ASSERT_EQ(CObjectFactory::Instance().Create(CLSID_VideoCapture, IID_IVideoCapture, &direct), S_OK);
    RefPtr<IVideoCapture> directRef(direct);
    ASSERT_EQ(direct->devicePath(&path), S_OK);
    EXPECT_EQ(path, CameraId(1));
    UnregisterGraniteCaptureObjects();
}

TEST_F(DisplayAndEnumerator, RealCameraPathsCarryTheUsbIdsFromSysfs) {
    // A sysfs tree as the kernel lays it out: the video device's "device" is the USB interface, whose
    // parent holds the ids.
    QDir root(QString::fromStdString(Path("sys")));
    ASSERT_TRUE(root.mkpath("devices/usb1/1-2/1-2:1.0/video4linux/video2"));
    ASSERT_TRUE(root.mkpath("class/video4linux"));
    auto write = [&](const char* file, const char* text) {
        QFile f(root.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("devices/usb1/1-2/idVendor", "046d\n");
    write("devices/usb1/1-2/idProduct", "08E5\n");
    ASSERT_EQ(
        ::symlink(root.filePath("devices/usb1/1-2/1-2:1.0").toUtf8().constData(),
                  root.filePath("devices/usb1/1-2/1-2:1.0/video4linux/video2/device").toUtf8().constData()),
        0);
    ASSERT_EQ(::symlink(root.filePath("devices/usb1/1-2/1-2:1.0/video4linux/video2").toUtf8().constData(),
                        root.filePath("class/video4linux/video2").toUtf8().constData()),
              0);
    uint16_t vid = 0, pid = 0;
    ASSERT_TRUE(CV4l2Camera::UsbIds(root.path().toStdString(), "/dev/video2", &vid, &pid));
    EXPECT_EQ(vid, 0x046d);
    EXPECT_EQ(pid, 0x08e5);
    EXPECT_FALSE(CV4l2Camera::UsbIds(root.path().toStdString(), "/dev/video7", &vid, &pid));
    write("devices/usb1/1-2/idProduct", "zz\n");
    EXPECT_FALSE(CV4l2Camera::UsbIds(root.path().toStdString(), "/dev/video2", &vid, &pid));

    const std::string path = CV4l2Camera::DevicePath(0x046d, 0x08e5, 3, "/dev/video2");
    EXPECT_EQ(path, "\\\\?\\usb#vid_046d&pid_08e5&mi_00#3&v4l2\\/dev/video2");
    EXPECT_EQ(CV4l2Camera::DevnodeOf(path), "/dev/video2");
    EXPECT_EQ(CV4l2Camera::DevnodeOf(CameraId(0)), "");

    // With its serial number the camera's path names the same device as the device service's id for it,
    // whatever /dev/videoN the kernel gave it.
    write("devices/usb1/1-2/idProduct", "08e5\n");
    write("devices/usb1/1-2/serial", "CAFE42\n");
    V4l2SysfsCamera described;
    ASSERT_TRUE(CV4l2SysfsCamera::Read(root.path().toStdString(), "video2", described));
    const std::string real = CV4l2Camera::PathOf(root.path().toStdString(), "/dev/video2", 3);
    EXPECT_TRUE(CDeviceLists::SameDevice(real, described.id)) << real << " / " << described.id;
    EXPECT_NE(real.find("CAFE42"), std::string::npos) << real;
    EXPECT_EQ(CV4l2Camera::DevnodeOf(real), "/dev/video2");
    // A node sysfs does not describe keeps the numbered path.
    EXPECT_EQ(CV4l2Camera::PathOf(root.path().toStdString(), "/dev/video7", 4),
              "\\\\?\\usb#vid_0000&pid_0000&mi_00#4&v4l2\\/dev/video7");
}
