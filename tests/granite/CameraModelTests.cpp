// What the simulated camera models answer through the service: every property the program reads, the
// ones each model lacks, and how writes are checked.
#include "GraniteServiceFixture.h"
#include "granite/devices/SimulatedDeviceConstants.h"

using namespace Granite;

class CameraModels : public GraniteServiceFixture {};

namespace {
namespace Cam = DeviceProperty::Camera;
using DeviceProperty::Kind;
} // namespace

TEST_F(CameraModels, FullCameraHasEveryPropertyOfTheTableWithConsistentLevelsDefaultsAndTypes) {
    const std::string full = Camera(0);
    // Zoomed in, the digital pan and tilt window has its whole range.
    ASSERT_EQ(service->SetVideoProperty(full, Cam::Zoom.value, Variant::FromI4(400)), S_OK);
    auto state = [&](int32_t p) {
        int32_t s = kPropertyNotAvailable;
        EXPECT_EQ(service->QueryVideoProperty(full, p, &s), S_OK) << p;
        return s;
    };
    for (const DeviceProperty::Info& p : Cam::kAll) {
        // The full camera has the newer LED firmware only.
        if (p.value == Cam::LedModeLegacy.value)
            continue;
        if (p.kind == Kind::Command) {
            EXPECT_NE(state(p.value), kPropertyReadOnly) << p.name << " must take writes";
            continue;
        }
        EXPECT_NE(state(p.value), kPropertyNotAvailable) << p.name;
        if (p.companion != DeviceProperty::kNone) {
            EXPECT_EQ(state(p.companion), kPropertyReadOnly) << p.name << " default";
        }
        if (p.kind != Kind::Level)
            continue;
        const int32_t min = CameraNumber(full, p.min), max = CameraNumber(full, p.max);
        EXPECT_LT(min, max) << p.name;
        for (int32_t n : {p.value, p.companion}) {
            EXPECT_GE(CameraNumber(full, n), min) << p.name << " " << n;
            EXPECT_LE(CameraNumber(full, n), max) << p.name << " " << n;
        }
    }
    // Switches come as booleans where the program reads them so.
    Variant v;
    for (int32_t p : {88, 89, 99, 105}) {
        ASSERT_EQ(service->GetVideoProperty(Camera(0), p, &v), S_OK);
        EXPECT_EQ(v.Type(), VarType::Bool) << p;
    }
    ASSERT_EQ(service->GetVideoProperty(Camera(0), 0, &v), S_OK);
    EXPECT_EQ(v.GetString(), "Brenmoor Vidora Pro Webcam");
    ASSERT_EQ(service->GetVideoProperty(Camera(0), 1, &v), S_OK);
    EXPECT_EQ(v.GetI4(), kProductFullCamera);
    ASSERT_EQ(service->GetVideoProperty(Camera(0), 2, &v), S_OK);
    EXPECT_EQ(v.GetI4(), kVendorId);
}

TEST_F(CameraModels, BasicCameraLacksWhatItDoesNotHave) {
    const std::string basic = Camera(1);
    // Zoom, pan and tilt, SunTune, focus, face tracking, boosts, video mute, shutter, new-style LED.
    for (int32_t p : {18, 19, 20, 24, 28, 44, 45, 47, 56, 99, 102, 106, 42, 38, 39, 4, 85, 86, 87, 90, 76}) {
        int32_t state = kPropertyNotAvailable;
        ASSERT_EQ(service->QueryVideoProperty(basic, p, &state), S_OK);
        EXPECT_EQ(state, kPropertyNotAvailable) << p;
        Variant v;
        EXPECT_EQ(service->GetVideoProperty(basic, p, &v), E_NOTIMPL) << p;
        EXPECT_EQ(service->SetVideoProperty(basic, p, Variant::FromI4(0)), E_NOTIMPL) << p;
    }
    for (int32_t p : {6, 7, 8, 57, 29, 32, 35, 95, 96, 97, 98, 91, 93}) {
        int32_t state = kPropertyNotAvailable;
        ASSERT_EQ(service->QueryVideoProperty(basic, p, &state), S_OK);
        EXPECT_NE(state, kPropertyNotAvailable) << p;
    }
}

