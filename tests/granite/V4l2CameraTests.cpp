// Real cameras through V4L2 on a fake device layer: ids, controls as the service's properties and their
// events, the camera light and picture mute, and a service listing them instead of the simulated ones.
#include "GraniteServiceFixture.h"
#include "granite/devices/CCameraRoster.h"
#include "granite/v4l2/CV4l2Cameras.h"
#include "granite/v4l2/CV4l2ShadeStates.h"
#include "support/CFakeV4l2Camera.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Granite;
namespace Cam = DeviceProperty::Camera;

namespace {
const char kCameraId[] = "\\\\?\\usb#vid_046d&pid_0825&mi_00#sn-A1B2C3\\v4l2";
const char kUnnamedPortId[] = "\\\\?\\usb#vid_1bcf&pid_2284&mi_00#port-1-3\\v4l2";
} // namespace

class V4l2Cameras : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sysfs.isValid());
        root = sysfs.path().toStdString();
        // A camera with a serial number and its metadata node, and one without a serial.
        WriteFakeSysfsNode(root, "video0", "HD Webcam C270", "1-1.2", "046d", "0825", "A1B2C3");
        WriteFakeSysfsNode(root, "video1", "HD Webcam C270", "1-1.2", "046d", "0825", "A1B2C3");
        WriteFakeSysfsNode(root, "video2", "USB Camera", "1-3", "1bcf", "2284", "");
        camera = std::make_shared<CFakeV4l2Camera>();
        opener->nodes["/dev/video0"] = camera;
        opener->nodes["/dev/video1"] = std::make_shared<CFakeV4l2Camera>(false);
        opener->nodes["/dev/video2"] = std::make_shared<CFakeV4l2Camera>();
        cameras = std::make_shared<CV4l2Cameras>(opener, root, "/dev");
        cameras->SetEventWait(std::chrono::milliseconds(5));
        cameras->Scan();
    }

    int32_t Number(int32_t property) {
        Variant v;
        EXPECT_EQ(cameras->Get(kCameraId, property, &v), S_OK) << "property " << property;
        int32_t n = -12345;
        v.ToI4(n);
        return n;
    }
    int32_t State(int32_t property) {
        int32_t state = -1;
        EXPECT_EQ(cameras->Query(kCameraId, property, &state), S_OK);
        return state;
    }

    QTemporaryDir sysfs;
    std::string root;
    std::shared_ptr<CFakeV4l2Opener> opener = std::make_shared<CFakeV4l2Opener>();
    std::shared_ptr<CFakeV4l2Camera> camera;
    std::shared_ptr<CV4l2Cameras> cameras;
};

TEST_F(V4l2Cameras, ListsCaptureNodesUnderIdsThatSurviveRenumbering) {
    ASSERT_EQ(cameras->Count(), 2) << "the metadata node is not a camera of its own";
    std::string first, second;
    ASSERT_TRUE(cameras->IdAt(0, first) && cameras->IdAt(1, second));
    EXPECT_EQ(first + " " + second, std::string(kCameraId) + " " + kUnnamedPortId);
    Variant name;
    ASSERT_EQ(cameras->Get(kCameraId, Prop::Name, &name), S_OK);
    EXPECT_EQ(name.GetString(), "HD Webcam C270");
    EXPECT_EQ(Number(Prop::VendorId) << 16 | Number(Prop::ProductId), 0x046d0825);
    // Unplugged and plugged in again, the kernel hands out another node: the camera keeps its id.
    camera->Unplug();
    cameras->Remove("video0");
    EXPECT_FALSE(cameras->Exists(kCameraId));
    std::filesystem::rename(root + "/class/video4linux/video0", root + "/class/video4linux/video4");
    opener->nodes["/dev/video4"] = std::make_shared<CFakeV4l2Camera>();
    ASSERT_TRUE(cameras->Add("video4"));
    EXPECT_TRUE(cameras->Exists(kCameraId));
    EXPECT_FALSE(cameras->Add("video9")) << "a node sysfs does not have";
}

