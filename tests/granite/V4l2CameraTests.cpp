// Real cameras through V4L2, on a fake device layer and a sysfs tree in a temporary folder: which nodes
// are listed and under which ids, how the controls read and write as the service's properties, the
// automatic modes that lock their manual partner, the control events of changes made elsewhere (values,
// ranges, flags), and the picture mute the capture of a camera reads.
#include "CFakeV4l2Camera.h"
#include "CHardwareRecorder.h"
#include "GraniteServiceFixture.h"
#include "granite/devices/CCameraRoster.h"
#include "granite/v4l2/CV4l2Cameras.h"
#include "granite/v4l2/CV4l2ShadeStates.h"

#include <QTemporaryDir>

using namespace Granite;

namespace {
const char kCameraId[] = "\\\\?\\usb#vid_046d&pid_0825&mi_00#sn-A1B2C3\\v4l2";
const char kUnnamedPortId[] = "\\\\?\\usb#vid_1bcf&pid_2284&mi_00#port-1-3\\v4l2";
} // namespace

class V4l2Cameras : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sysfs.isValid());
        root = sysfs.path().toStdString();
        // One camera with a serial number and its metadata node, and one without a serial.
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
    std::string id;
    ASSERT_TRUE(cameras->IdAt(0, id));
    EXPECT_EQ(id, kCameraId);
    ASSERT_TRUE(cameras->IdAt(1, id));
    EXPECT_EQ(id, kUnnamedPortId);
    Variant name;
    ASSERT_EQ(cameras->Get(kCameraId, Prop::Name, &name), S_OK);
    EXPECT_EQ(name.GetString(), "HD Webcam C270");
    EXPECT_EQ(Number(Prop::VendorId), 0x046d);
    EXPECT_EQ(Number(Prop::ProductId), 0x0825);

    // Unplugged and plugged in again, the kernel hands out another node: the camera keeps its id.
    CHardwareRecorder listener;
    cameras->AddListener(&listener);
    camera->Unplug();
    cameras->Remove("video0");
    EXPECT_FALSE(cameras->Exists(kCameraId));
    std::filesystem::rename(root + "/class/video4linux/video0", root + "/class/video4linux/video4");
    opener->nodes["/dev/video4"] = std::make_shared<CFakeV4l2Camera>();
    ASSERT_TRUE(cameras->Add("video4"));
    EXPECT_TRUE(cameras->Exists(kCameraId));
    cameras->RemoveListener(&listener);
    const auto events = listener.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, HardwareEvent::Type::Removed);
    EXPECT_EQ(events[1].type, HardwareEvent::Type::Arrived);
    EXPECT_EQ(events[1].id, kCameraId);
    EXPECT_FALSE(cameras->Add("video9")) << "a node sysfs does not have";
}