TEST_F(CameraModels, EveryCameraButTheMinimalOneOffersTheWholeAdvancedPane) {
    // Automatic exposure, exposure, gain, both mirrors, the three-way switch, backlight compensation, their
    // defaults, and the LED state; the LED mode in the newer (90) or the older (91) firmware.
    const std::vector<int32_t> pane = {29, 64, 30, 31, 32, 65, 33, 34, 35, 66, 36,
                                       67, 37, 68, 40, 69, 95, 96, 97, 98, 93};
    std::string minimal;
    ASSERT_EQ(control->Plug(DeviceKind::Camera, "minimal", &minimal), S_OK);
    auto available = [&](const std::string& id, int32_t p) {
        int32_t s = kPropertyNotAvailable;
        EXPECT_EQ(service->QueryVideoProperty(id, p, &s), S_OK);
        return s != kPropertyNotAvailable;
    };
    for (int i = 0; i < 3; ++i) {
        for (int32_t p : pane)
            EXPECT_TRUE(available(Camera(i), p)) << "camera " << i << " property " << p;
        EXPECT_TRUE(available(Camera(i), 90) || available(Camera(i), 91)) << i;
        VARIANT_BOOL led = VARIANT_FALSE;
        ASSERT_EQ(service->IsFeatureSupported(Camera(i), "LEDControl", &led), S_OK);
        EXPECT_EQ(led, VARIANT_TRUE) << i;
    }
    for (int32_t p : pane)
        EXPECT_FALSE(available(minimal, p)) << p;
    EXPECT_TRUE(available(minimal, 8)) << "it still has the picture levels";
    std::string driver;
    ASSERT_EQ(service->TranslateDeviceId(minimal, &driver), S_OK);
    EXPECT_EQ(driver, "usbvideo");
}

TEST_F(CameraModels, FeaturesAndFaceTrackingFollowTheModel) {
    VARIANT_BOOL b = VARIANT_FALSE;
    for (const char* f : {"AFAutoMode", "AFManualMode", "Avatar", "Vizuv", "FunFilters", "MoDetect",
                          "SW Video Mute", "8MPStill"}) {
        ASSERT_EQ(service->IsFeatureSupported(Camera(0), f, &b), S_OK);
        EXPECT_EQ(b, VARIANT_TRUE) << f;
        ASSERT_EQ(service->IsFeatureSupported(Camera(1), f, &b), S_OK);
        EXPECT_EQ(b, VARIANT_FALSE) << f;
    }
    EXPECT_EQ(service->IsFeatureSupported(Camera(1), "2MPStill", &b), S_OK);
    EXPECT_EQ(b, VARIANT_TRUE);
    EXPECT_EQ(service->IsFeatureSupported(Camera(0), "NoSuchFeature", &b), S_OK);
    EXPECT_EQ(b, VARIANT_FALSE);
    EXPECT_EQ(service->IsFeatureSupported(Camera(0), "avatar", &b), S_OK);
    EXPECT_EQ(b, VARIANT_FALSE) << "feature names are exact";

    EXPECT_EQ(service->IsMultipleFaceTrackingSupported(Camera(0), &b), S_OK);
    EXPECT_EQ(b, VARIANT_TRUE);
    EXPECT_EQ(service->IsFaceTrackingSupported(Camera(1), &b), S_OK);
    EXPECT_EQ(b, VARIANT_FALSE);
    EXPECT_EQ(service->IsFaceTrackingSupported("\\\\?\\usb#gone\\global", &b), E_DEVICE_NOT_CONNECTED);

    std::string driver;
    EXPECT_EQ(service->TranslateDeviceId(Camera(1), &driver), S_OK);
    EXPECT_EQ(driver, "usbvideo");
    EXPECT_EQ(service->TranslateDeviceId(Camera(0), &driver), S_OK);
    EXPECT_NE(driver, "usbvideo");
}

TEST_F(CameraModels, DevicePathsShareTheVendorIdAndDifferBeforeTheLastBackslash) {
    std::vector<std::string> prefixes;
    for (int i = 0; i < 3; ++i) {
        const std::string id = Camera(i);
        const size_t slash = id.rfind('\\');
        ASSERT_NE(slash, std::string::npos);
        EXPECT_EQ(id.rfind("\\\\?\\usb#vid_f7a1&pid_", 0), 0u) << id;
        prefixes.push_back(id.substr(0, slash));
    }
    EXPECT_NE(prefixes[0], prefixes[1]);
    EXPECT_NE(prefixes[0], prefixes[2]);
    // Ids are matched without regard to case, as the program compares them.
    int32_t state = kPropertyNotAvailable;
    std::string upper = Camera(0);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(service->QueryVideoProperty(upper, 20, &state), S_OK);
    EXPECT_EQ(state, kPropertyReadWrite);
}

