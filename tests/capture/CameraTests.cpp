// The capture window's camera: which one opens, the formats and resolution list it runs with, the photo size
// broadcast (windows and session bus), the countdown blink of its LED, and the focus lock.
#include "CFakeCameraOwner.h"
#include "CFakeVideoCapture.h"
#include "CMessageLog.h"
#include "SimulatedDevices.h"
#include "capture/CCameraOpener.h"
#include "capture/CCaptureFormats.h"
#include "capture/CLedBlink.h"
#include "capture/CLockFocusStateMachine.h"
#include "capture/CResolutionBroadcast.h"
#include "capture/CStillResolutions.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "platform/IClock.h"
#include "platform/RegisteredMessages.h"
#include "services/IGraniteCommunicationsManager.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QProcess>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>
#include <QtDBus/QDBusMessage>

#include <cctype>
#include <functional>
#include <optional>
#include <tuple>

class CSignalReceiver : public QObject {
    Q_OBJECT
public:
    std::vector<QDBusMessage> messages;

public slots:
    void OnSignal(const QDBusMessage& message) { messages.push_back(message); }
};

namespace {

// Cameras of other makers around the maker's ones; each capture it makes remembers its path.
class CMixedCameraEnumerator : public CRefCounted<ICameraEnumerator> {
public:
    explicit CMixedCameraEnumerator(std::vector<std::string> paths) : paths_(std::move(paths)) {}
    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return QueryOwnInterface<ICameraEnumerator>(this, iid, IID_ICameraEnumerator, object);
    }
    HRESULT count(int32_t* n) override { return *n = static_cast<int32_t>(paths_.size()), S_OK; }
    HRESULT item(int32_t index, std::string* name, std::string* devicePath) override {
        return *name = "Camera", *devicePath = paths_.at(static_cast<size_t>(index)), S_OK;
    }
    HRESULT createCapture(const std::string& devicePath, IVideoCapture** videoCapture) override {
        return *videoCapture = new CFakeVideoCapture({{320, 240, 30, 0}}, devicePath), S_OK;
    }

    std::vector<std::string> paths_;
};

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        devices.Plug({{Granite::DeviceKind::Camera, "full"}, {Granite::DeviceKind::Camera, "basic"}});
        devices.StartService();
        RegisterGraniteCaptureObjects();
        RegisterGraniteCommunicationsService();
        comms = GetGraniteCommunicationsManager();
        ASSERT_NE(comms, nullptr);
    }
    void TearDown() override {
        if (opened.capture != nullptr)
            opened.capture->Release();
        if (comms != nullptr)
            comms->Release();
        devices.DisconnectDeviceManager();
        UnregisterGraniteCaptureObjects();
        UnregisterGraniteCommunicationsService();
        devices.Unplug();
    }
    std::string Reopen(IGraniteDeviceManager* dm, const std::string& callCamera, HRESULT expected = S_OK) {
        if (opened.capture != nullptr)
            opened.capture->Release();
        EXPECT_EQ(comms->SetCallSetting1(callCamera), S_OK);
        EXPECT_EQ(CCameraOpener::Open(dm, comms, opened), expected);
        std::string path;
        if (opened.capture != nullptr)
            opened.capture->devicePath(&path);
        return path;
    }

    CTempEnvironment env;
    CSimulatedDevices devices;
    IGraniteCommunicationsManager* comms = nullptr;
    OpenedCamera opened;
};

TEST_F(CameraTest, TheCurrentCameraWinsOverTheCallCameraAndTellsWhetherItRunsOnTheMakersDriver) {
    IGraniteDeviceManager* dm = devices.ConnectDeviceManager();
    ASSERT_NE(dm, nullptr);
    const std::string fullId = devices.CameraId(0), basicId = devices.CameraId(1);
    // The basic camera runs on the platform's class driver.
    for (const auto& [index, id, makerDriver] :
         {std::tuple{1, basicId, false}, std::tuple{0, fullId, true}}) {
        ASSERT_EQ(dm->SelectVideoDevice(index), S_OK);
        EXPECT_EQ(Reopen(dm, index == 0 ? basicId : fullId), id);
        EXPECT_EQ(opened.devicePath, id);
        EXPECT_EQ(opened.makerDriver, makerDriver) << id;
    }
    UnregisterGraniteCaptureObjects();
    Reopen(dm, "", E_FAIL);
    EXPECT_EQ(opened.capture, nullptr) << "nothing to enumerate with";
}