TEST_F(V4l2Cameras, ControlsReadAsTheServiceProperties) {
    std::vector<int32_t> read; // a level, its range and default, a menu and its default, a step
    for (int32_t p : {Cam::Brightness.value, Cam::Brightness.min, Cam::Brightness.max,
                      Cam::Brightness.companion, Cam::AutoExposure.value, Cam::Exposure.companion,
                      Cam::PowerLineFrequency.value, Cam::PowerLineFrequency.companion, Cam::Focus.value,
                      Cam::FocusStep.value, Cam::PtzCapability.value})
        read.push_back(Number(p));
    EXPECT_EQ(read, (std::vector<int32_t>{140, 0, 255, 128, 1, 250, 1, 2, 30, 5, 1}));
    Variant flag;
    ASSERT_EQ(cameras->Get(kCameraId, Cam::AutoWhiteBalance.value, &flag), S_OK);
    EXPECT_EQ(flag.GetBool(), VARIANT_TRUE) << "a boolean control reads as a boolean";
    // What this camera lacks is not available: no zoom, no vertical mirror; the LED is not reached.
    for (int32_t missing : {Cam::Zoom.value, Cam::MirrorVertical.value, Cam::LedMode.value})
        EXPECT_EQ(State(missing), kPropertyNotAvailable) << "property " << missing;
    EXPECT_EQ(State(Cam::Brightness.min), kPropertyReadOnly);
    EXPECT_EQ(cameras->Set(kCameraId, Cam::Brightness.value, Variant::FromI4(256)), E_INVALIDARG);
    EXPECT_EQ(cameras->Set(kCameraId, Cam::PowerLineFrequency.value, Variant::FromI4(3)), E_INVALIDARG);
}

TEST_F(V4l2Cameras, AnAutomaticModeLocksItsManualPartnerUntilItIsSwitchedOff) {
    const struct {
        int32_t automatic, manual, manualValue;
    } pairs[] = {{Cam::AutoExposure.value, Cam::Exposure.value, 500},
                 {Cam::AutoWhiteBalance.value, Cam::WhiteBalance.value, 3000},
                 {Cam::AutoFocus.value, Cam::Focus.value, 100}};
    for (const auto& p : pairs) {
        EXPECT_EQ(State(p.manual), kPropertyReadOnly) << p.manual;
        EXPECT_EQ(cameras->Set(kCameraId, p.manual, Variant::FromI4(p.manualValue)), E_ACCESSDENIED);
        ASSERT_EQ(cameras->Set(kCameraId, p.automatic, Variant::FromI4(0)), S_OK);
        EXPECT_EQ(State(p.manual), kPropertyReadWrite) << p.manual;
        ASSERT_EQ(cameras->Set(kCameraId, p.manual, Variant::FromI4(p.manualValue)), S_OK);
        EXPECT_EQ(Number(p.manual), p.manualValue);
    }
    EXPECT_EQ(camera->Value(V4L2_CID_EXPOSURE_AUTO), V4L2_EXPOSURE_MANUAL);
    ASSERT_EQ(cameras->Set(kCameraId, Cam::AutoExposure.value, Variant::FromI4(1)), S_OK);
    EXPECT_EQ(camera->Value(V4L2_CID_EXPOSURE_AUTO), V4L2_EXPOSURE_APERTURE_PRIORITY)
        << "the automatic mode the camera offers";
    // A value between the camera's steps is kept where the camera put it.
    ASSERT_EQ(cameras->Set(kCameraId, Cam::Focus.value, Variant::FromI4(103)), S_OK);
    EXPECT_EQ(Number(Cam::Focus.value), 100);
    // Pan and tilt moves go to the relative controls, left and down as the negative directions.
    ASSERT_EQ(cameras->Set(kCameraId, Cam::MoveLeft.value, Variant::FromI4(1)), S_OK);
    EXPECT_EQ(camera->LastWritten(V4L2_CID_PAN_RELATIVE), -1);
    ASSERT_EQ(cameras->Set(kCameraId, Cam::MoveUp.value, Variant::FromI4(1)), S_OK);
    EXPECT_EQ(camera->LastWritten(V4L2_CID_TILT_RELATIVE), 1);
}