TEST_F(CameraModels, WritesOutsideTheAcceptedValuesFailAndChangeNothingAndLedValuesFollowTheFirmware) {
    const std::string full = Camera(0);
    EXPECT_EQ(service->SetVideoProperty(full, 20, Variant::FromI4(401)), E_INVALIDARG);
    EXPECT_EQ(service->SetVideoProperty(full, 20, Variant::FromI4(99)), E_INVALIDARG);
    EXPECT_EQ(service->SetVideoProperty(full, 20, Variant::FromString("200")), E_INVALIDARG);
    EXPECT_EQ(CameraNumber(full, 20), 100);
    EXPECT_EQ(service->SetVideoProperty(full, 20, Variant::FromI4(400)), S_OK);
    EXPECT_EQ(CameraNumber(full, 20), 400);

    // Face tracking stores 0, 1 and 4 only; SunTune takes its four modes.
    EXPECT_EQ(service->SetVideoProperty(full, 42, Variant::FromI4(4)), S_OK);
    EXPECT_EQ(service->SetVideoProperty(full, 42, Variant::FromI4(2)), E_INVALIDARG);
    EXPECT_EQ(CameraNumber(full, 42), 4);
    EXPECT_EQ(service->SetVideoProperty(full, 44, Variant::FromI4(10)), S_OK);
    EXPECT_EQ(service->SetVideoProperty(full, 44, Variant::FromI4(3)), E_INVALIDARG);
    EXPECT_EQ(service->SetVideoProperty(full, 40, Variant::FromI4(3)), E_INVALIDARG);

    // Ranges, defaults and what only the camera itself changes.
    for (int32_t p : {18, 63, 85, 106, 1})
        EXPECT_EQ(service->SetVideoProperty(full, p, Variant::FromI4(1)), E_ACCESSDENIED) << p;
    EXPECT_EQ(CameraNumber(full, 85), 0);

    // A boolean written to a numeric switch is stored as 1.
    EXPECT_EQ(service->SetVideoProperty(full, 4, Variant::FromBool(true)), S_OK);
    EXPECT_EQ(CameraNumber(full, 4), 1);

    // LED values are checked per firmware. The packed value: (b << 16) | (a << 8) | mode.
    EXPECT_EQ(service->SetVideoProperty(Camera(0), 90, Variant::FromI4(0x140A02)), S_OK);
    EXPECT_EQ(CameraNumber(Camera(0), 90), 0x140A02);
    EXPECT_EQ(service->SetVideoProperty(Camera(0), 90, Variant::FromI4(5)), S_OK)
        << "the LED follows SunTune";
    EXPECT_EQ(service->SetVideoProperty(Camera(0), 90, Variant::FromI4(6)), E_INVALIDARG);
    EXPECT_EQ(service->SetVideoProperty(Camera(0), 90, Variant::FromI4(0x01000001)), E_INVALIDARG);
    // The basic camera's older firmware knows modes 0 to 2 only.
    EXPECT_EQ(service->SetVideoProperty(Camera(1), 90, Variant::FromI4(1)), E_NOTIMPL);
    EXPECT_EQ(service->SetVideoProperty(Camera(1), 91, Variant::FromI4(0x140A02)), S_OK);
    EXPECT_EQ(service->SetVideoProperty(Camera(1), 91, Variant::FromI4(4)), E_INVALIDARG);
}

TEST_F(CameraModels, ManualFocusNeedsAutomaticFocusOff) {
    const std::string full = Camera(0);
    EXPECT_EQ(service->SetVideoProperty(full, 102, Variant::FromI4(50)), E_ACCESSDENIED);
    EXPECT_EQ(service->SetVideoProperty(full, 99, Variant::FromBool(false)), S_OK);
    EXPECT_EQ(service->SetVideoProperty(full, 102, Variant::FromI4(50)), S_OK);
    EXPECT_EQ(service->SetVideoProperty(full, 102, Variant::FromI4(251)), E_INVALIDARG);
    EXPECT_EQ(CameraNumber(full, 102), 50);
    EXPECT_EQ(CameraNumber(full, 106), FocusState::Settled);
    // Back to automatic: the lens searches until the camera reports it settled.
    EXPECT_EQ(service->SetVideoProperty(full, 99, Variant::FromBool(true)), S_OK);
    EXPECT_EQ(CameraNumber(full, 106), FocusState::Searching);
    EXPECT_EQ(control->ReportFocus(FocusState::Settled, 1), S_OK);
    EXPECT_EQ(CameraNumber(full, 106), FocusState::Settled);
}

TEST_F(CameraModels, OnlyTheMotorisedCameraTakesMotorCommandsAndTheDigitalWindowReCentres) {
    EXPECT_NE(CameraNumber(Camera(2), 76), 0);
    EXPECT_EQ(CameraNumber(Camera(0), 76), 0);
    EXPECT_EQ(service->SetVideoProperty(Camera(0), 78, Variant::FromI4(0)), E_NOTIMPL);
    ASSERT_EQ(service->SetVideoProperty(Camera(0), 20, Variant::FromI4(400)), S_OK);
    EXPECT_EQ(service->SetVideoProperty(Camera(0), 24, Variant::FromI4(7)), S_OK);
    EXPECT_EQ(service->SetVideoProperty(Camera(0), 41, Variant::FromI4(0)), S_OK);
    EXPECT_EQ(CameraNumber(Camera(0), 24), 0);
}