TEST_F(CameraTest, WithoutADeviceManagerTheCallCameraIsOpenedElseTheFirstMakerCamera) {
    const std::string fullId = devices.CameraId(0), basicId = devices.CameraId(1);
    EXPECT_EQ(Reopen(nullptr, ""), fullId) << "an empty call setting means any camera";
    EXPECT_TRUE(opened.makerDriver) << "no device manager to name the driver";
    std::string upper = basicId;
    for (char& ch : upper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(Reopen(nullptr, upper), basicId) << "named in another case";
    Reopen(nullptr, "\\\\?\\usb#vid_f7a1&pid_7777&mi_00#7&0&0&0000\\global", E_FAIL);
    EXPECT_TRUE(opened.capture == nullptr && opened.devicePath.empty() && opened.makerDriver)
        << "camera gone";
}

TEST_F(CameraTest, OnlyTheMakersCamerasAreConsideredUnlessTheDeviceManagerChoseIt) {
    const std::vector<std::string> paths = {
        "\\\\?\\usb#vid_046d&pid_0825&mi_00#6&1&0&0000\\global", // another maker's camera comes first
        "\\\\?\\USB#VID_F7A1&PID_0A5D&MI_00#7&1&0&0000\\GLOBAL", // the maker's, written in capitals
        "\\\\?\\usb#vid_f7a1&pid_0821&mi_00#7&2&0&0001\\global",
    };
    RegisterFake<CMixedCameraEnumerator>(CLSID_CameraEnumerator, paths);
    EXPECT_EQ(Reopen(nullptr, ""), paths[1]);
    EXPECT_EQ(Reopen(nullptr, paths[0], E_FAIL), "")
        << "the call settings alone never open another maker's camera";
    // The device manager's current camera (a webcam of this computer) is opened whoever made it.
    EXPECT_TRUE(CCameraOpener::IsConsidered(paths[0], true));
    EXPECT_FALSE(CCameraOpener::IsConsidered(paths[0], false));
}

constexpr int32_t kMotion = STILL_FORMAT_MOTION_CAPABLE;
using CapturePtr = std::unique_ptr<IVideoCapture, decltype([](IVideoCapture* c) { c->Release(); })>;
using Size = std::pair<int32_t, int32_t>;

bool AllFeatures(const std::string&) {
    return true;
}

TEST_F(CameraTest, TheStoredSizeChoosesTheLivePictureAndTheCameraStartsWithIt) {
    // Camera (1: stills up to 2 megapixels), stored size, still size and live picture chosen.
    const std::tuple<int, Size, Size, Size> cases[] = {
        {0, {960, 720}, {960, 720}, {960, 720}},     {0, {3264, 2448}, {3264, 2448}, {960, 720}},
        {0, {800, 600}, {320, 240}, {320, 240}}, // a size the camera does not offer
        {0, {0, 0}, {320, 240}, {320, 240}},         {0, {-640, 480}, {320, 240}, {320, 240}},
        {1, {2592, 1944}, {320, 240}, {320, 240}}, // no feature for it: the smallest size
        {1, {1600, 1200}, {1600, 1200}, {960, 720}},
    };
    for (const auto& [camera, stored, still, video] : cases) {
        SCOPED_TRACE(std::to_string(stored.first) + "x" + std::to_string(stored.second));
        CapturePtr capture(devices.OpenCamera(camera));
        CaptureFormatChoice choice;
        choice.videoFps = 7;
        ASSERT_EQ(CCaptureFormats::Choose(capture.get(), stored.first, stored.second, choice), S_OK);
        EXPECT_EQ(Size(choice.captureWidth, choice.captureHeight), still);
        EXPECT_EQ(choice.videoFps, 30) << "the rate of the camera's format";
        ASSERT_EQ(capture->setVideoFormat(choice.videoWidth, choice.videoHeight, choice.videoFps), S_OK);
        EXPECT_EQ(capture->setStillSize(choice.captureWidth, choice.captureHeight), S_OK);
        ASSERT_EQ(capture->start(), S_OK);
        Size live{0, 0};
        EXPECT_EQ(capture->outputFormat(&live.first, &live.second), S_OK);
        EXPECT_EQ(live, video);
        capture->stop();
    }
}

TEST(CaptureFormatChoice, TheLivePictureOfALargeStillAndItsFrameRate) {
    // Stored size, live picture, its rate (kept at 25 without a format of that size), camera accepts it.
    const std::tuple<Size, Size, int32_t, bool, std::vector<CFakeVideoCapture::Format>> cases[] = {
        // 960 x 720 at 15 taken before a later one at 30
        {{1280, 960},
         {960, 720},
         15,
         true,
         {{320, 240, 30, kMotion}, {960, 720, 15, kMotion}, {960, 720, 30, kMotion}, {1280, 960, 10, 0}}},
        // no 960 x 720: 640 x 480 at the rate of its first format
        {{1600, 1200},
         {640, 480},
         20,
         true,
         {{640, 480, 20, kMotion}, {640, 480, 30, kMotion}, {1600, 1200, 5, 0}}},
        // a small still takes the rate of its own size
        {{640, 480}, {640, 480}, 24, true, {{320, 240, 60, kMotion}, {640, 480, 24, kMotion}}},
        // neither 960 x 720 nor 640 x 480: the rate is kept and the camera refuses the format
        {{1600, 1200}, {640, 480}, 25, false, {{320, 240, 30, kMotion}, {1600, 1200, 5, 0}}},
        // no 320 x 240 to fall back to
        {{800, 600}, {320, 240}, 25, false, {{640, 480, 30, kMotion}}},
    };
    for (const auto& [stored, video, fps, usable, formats] : cases) {
        SCOPED_TRACE(stored.first);
        CapturePtr capture(new CFakeVideoCapture(formats));
        CaptureFormatChoice choice;
        choice.videoFps = 25;
        EXPECT_EQ(SUCCEEDED(CCaptureFormats::Choose(capture.get(), stored.first, stored.second, choice)),
                  usable);
        EXPECT_EQ(Size(choice.videoWidth, choice.videoHeight), video);
        EXPECT_EQ(choice.videoFps, fps);
    }
    CaptureFormatChoice choice;
    EXPECT_EQ(CCaptureFormats::Choose(nullptr, 320, 240, choice), E_POINTER);
}

TEST(ResolutionListRows, EachListedSizeOnceForItsFirstFormatWithItsFeatureAndOnlyMotionFormatsWhileArmed) {
    CapturePtr capture(new CFakeVideoCapture({
        {640, 480, 30, kMotion},   // 0
        {640, 480, 15, kMotion},   // 1: the same size again
        {800, 600, 30, kMotion},   // 2: not a size of the list
        {320, 240, 30, 0},         // 3: cannot run with motion detection
        {960, 720, 30, kMotion},   // 4
        {1280, 960, 15, kMotion},  // 5: motion-capable but wider than 960, and 1 megapixel
        {320, 240, 15, kMotion},   // 6: the motion-capable 320 x 240
        {1600, 1200, 15, kMotion}, // 7: 2 megapixels
    }));
    const auto only2MP = [](const std::string& feature) { return feature == "2MPStill"; };
    // Armed, the camera's features, the format indices listed.
    const std::tuple<bool, std::function<bool(const std::string&)>, std::vector<int32_t>> cases[] = {
        {false, AllFeatures, {0, 3, 4, 5, 7}},
        {false, only2MP, {0, 3, 4, 7}},
        {false, {}, {0, 3, 4}}, // no feature answer: the sizes every camera has
        {true, AllFeatures, {0, 4, 6}},
    };
    for (const auto& [armed, features, expected] : cases) {
        std::vector<int32_t> indices;
        for (const ResolutionListEntry& e :
             CCaptureFormats::ListEntries(capture.get(), armed, features, 960, 720)) {
            indices.push_back(e.formatIndex);
            int32_t w = 0, h = 0;
            ASSERT_TRUE(CCaptureFormats::ReadFormat(capture.get(), e.formatIndex, w, h));
            EXPECT_EQ(e.labelId, CStillResolutions::Find(w, h)->labelId);
            EXPECT_EQ(e.selected, w == 960) << "the current still size";
        }
        EXPECT_EQ(indices, expected) << "armed " << armed << ", " << expected.size() << " rows";
    }
    int32_t w = 11, h = 22; // a format that is not there leaves the size alone
    EXPECT_FALSE(CCaptureFormats::ReadFormat(capture.get(), 8, w, h));
    EXPECT_FALSE(CCaptureFormats::ReadFormat(capture.get(), -1, w, h));
    EXPECT_FALSE(CCaptureFormats::ReadFormat(nullptr, 0, w, h));
    EXPECT_EQ(Size(w, h), Size(11, 22));
    EXPECT_TRUE(CCaptureFormats::ListEntries(nullptr, false, AllFeatures, 320, 240).empty());
}

using Led = std::tuple<int32_t, int32_t, int32_t>; // mode, argument, blink rate

class LedBlinkTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        SetClock(&clock);
        devices.Plug({{Granite::DeviceKind::Camera, GetParam()}});
        ASSERT_NE(devices.ConnectDeviceManager(), nullptr);
    }
    void TearDown() override {
        devices.Unplug();
        SetClock(nullptr);
    }
    Led OnCamera(std::optional<Led> write = {}) {
        const int32_t property = full ? Granite::CamProp::LedMode : Granite::CamProp::LedModeLegacy;
        if (write) {
            const auto [mode, argument, rate] = *write;
            EXPECT_EQ(devices.hardware->Set(Granite::DeviceKind::Camera, devices.CameraId(), property,
                                            Variant::FromI4(mode | argument << 8 | rate << 16),
                                            Granite::WriteOrigin::Hardware),
                      S_OK);
        }
        Variant value;
        int32_t packed = -1;
        devices.hardware->Get(Granite::DeviceKind::Camera, devices.CameraId(), property, &value);
        value.ToI4(packed);
        return {packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF};
    }

    CTempEnvironment env;
    CFakeClock clock;
    CSimulatedDevices devices;
    const bool full = std::string(GetParam()) == "full";
};