TEST_F(V4l2Cameras, TheMuteReachesTheCaptureOfItsCameraUntilTheCameraGoes) {
    const int32_t mute = Cam::VideoMute.value;
    // A capture names its camera by the service's id with the node in place of the last part.
    const std::string id = kCameraId, other = kUnnamedPortId;
    auto shaded = CV4l2ShadeStates::Process().QueryFor(id.substr(0, id.rfind('\\') + 1) + "/dev/video0");
    auto otherShaded =
        CV4l2ShadeStates::Process().QueryFor(other.substr(0, other.rfind('\\') + 1) + "/dev/video2");
    ASSERT_TRUE(shaded && otherShaded);
    EXPECT_FALSE(shaded());
    ASSERT_EQ(cameras->Set(kCameraId, mute, Variant::FromI4(1)), S_OK);
    EXPECT_TRUE(shaded());
    EXPECT_FALSE(otherShaded());
    ASSERT_EQ(cameras->Set(kCameraId, mute, Variant::FromI4(0)), S_OK);
    EXPECT_FALSE(shaded());
    // Unplugged while muted, the mute goes too; plugged in again the capture's query follows the new camera.
    ASSERT_EQ(cameras->Set(kCameraId, mute, Variant::FromI4(1)), S_OK);
    camera->Unplug();
    cameras->Remove("video0");
    EXPECT_FALSE(shaded());
    opener->nodes["/dev/video0"] = std::make_shared<CFakeV4l2Camera>();
    ASSERT_TRUE(cameras->Add("video0"));
    EXPECT_FALSE(shaded());
    ASSERT_EQ(cameras->Set(kCameraId, mute, Variant::FromI4(1)), S_OK);
    EXPECT_TRUE(shaded());
    // The device service may go before the capture does.
    cameras.reset();
    EXPECT_FALSE(shaded());
}

// One camera's controls on their own, its events taken in the test's own time.
class V4l2Controls : public ::testing::Test {
protected:
    void SetUp() override {
        opener->nodes["/dev/video0"] = camera;
        controls = CV4l2CameraControls::Open(opener->Open("/dev/video0"));
        ASSERT_TRUE(controls);
    }
    std::vector<V4l2PropertyChange> Pump() {
        std::vector<V4l2PropertyChange> changes;
        EXPECT_TRUE(controls->PumpEvents(std::chrono::milliseconds(0), changes));
        return changes;
    }

    std::shared_ptr<CFakeV4l2Camera> camera = std::make_shared<CFakeV4l2Camera>();
    std::shared_ptr<CFakeV4l2Opener> opener = std::make_shared<CFakeV4l2Opener>();
    std::unique_ptr<CV4l2CameraControls> controls;
};

TEST_F(V4l2Controls, ANewRangeIsHeardAsItsBoundsChangeAndIsEnforced) {
    using Change = std::tuple<int32_t, int32_t, int32_t>; // property, old value, new value
    auto changeRange = [&](uint32_t control, int32_t valueProperty, int32_t minimum, int32_t maximum,
                           int32_t step, int32_t defaultValue, const std::vector<Change>& expected) {
        camera->ChangeRange(control, minimum, maximum, step, defaultValue);
        std::vector<Change> heard;
        for (const V4l2PropertyChange& change : Pump())
            heard.emplace_back(change.property, change.oldValue.GetI4(), change.newValue.GetI4());
        EXPECT_EQ(heard, expected) << "control " << control;
        std::vector<V4l2PropertyChange> changes;
        EXPECT_EQ(controls->Set(valueProperty, Variant::FromI4(maximum + 1), changes), E_INVALIDARG);
        EXPECT_EQ(controls->Set(valueProperty, Variant::FromI4(minimum - 1), changes), E_INVALIDARG);
        EXPECT_EQ(controls->Set(valueProperty, Variant::FromI4(maximum), changes), S_OK);
        EXPECT_EQ(camera->Value(control), maximum);
    };
    std::vector<V4l2PropertyChange> ignored;
    ASSERT_EQ(controls->Set(Cam::AutoFocus.value, Variant::FromI4(0), ignored), S_OK);
    Pump();
    // Brightness at 140 stays inside; the default moves.
    changeRange(V4L2_CID_BRIGHTNESS, Cam::Brightness.value, 16, 235, 1, 126,
                {{Cam::Brightness.min, 0, 16},
                 {Cam::Brightness.max, 255, 235},
                 {Cam::Brightness.companion, 128, 126}});
    // Saturation at 40 is moved into the new range: the bounds are told before the value.
    changeRange(
        V4L2_CID_SATURATION, Cam::Saturation.value, 50, 100, 1, 32,
        {{Cam::Saturation.min, 0, 50}, {Cam::Saturation.max, 255, 100}, {Cam::Saturation.value, 40, 50}});
    // The focus takes coarser steps.
    changeRange(V4L2_CID_FOCUS_ABSOLUTE, Cam::Focus.value, 0, 200, 10, 0,
                {{Cam::Focus.max, 250, 200}, {Cam::FocusStep.value, 5, 10}});
}