TEST_F(V4l2Cameras, ControlsReadAsTheServiceProperties) {
    namespace Cam = DeviceProperty::Camera;
    struct Case {
        int32_t property;
        int32_t expected;
    } cases[] = {
        {Cam::Brightness.value, 140},
        {Cam::Brightness.min, 0},
        {Cam::Brightness.max, 255},
        {Cam::Brightness.companion, 128},
        {Cam::WhiteBalance.value, 4600},
        {Cam::WhiteBalance.min, 2000},
        {Cam::AutoExposure.value, 1},
        {Cam::AutoExposure.companion, 1},
        {Cam::Exposure.companion, 250},
        {Cam::PowerLineFrequency.value, 1},
        {Cam::PowerLineFrequency.companion, 2},
        {Cam::Focus.value, 30},
        {Cam::FocusStep.value, 5},
        {Cam::MirrorHorizontal.value, 0},
        {Cam::PtzCapability.value, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Number(c.property), c.expected) << "property " << c.property;
    Variant flag;
    ASSERT_EQ(cameras->Get(kCameraId, Cam::AutoWhiteBalance.value, &flag), S_OK);
    EXPECT_EQ(flag.GetBool(), VARIANT_TRUE);
    // What this camera lacks is not available: no zoom, no vertical mirror; the LED is not reached.
    for (int32_t missing : {Cam::Zoom.value, Cam::MirrorVertical.value, Cam::LedMode.value})
        EXPECT_EQ(State(missing), kPropertyNotAvailable) << "property " << missing;
    EXPECT_EQ(State(Cam::Brightness.min), kPropertyReadOnly);
    EXPECT_EQ(cameras->Set(kCameraId, Cam::Brightness.value, Variant::FromI4(256)), E_INVALIDARG);
    EXPECT_EQ(cameras->Set(kCameraId, Cam::PowerLineFrequency.value, Variant::FromI4(3)), E_INVALIDARG);
}

TEST_F(V4l2Cameras, AnAutomaticModeLocksItsManualPartnerUntilItIsSwitchedOff) {
    namespace Cam = DeviceProperty::Camera;
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
    const int32_t mute = DeviceProperty::Camera::VideoMute.value;
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

    // Unplugged while muted: the picture is gone and so is the mute; plugged in again the camera starts
    // unmuted, and the capture's query follows the new one.
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
    namespace Cam = DeviceProperty::Camera;
    struct Change {
        int32_t property, oldValue, newValue;
        bool operator==(const Change&) const = default;
    };
    const struct Case {
        uint32_t control;
        int32_t valueProperty, minimum, maximum, step, defaultValue;
        std::vector<Change> heard;
    } cases[] = {
        // Brightness at 140 stays inside; the default moves.
        {V4L2_CID_BRIGHTNESS,
         Cam::Brightness.value,
         16,
         235,
         1,
         126,
         {{Cam::Brightness.min, 0, 16},
          {Cam::Brightness.max, 255, 235},
          {Cam::Brightness.companion, 128, 126}}},
        // Saturation at 40 is moved into the new range: the bounds are told before the value.
        {V4L2_CID_SATURATION,
         Cam::Saturation.value,
         50,
         100,
         1,
         32,
         {{Cam::Saturation.min, 0, 50}, {Cam::Saturation.max, 255, 100}, {Cam::Saturation.value, 40, 50}}},
        // The focus takes coarser steps.
        {V4L2_CID_FOCUS_ABSOLUTE,
         Cam::Focus.value,
         0,
         200,
         10,
         0,
         {{Cam::Focus.max, 250, 200}, {Cam::FocusStep.value, 5, 10}}},
    };
    std::vector<V4l2PropertyChange> ignored;
    ASSERT_EQ(controls->Set(Cam::AutoFocus.value, Variant::FromI4(0), ignored), S_OK);
    Pump();
    for (const Case& c : cases) {
        camera->ChangeRange(c.control, c.minimum, c.maximum, c.step, c.defaultValue);
        std::vector<Change> heard;
        for (const V4l2PropertyChange& change : Pump())
            heard.push_back({change.property, change.oldValue.GetI4(), change.newValue.GetI4()});
        EXPECT_EQ(heard, c.heard) << "control " << c.control;
        std::vector<V4l2PropertyChange> changes;
        EXPECT_EQ(controls->Set(c.valueProperty, Variant::FromI4(c.maximum + 1), changes), E_INVALIDARG);
        EXPECT_EQ(controls->Set(c.valueProperty, Variant::FromI4(c.minimum - 1), changes), E_INVALIDARG);
        EXPECT_EQ(controls->Set(c.valueProperty, Variant::FromI4(c.maximum), changes), S_OK);
        EXPECT_EQ(camera->Value(c.control), c.maximum);
    }
}

TEST_F(V4l2Controls, FlagsTheDriverSetsShowInQueryAndSet) {
    namespace Cam = DeviceProperty::Camera;
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
        if (c.state == kPropertyNotAvailable) {
            Variant v;
            EXPECT_EQ(controls->Get(brightness, &v), E_NOTIMPL);
            EXPECT_EQ(controls->State(Cam::Brightness.max), kPropertyNotAvailable);
        }
        camera->ChangeFlags(V4L2_CID_BRIGHTNESS, 0, c.flag);
        Pump();
        EXPECT_EQ(controls->State(brightness), kPropertyReadWrite) << c.flag;
    }
    EXPECT_EQ(controls->Set(brightness, Variant::FromI4(90), changes), S_OK);

    // Another program switches the automatic exposure off and on: the settings see the manual exposure
    // free and locked again.
    camera->ChangeFromOutside(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL);
    Pump();
    EXPECT_EQ(controls->State(Cam::Exposure.value), kPropertyReadWrite);
    camera->ChangeFromOutside(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_APERTURE_PRIORITY);
    Pump();
    EXPECT_EQ(controls->State(Cam::Exposure.value), kPropertyReadOnly);

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

// The camera light, on a camera whose driver names its light controls at old private ids (after an
// unrelated one), the rate's name in other letters.
namespace {
constexpr uint32_t kLightMode = V4L2_CID_PRIVATE_BASE + 1;
constexpr uint32_t kLightRate = V4L2_CID_PRIVATE_BASE + 2;

void AddLight(CFakeV4l2Camera& camera, std::set<uint32_t> modes) {
    CFakeV4l2Camera::Control other;
    other.name = "Raw bits per pixel";
    camera.Add(V4L2_CID_PRIVATE_BASE, other);
    CFakeV4l2Camera::Control mode;
    mode.type = V4L2_CTRL_TYPE_MENU;
    mode.minimum = 0;
    mode.maximum = static_cast<int32_t>(*modes.rbegin());
    mode.menu = std::move(modes);
    mode.defaultValue = mode.maximum;
    mode.value = 1;
    mode.name = "LED1 Mode";
    camera.Add(kLightMode, mode);
    CFakeV4l2Camera::Control rate;
    rate.minimum = 1;
    rate.maximum = 50;
    rate.defaultValue = rate.value = 10;
    rate.name = "led1 frequency";
    camera.Add(kLightRate, rate);
}
} // namespace

class V4l2Light : public V4l2Controls {
protected:
    void SetUp() override {
        AddLight(*camera, {0, 1, 2, 3});
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
    namespace Cam = DeviceProperty::Camera;
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

TEST_F(V4l2Light, ALightThatCannotBlinkOrChooseIsLitInstead) {
    auto plain = std::make_shared<CFakeV4l2Camera>();
    AddLight(*plain, {0, 1});
    opener->nodes["/dev/video1"] = plain;
    controls = CV4l2CameraControls::Open(opener->Open("/dev/video1"));
    ASSERT_TRUE(controls);
    for (int32_t written : {Packed(2, 3, 20), Packed(5, 0, 0)}) {
        ASSERT_EQ(Write(DeviceProperty::Camera::LedMode.value, 0), S_OK);
        EXPECT_EQ(Write(DeviceProperty::Camera::LedMode.value, written), S_OK);
        EXPECT_EQ(plain->Value(kLightMode), 1) << written;
        EXPECT_EQ(plain->Value(kLightRate), 10) << "the rate of a light that does not blink is left";
        EXPECT_EQ(Read(DeviceProperty::Camera::LedMode.value), written);
    }
}

TEST_F(V4l2Light, ALightChangedElsewhereIsHeardAndReadAsItIs) {
    namespace Cam = DeviceProperty::Camera;
    ASSERT_EQ(Write(Cam::LedMode.value, Packed(4, 3, 20)), S_OK);
    Pump();
    camera->ChangeFromOutside(kLightMode, 0);
    std::vector<std::tuple<int32_t, int32_t, int32_t>> heard;
    for (const V4l2PropertyChange& change : Pump())
        heard.emplace_back(change.property, change.oldValue.GetI4(), change.newValue.GetI4());
    const std::vector<std::tuple<int32_t, int32_t, int32_t>> expected = {
        {Cam::LedMode.value, Packed(4, 3, 20), 0}, {Cam::LedModeLegacy.value, Packed(2, 3, 20), 0}};
    EXPECT_EQ(heard, expected);
    camera->ChangeFromOutside(kLightMode, 3);
    Pump();
    EXPECT_EQ(Read(Cam::LedMode.value), 5) << "the camera's own choice";
    camera->ChangeFromOutside(kLightMode, 2);
    Pump();
    EXPECT_EQ(Read(Cam::LedMode.value), Packed(2, 0, 20)) << "blinking at the rate the camera has";
}

TEST_F(V4l2Cameras, OnlyACameraWithLightControlsOffersTheLight) {
    namespace Cam = DeviceProperty::Camera;
    cameras->Remove("video2");
    AddLight(*opener->nodes["/dev/video2"], {0, 1, 2, 3});
    ASSERT_TRUE(cameras->Add("video2"));
    bool supported = true;
    ASSERT_EQ(cameras->HasFeature(kCameraId, "LEDControl", &supported), S_OK);
    EXPECT_FALSE(supported);
    ASSERT_EQ(cameras->HasFeature(kUnnamedPortId, "LEDControl", &supported), S_OK);
    EXPECT_TRUE(supported);
    for (int32_t property : {Cam::LedMode.value, Cam::LedModeLegacy.value, Cam::LedDefault.value}) {
        EXPECT_EQ(State(property), kPropertyNotAvailable) << property;
        Variant v;
        EXPECT_EQ(cameras->Get(kCameraId, property, &v), E_NOTIMPL) << property;
        EXPECT_EQ(cameras->Set(kCameraId, property, Variant::FromI4(1)), E_NOTIMPL) << property;
    }
    ASSERT_EQ(cameras->Set(kUnnamedPortId, Cam::LedMode.value, Variant::FromI4(0)), S_OK);
    EXPECT_EQ(opener->nodes["/dev/video2"]->Value(kLightMode), 0);
}

// Through a whole service: changes of any origin reach the client as the service's property events.
class V4l2CameraService : public GraniteServiceFixture {
protected:
    // Outlive the roster service, which ends after the test.
    QTemporaryDir sysfs;
    std::shared_ptr<CFakeV4l2Opener> opener = std::make_shared<CFakeV4l2Opener>();
};

TEST_F(V4l2CameraService, ChangesFromTheProgramAndFromElsewhereArriveAsPropertyEvents) {
    const std::string root = sysfs.path().toStdString();
    WriteFakeSysfsNode(root, "video0", "HD Webcam C270", "1-1.2", "046d", "0825", "A1B2C3");
    auto camera = std::make_shared<CFakeV4l2Camera>();
    opener->nodes["/dev/video0"] = camera;
    auto cameras = std::make_shared<CV4l2Cameras>(opener, root, "/dev");
    cameras->SetEventWait(std::chrono::milliseconds(5));
    ASSERT_NO_FATAL_FAILURE(
        StartRoster(new CGraniteDeviceService(hardware, CCameraRoster::Create(hardware, cameras))));
    cameras->Scan();
    ASSERT_TRUE(rosterSink.WaitForCount("arrived", 1));

    const int32_t brightness = DeviceProperty::Camera::Brightness.value;
    ASSERT_EQ(roster->SetVideoProperty(kCameraId, brightness, Variant::FromI4(90)), S_OK);
    camera->ChangeFromOutside(V4L2_CID_BRIGHTNESS, 200);
    ASSERT_TRUE(rosterSink.WaitForCount("video-property", 2));
    const auto events = rosterSink.Named("video-property");
    EXPECT_EQ(events[0].id, kCameraId);
    EXPECT_EQ(events[0].number, brightness);
    EXPECT_EQ(events[0].oldValue.GetI4(), 140);
    EXPECT_EQ(events[0].newValue.GetI4(), 90);
    EXPECT_EQ(events[1].oldValue.GetI4(), 90);
    EXPECT_EQ(events[1].newValue.GetI4(), 200);
    Variant now;
    ASSERT_EQ(roster->GetVideoProperty(kCameraId, brightness, &now), S_OK);
    EXPECT_EQ(now.GetI4(), 200);
}