TEST_P(LedBlinkTest, ACountdownBlinksTheLedAndRestoreGivesItsSettingBack) {
    CLedBlink led(devices.dm);
    // Only the full camera has the LED modes the blink needs; the window asks before it blinks.
    EXPECT_EQ(led.HasLedControl(), full);
    OnCamera(Led{1, 7, 0});
    led.Start();
    led.Update(4);
    if (full) {
        EXPECT_EQ(OnCamera(), Led(2, 3, 20));
        led.Update(3);
        EXPECT_EQ(OnCamera(), Led(2, 3, 40)) << "faster in the last three seconds";
    }
    led.Restore();
    // The full camera's LED goes back under SunTune control; the basic camera, without it, to the plain mode.
    EXPECT_EQ(OnCamera(), full ? Led(5, 7, 0) : Led(1, 7, 0));
    OnCamera(Led{1, 9, 0});
    led.Restore();
    EXPECT_EQ(OnCamera(), Led(1, 9, 0)) << "a second restore has nothing to write";

    // Starting again restores first and saves what the restore wrote, not the blink.
    OnCamera(Led{1, 4, 0});
    led.Start();
    led.Update(6);
    led.Start();
    ASSERT_TRUE(led.HasSaved());
    EXPECT_EQ(std::pair(led.Saved()->mode, led.Saved()->argument), std::pair(full ? 5 : 1, 4));
}