TEST_F(V4l2Controls, FlagsTheDriverSetsShowInQueryAndSet) {
    const struct Case {
        uint32_t flag;
        int32_t state, setResult;
    } cases[] = {
        {V4L2_CTRL_FLAG_READ_ONLY, kPropertyReadOnly, E_ACCESSDENIED},
        {V4L2_CTRL_FLAG_GRABBED, kPropertyReadOnly, E_ACCESSDENIED},
        {V4L2_CTRL_FLAG_INACTIVE, kPropertyReadOnly, E_ACCESSDENIED},
        {V4L2_CTRL_FLAG_DISABLED, kPropertyNotAvailable, E_NOTIMPL},
    };
    const int32_t brightness = Cam::Brightness.value;
    std::vector<V4l2PropertyChange> changes;
    for (const Case& c : cases) {
        camera->ChangeFlags(V4L2_CID_BRIGHTNESS, c.flag, 0);
        EXPECT_TRUE(Pump().empty()) << "no value changed";
        EXPECT_EQ(controls->State(brightness), c.state) << c.flag;
        EXPECT_EQ(controls->Set(brightness, Variant::FromI4(90), changes), c.setResult) << c.flag;
        Variant v;
        EXPECT_EQ(controls->Get(brightness, &v), c.state == kPropertyNotAvailable ? E_NOTIMPL : S_OK)
            << c.flag;
        EXPECT_EQ(controls->State(Cam::Brightness.max),
                  c.state == kPropertyNotAvailable ? c.state : kPropertyReadOnly);
        camera->ChangeFlags(V4L2_CID_BRIGHTNESS, 0, c.flag);
        Pump();
        EXPECT_EQ(controls->State(brightness), kPropertyReadWrite) << c.flag;
    }
    EXPECT_EQ(controls->Set(brightness, Variant::FromI4(90), changes), S_OK);
    // A control disabled when the camera opens is offered once the driver enables it.
    auto other = std::make_shared<CFakeV4l2Camera>();
    other->ChangeFlags(V4L2_CID_GAIN, V4L2_CTRL_FLAG_DISABLED, 0);
    opener->nodes["/dev/video1"] = other;
    controls = CV4l2CameraControls::Open(opener->Open("/dev/video1"));
    ASSERT_TRUE(controls);
    EXPECT_EQ(controls->State(Cam::Gain.value), kPropertyNotAvailable);
    other->ChangeFlags(V4L2_CID_GAIN, 0, V4L2_CTRL_FLAG_DISABLED);
    Pump();
    EXPECT_EQ(controls->State(Cam::Gain.value), kPropertyReadWrite);
}

// The camera light, named by the driver at old private ids after an unrelated one, in any letter case.
constexpr uint32_t kLightMode = V4L2_CID_PRIVATE_BASE + 1, kLightRate = V4L2_CID_PRIVATE_BASE + 2;

class V4l2Light : public V4l2Controls {
protected:
    void SetUp() override {
        using Control = CFakeV4l2Camera::Control;
        camera->Add(V4L2_CID_PRIVATE_BASE,
                    Control::Of(V4L2_CTRL_TYPE_INTEGER, 0, 255, 1, 0, 0, "Raw bits per pixel"));
        Control mode = Control::Of(V4L2_CTRL_TYPE_MENU, 0, 3, 1, 3, 1, "LED1 Mode");
        mode.menu = {0, 1, 2, 3};
        camera->Add(kLightMode, mode);
        camera->Add(kLightRate, Control::Of(V4L2_CTRL_TYPE_INTEGER, 1, 50, 1, 10, 10, "led1 frequency"));
        V4l2Controls::SetUp();
    }
    int32_t Read(int32_t property) {
        Variant v;
        EXPECT_EQ(controls->Get(property, &v), S_OK) << property;
        return v.GetI4();
    }
    HRESULT Write(int32_t property, int32_t packed) {
        std::vector<V4l2PropertyChange> changes;
        return controls->Set(property, Variant::FromI4(packed), changes);
    }
};