TEST_F(CameraModels, WhoHoldsTheCameraAndWhichCameraIsInUse) {
    std::string first = "x", second = "x";
    ASSERT_EQ(service->GetDeviceStrings(Camera(0), 0, &first, &second), S_OK);
    EXPECT_EQ(first, "");
    EXPECT_EQ(second, "");
    std::string inUse;
    EXPECT_EQ(service->GetServiceText(&inUse), E_FAIL);

    ASSERT_EQ(service->AttachVideoDevice(Camera(1)), S_OK);
    ASSERT_EQ(control->StartStreaming("setup.exe", 1, 777, "/opt/tools/setup.exe"), S_OK);
    EXPECT_EQ(control->StartStreaming("other.exe", 1), E_ACCESSDENIED) << "one program at a time";
    ASSERT_EQ(service->GetDeviceStrings(Camera(0), 0, &first, &second), S_OK);
    EXPECT_EQ(first, "setup.exe");
    EXPECT_EQ(second, "/opt/tools/setup.exe");
    ASSERT_EQ(service->GetDeviceStrings(Camera(0), 1, &first, &second), S_OK);
    EXPECT_EQ(first, "777");
    ASSERT_EQ(service->GetServiceText(&inUse), S_OK);
    EXPECT_EQ(inUse, Camera(0)) << "the streaming camera comes before the attached one";
    ASSERT_EQ(control->StopStreaming(1), S_OK);
    ASSERT_EQ(service->GetServiceText(&inUse), S_OK);
    EXPECT_EQ(inUse, Camera(1));
}

TEST_F(CameraModels, AttachmentsBelongToTheClientThatMadeThemAndGoWithIt) {
    auto* other = new CGraniteDeviceService(hardware);
    ASSERT_EQ(other->RegisterClient("Helper:1", "/usr/bin/helper"), S_OK);
    ASSERT_EQ(other->Start(), S_OK);
    auto inUse = [&] {
        std::string id;
        return SUCCEEDED(service->GetServiceText(&id)) ? id : std::string("none");
    };
    // Each step: who does what to which camera, its answer, and the camera in use afterwards.
    struct Step {
        bool byOther;
        bool attach;
        int camera;
        HRESULT result;
        int inUseAfter; // -1: none
    };
    const Step steps[] = {
        {false, true, 0, S_OK, 0},     {true, false, 0, S_FALSE, 0}, // another client cannot let it go
        {true, true, 0, S_OK, 0},      {false, false, 0, S_OK, 0},   // still held by the other client
        {false, true, 1, S_OK, 1},     {false, true, 1, S_OK, 1},    // attachments are counted
        {false, false, 1, S_OK, 1},    {false, false, 1, S_OK, 0},   // back to the other client's camera
        {false, false, 1, S_FALSE, 0}, {true, false, 0, S_OK, -1},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        CGraniteDeviceService* who = s.byOther ? other : service;
        const HRESULT hr =
            s.attach ? who->AttachVideoDevice(Camera(s.camera)) : who->DetachVideoDevice(Camera(s.camera));
        EXPECT_EQ(hr, s.result) << "step " << i;
        EXPECT_EQ(inUse(), s.inUseAfter < 0 ? std::string("none") : Camera(s.inUseAfter)) << "step " << i;
    }
    // A client that goes away lets go of what it held.
    ASSERT_EQ(other->AttachVideoDevice(Camera(2)), S_OK);
    EXPECT_EQ(inUse(), Camera(2));
    other->Release();
    EXPECT_EQ(inUse(), "none");
}

TEST_F(CameraModels, StoredStringsDefaultToTheFirstDevicesAndRefuseEmptyValues) {
    std::string value;
    ASSERT_EQ(service->GetStringValue3(&value), S_OK);
    EXPECT_EQ(value, Id(DeviceKind::Speaker, 0));
    ASSERT_EQ(service->GetStringValue4(&value), S_OK);
    EXPECT_EQ(value, Id(DeviceKind::Microphone, 0));
    EXPECT_EQ(service->SetStringValue4(""), E_INVALIDARG);
    ASSERT_EQ(service->SetStringValue4("headset"), S_OK);
    ASSERT_EQ(service->GetStringValue4(&value), S_OK);
    EXPECT_EQ(value, "headset");
}