INSTANTIATE_TEST_SUITE_P(Cameras, LedBlinkTest, ::testing::Values("full", "basic"));

TEST(LedBlink, WithoutADeviceManagerNothingHappens) {
    CLedBlink led(nullptr);
    led.Start();
    led.Update(2);
    EXPECT_FALSE(led.HasLedControl() || led.HasSaved());
}

using M = CLockFocusStateMachine;

TEST(FocusLock, EveryStateAndEvent) {
    // From, event, the camera's auto-focus and settling, the state and auto-focus after, writes made.
    const std::tuple<std::string, void (M::*)(), bool, bool, const char*, bool, int> table[] = {
        {"unlocked", &M::Press, false, true, "unlocked", false, 0},
        {"unlocked", &M::Press, true, true, "locked", false, 1},
        {"unlocked", &M::Press, true, false, "locking", true, 0},
        {"unlocked", &M::Release, true, true, "unlocked", true, 0},
        {"unlocked", &M::FocusSettled, true, true, "unlocked", true, 0},
        {"locking", &M::Press, true, true, "locking", true, 0},
        {"locking", &M::Release, true, false, "unlocked", true, 0},
        {"locking", &M::FocusSettled, true, true, "locked", false, 1},
        {"locked", &M::Press, true, true, "locked", false, 0},
        {"locked", &M::Release, true, true, "unlocked", true, 1},
        {"locked", &M::FocusSettled, true, true, "locked", false, 0},
    };
    int row = 0;
    for (const auto& [from, event, autoFocus, settled, to, autoFocusAfter, writes] : table) {
        SCOPED_TRACE("row " + std::to_string(row++));
        CFakeCameraOwner camera;
        M machine;
        machine.SetEvents(&camera);
        camera.settled = from == "locked";
        if (from != "unlocked")
            machine.Press();
        ASSERT_EQ(machine.State().Name(), from);
        camera.autoFocus = from == "unlocked" ? autoFocus : camera.autoFocus;
        camera.settled = settled;
        const int writesBefore = camera.focusWrites;
        (machine.*event)();
        EXPECT_STREQ(machine.State().Name(), to);
        EXPECT_EQ(camera.autoFocus, autoFocusAfter);
        EXPECT_EQ(camera.focusWrites - writesBefore, writes);
    }
}