constexpr int32_t Packed(int32_t mode, int32_t a, int32_t b) {
    return (b << 16) | (a << 8) | mode;
}

TEST_F(V4l2Light, SettingsWrittenReachTheControlsAndReadBackAsWritten) {
    const int32_t led = Cam::LedMode.value, older = Cam::LedModeLegacy.value;
    EXPECT_EQ(controls->State(led), kPropertyReadWrite);
    EXPECT_EQ(controls->State(older), kPropertyReadWrite);
    EXPECT_EQ(controls->State(Cam::LedDefault.value), kPropertyReadOnly);
    EXPECT_EQ(Read(led), 1) << "lit, as the camera was found";
    EXPECT_EQ(Read(Cam::LedDefault.value), 1) << "the camera starts on its own choice, which is lit";
    const struct Case {
        int32_t property, written;
        HRESULT result;
        int32_t modeControl, rateControl, read, readOlder;
    } cases[] = {
        {led, Packed(0, 0, 0), S_OK, 0, 10, 0, 0},
        {led, Packed(2, 3, 20), S_OK, 2, 20, Packed(2, 3, 20), Packed(2, 3, 20)},
        {led, Packed(2, 3, 200), S_OK, 2, 50, Packed(2, 3, 200), Packed(2, 3, 200)}, // the fastest it has
        {led, Packed(4, 0, 0), S_OK, 2, 50, Packed(4, 0, 0), Packed(2, 0, 0)},       // blinking at its rate
        {led, Packed(5, 3, 0), S_OK, 3, 50, Packed(5, 3, 0), Packed(1, 3, 0)},
        {led, Packed(1, 3, 0), S_OK, 1, 50, Packed(1, 3, 0), Packed(1, 3, 0)},
        {led, Packed(6, 0, 0), E_INVALIDARG, 1, 50, Packed(1, 3, 0), Packed(1, 3, 0)},
        {led, 0x01000002, E_INVALIDARG, 1, 50, Packed(1, 3, 0), Packed(1, 3, 0)},
        {older, Packed(2, 1, 30), S_OK, 2, 30, Packed(2, 1, 30), Packed(2, 1, 30)},
        {older, Packed(4, 0, 0), E_INVALIDARG, 2, 30, Packed(2, 1, 30), Packed(2, 1, 30)},
        {older, Packed(0, 0, 0), S_OK, 0, 30, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "writing " << std::hex << c.written << " to " << std::dec << c.property);
        EXPECT_EQ(Write(c.property, c.written), c.result);
        EXPECT_EQ(camera->Value(kLightMode), c.modeControl);
        EXPECT_EQ(camera->Value(kLightRate), c.rateControl);
        EXPECT_EQ(Read(led), c.read);
        EXPECT_EQ(Read(older), c.readOlder);
    }
    EXPECT_EQ(Write(Cam::LedDefault.value, 1), E_ACCESSDENIED);
}