TEST(ResolutionBroadcast, EveryWindowOfTheProgramHearsTheNewSizeWithOrWithoutABus) {
    CTempEnvironment env;
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + env.Path("runtime/no-bus"));
    CMessageLog first(RegisteredMessages::ResolutionChanged.Id()),
        second(RegisteredMessages::ResolutionChanged.Id());
    second.hide(); // hidden windows are told too
    CResolutionBroadcast::Send(1280, 720);
    EXPECT_EQ(second.heard, (Heard{{1280, 720}}));
    second.DestroyWindow(); // a window that is gone is not told; the others are
    CResolutionBroadcast::Send(640, 480);
    EXPECT_EQ(first.heard, (Heard{{1280, 720}, {640, 480}}));
    EXPECT_EQ(second.heard.size(), 1u);
}

TEST(ResolutionBroadcast, OtherProgramsHearItOnTheSessionBus) {
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!daemon.waitForStarted(5000))
        GTEST_SKIP() << "no dbus-daemon on this machine";
    ASSERT_TRUE(daemon.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    CTempEnvironment env;
    env.SetEnv("DBUS_SESSION_BUS_ADDRESS", address.toStdString());
    {
        QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("resolution-receiver"));
        ASSERT_TRUE(bus.isConnected());
        CSignalReceiver receiver;
        ASSERT_TRUE(bus.connect(QString(), QLatin1String(CResolutionBroadcast::kObjectPath),
                                QLatin1String(CResolutionBroadcast::kInterface),
                                QLatin1String(CResolutionBroadcast::kSignal), &receiver,
                                SLOT(OnSignal(QDBusMessage))));
        // A round trip, so the daemon has the subscription before the signal goes out.
        bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
        CResolutionBroadcast::Send(1600, 1200);
        ASSERT_TRUE(PumpUntil([&] { return !receiver.messages.empty(); }));
        const QList<QVariant> args = receiver.messages.front().arguments();
        ASSERT_EQ(args.size(), 3);
        EXPECT_EQ(args[0].toString(), QStringLiteral("VIDORA10_WM_RESOLUTIONCHANGED"));
        EXPECT_EQ(args[1].metaType(), QMetaType::fromType<qulonglong>());
        EXPECT_EQ(args[1].toULongLong(), 1600u);
        EXPECT_EQ(args[2].metaType(), QMetaType::fromType<qlonglong>());
        EXPECT_EQ(args[2].toLongLong(), 1200);
        CResolutionBroadcast::Send(320, 240);
        ASSERT_TRUE(PumpUntil([&] { return receiver.messages.size() == 2; })) << "the same connection again";
        EXPECT_EQ(receiver.messages.back().arguments().value(1).toULongLong(), 320u);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("resolution-receiver"));
    daemon.kill();
    daemon.waitForFinished(5000);
}

} // namespace

#include "CameraTests.moc"