class CameraRoster : public GraniteServiceFixture {
protected:
    std::vector<DeviceRequest> Devices() const override {
        return {{DeviceKind::Camera, "full"},
                {DeviceKind::Camera, "basic"},
                {DeviceKind::Microphone, "standard"}};
    }
    void SetUp() override {
        GraniteServiceFixture::SetUp();
        cameras->SetEventWait(std::chrono::milliseconds(5));
        ASSERT_NO_FATAL_FAILURE(
            StartRoster(new CGraniteDeviceService(hardware, CCameraRoster::Create(hardware, cameras))));
    }
    // Plugs in a real camera with the serial number; its id.
    std::string Plug(const std::string& node, const std::string& serial) {
        WriteFakeSysfsNode(root, node, "HD Webcam C270", "1-" + serial, "046d", "0825", serial);
        opener->nodes["/dev/" + node] = std::make_shared<CFakeV4l2Camera>();
        EXPECT_TRUE(cameras->Add(node));
        return "\\\\?\\usb#vid_046d&pid_0825&mi_00#sn-" + serial + "\\v4l2";
    }
    void Unplug(const std::string& node) {
        opener->nodes["/dev/" + node]->Unplug();
        cameras->Remove(node);
    }
    std::vector<std::string> Listed() {
        int32_t n = 0;
        EXPECT_EQ(roster->GetVideoDeviceCount(&n), S_OK);
        std::vector<std::string> ids(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
            EXPECT_EQ(roster->GetVideoDeviceId(i, &ids[static_cast<size_t>(i)]), S_OK);
        return ids;
    }

    QTemporaryDir sysfs; // outlive the roster service, which ends after the test
    std::string root = sysfs.path().toStdString();
    std::shared_ptr<CFakeV4l2Opener> opener = std::make_shared<CFakeV4l2Opener>();
    std::shared_ptr<CV4l2Cameras> cameras = std::make_shared<CV4l2Cameras>(opener, root, "/dev");
};

TEST_F(CameraRoster, ListsTheSimulatedCamerasUntilARealOneIsThereAndThenOnlyTheRealOnes) {
    EXPECT_EQ(Listed(), (std::vector<std::string>{Camera(0), Camera(1)}));
    const std::string first = Plug("video0", "A1");
    EXPECT_EQ(Listed(), std::vector<std::string>{first});
    // The hidden simulated cameras cannot be reached through this service; the simulated-only one still can.
    Variant v;
    EXPECT_EQ(roster->GetVideoProperty(Camera(0), CamProp::Brightness, &v), E_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(service->GetVideoProperty(Camera(0), CamProp::Brightness, &v), S_OK);
    int32_t count = 0;
    EXPECT_EQ(roster->GetMicrophoneCount(&count), S_OK);
    EXPECT_EQ(count, 1) << "microphones stay on the simulated hardware";
    // While hidden, the simulated cameras stay silent; other devices still speak.
    ASSERT_EQ(hardware->Set(DeviceKind::Camera, Camera(0), CamProp::Brightness, Variant::FromI4(7)), S_OK);
    ASSERT_EQ(control->SetProperty(DeviceKind::Microphone, 1, 6, Variant::FromI4(33)), S_OK);
    ASSERT_TRUE(rosterSink.WaitForCount("microphone-property", 1));
    // The simulated-only service heard the camera; by then the roster would have passed it on too.
    ASSERT_TRUE(sink.WaitForCount("video-property", 1));
    EXPECT_TRUE(rosterSink.Named("video-property").empty());
    const std::string second = Plug("video2", "B2");
    Unplug("video0");
    Unplug("video2");
    EXPECT_EQ(Listed(), (std::vector<std::string>{Camera(0), Camera(1)}));
    ASSERT_TRUE(rosterSink.WaitForCount("arrived", 4));
    const std::vector<std::string> expected = {
        "removed " + Camera(0), "removed " + Camera(1),
        "arrived " + first,     "microphone-property " + Id(DeviceKind::Microphone, 0),
        "arrived " + second,    "removed " + first,
        "removed " + second,    "arrived " + Camera(0),
        "arrived " + Camera(1)};
    EXPECT_EQ(rosterSink.NamesAndIds(), expected);
}

TEST_F(CameraRoster, ARealCamerasChangesFromTheProgramAndFromElsewhereArriveAsPropertyEvents) {
    const std::string id = Plug("video0", "A1");
    ASSERT_TRUE(rosterSink.WaitForCount("arrived", 1));
    rosterSink.Clear();
    const int32_t brightness = CamProp::Brightness;
    ASSERT_EQ(roster->SetVideoProperty(id, brightness, Variant::FromI4(90)), S_OK);
    opener->nodes["/dev/video0"]->ChangeFromOutside(V4L2_CID_BRIGHTNESS, 200);
    ASSERT_TRUE(rosterSink.WaitForCount("video-property", 2));
    std::vector<std::string> heard;
    for (const RecordedEvent& e : rosterSink.Named("video-property"))
        heard.push_back(e.id + " " + std::to_string(e.number) + ": " + std::to_string(e.oldValue.GetI4()) +
                        " -> " + std::to_string(e.newValue.GetI4()));
    const std::string prefix = id + " " + std::to_string(brightness) + ": ";
    EXPECT_EQ(heard, (std::vector<std::string>{prefix + "140 -> 90", prefix + "90 -> 200"}));
}
