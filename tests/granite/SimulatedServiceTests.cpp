// The device-manager service over simulated devices: their choice, their properties and checked writes,
// clients and attachments, operations failed on purpose, and the facade when a camera is plugged back.
#include "GraniteServiceFixture.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/devices/CSimulatedDeviceChoice.h"
#include "granite/devices/SimulatedDeviceConstants.h"
#include "platform/CObjectFactory.h"
#include "services/CGraniteDeviceManager.h"
#include "services/IGraniteDeviceManagerEvent.h"
#include "support/EventPump.h"

using namespace Granite;

class CameraModels : public GraniteServiceFixture {
protected:
    bool Available(const std::string& id, int32_t p) {
        int32_t s = kPropertyNotAvailable;
        EXPECT_EQ(service->QueryVideoProperty(id, p, &s), S_OK) << p;
        return s != kPropertyNotAvailable;
    }
    HRESULT Set(int camera, int32_t p, Variant v) { return service->SetVideoProperty(Camera(camera), p, v); }
};

namespace Cam = DeviceProperty::Camera;

TEST_F(CameraModels, FullCameraHasEveryPropertyOfTheTableWithConsistentLevelsDefaultsAndTypes) {
    const std::string full = Camera(0);
    ASSERT_EQ(Set(0, Cam::Zoom.value, Variant::FromI4(400)), S_OK); // the digital window's whole range
    for (const DeviceProperty::Info& p : Cam::kAll) {
        if (p.value == Cam::LedModeLegacy.value) // the full camera has the newer LED firmware only
            continue;
        int32_t state = kPropertyNotAvailable;
        ASSERT_EQ(service->QueryVideoProperty(full, p.value, &state), S_OK);
        EXPECT_NE(state, p.kind == DeviceProperty::Kind::Command ? kPropertyReadOnly : kPropertyNotAvailable)
            << p.name;
        if (p.kind == DeviceProperty::Kind::Command)
            continue;
        EXPECT_TRUE(
            p.companion == DeviceProperty::kNone ||
            (service->QueryVideoProperty(full, p.companion, &state) == S_OK && state == kPropertyReadOnly))
            << p.name << " default";
        if (p.kind != DeviceProperty::Kind::Level)
            continue;
        const int32_t min = CameraNumber(full, p.min), max = CameraNumber(full, p.max);
        EXPECT_LT(min, max) << p.name;
        for (int32_t n : {CameraNumber(full, p.value), CameraNumber(full, p.companion)})
            EXPECT_TRUE(n >= min && n <= max) << p.name << " " << n;
    }
    Variant v;
    for (int32_t p : {88, 89, 99, 105}) // switches the program reads as booleans
        EXPECT_TRUE(service->GetVideoProperty(full, p, &v) == S_OK && v.Type() == VarType::Bool) << p;
}

TEST_F(CameraModels, EachModelLacksWhatItDoesNotHaveAndEveryOneButTheMinimalOffersTheAdvancedPane) {
    // Zoom, pan, SunTune, focus, face tracking, video mute, shutter, new-style LED, motors.
    Variant v;
    for (int32_t p : {20, 24, 44, 102, 42, 4, 85, 90, 76}) {
        EXPECT_FALSE(Available(Camera(1), p)) << p;
        EXPECT_EQ(service->GetVideoProperty(Camera(1), p, &v), E_NOTIMPL) << p;
        EXPECT_EQ(Set(1, p, Variant::FromI4(0)), E_NOTIMPL) << p;
    }
    // Automatic exposure, exposure, gain, both mirrors, the three-way switch, backlight compensation, their
    // defaults, and the LED state; the LED mode in the newer (90) or the older (91) firmware.
    const std::vector<int32_t> pane = {29, 64, 30, 31, 32, 65, 33, 34, 35, 66, 36,
                                       67, 37, 68, 40, 69, 95, 96, 97, 98, 93};
    std::string minimal;
    ASSERT_EQ(control->Plug(DeviceKind::Camera, "minimal", &minimal), S_OK);
    for (int i = 0; i < 3; ++i) {
        for (int32_t p : pane)
            EXPECT_TRUE(Available(Camera(i), p)) << "camera " << i << " property " << p;
        EXPECT_TRUE(Available(Camera(i), 90) || Available(Camera(i), 91)) << i;
    }
    for (int32_t p : pane)
        EXPECT_FALSE(Available(minimal, p)) << p;
    EXPECT_TRUE(Available(minimal, 8)) << "it still has the picture levels";
}

TEST_F(CameraModels, WritesOutsideTheAcceptedValuesFailAndChangeNothing) {
    // Zoom bounds, face tracking (0, 1, 4), SunTune modes, read-only ranges and defaults, LED values packed
    // (b << 16) | (a << 8) | mode per firmware, manual focus only without automatic focus, motors.
    const HRESULT bad = E_INVALIDARG, ro = E_ACCESSDENIED, none = E_NOTIMPL;
    const struct {
        int camera;
        int32_t property, value;
        HRESULT result;
    } writes[] = {
        {0, 20, 401, bad},       {0, 20, 99, bad},        {0, 42, 4, S_OK},   {0, 42, 2, bad},
        {0, 44, 10, S_OK},       {0, 44, 3, bad},         {0, 40, 3, bad},    {0, 18, 1, ro},
        {0, 63, 1, ro},          {0, 85, 1, ro},          {0, 106, 1, ro},    {0, 1, 1, ro},
        {0, 90, 0x140A02, S_OK}, {0, 90, 5, S_OK},        {0, 90, 6, bad},    {0, 90, 0x1000001, bad},
        {1, 90, 1, none},        {1, 91, 0x140A02, S_OK}, {1, 91, 4, bad},    {0, 102, 50, ro},
        {0, 99, 0, S_OK},        {0, 102, 50, S_OK},      {0, 102, 251, bad}, {0, 78, 0, none},
    };
    for (const auto& w : writes)
        EXPECT_EQ(Set(w.camera, w.property, Variant::FromI4(w.value)), w.result)
            << w.camera << " " << w.property;
    EXPECT_EQ(Set(0, 20, Variant::FromString("200")), E_INVALIDARG);
    EXPECT_EQ(Set(0, 4, Variant::FromBool(true)), S_OK) << "a boolean on a numeric switch is stored as 1";
    const std::string full = Camera(0);
    std::vector<int32_t> now; // zoom, face tracking, shutter, LED, focus, mute, focus state
    for (int32_t p : {20, 42, 85, 90, 102, 4, 106})
        now.push_back(CameraNumber(full, p));
    EXPECT_EQ(now, (std::vector<int32_t>{100, 4, 0, 5, 50, 1, FocusState::Settled}));
    EXPECT_NE(CameraNumber(Camera(2), 76), 0) << "the motorised camera";
    ASSERT_EQ(Set(0, 20, Variant::FromI4(400)), S_OK);
    EXPECT_EQ(Set(0, 24, Variant::FromI4(7)), S_OK);
    EXPECT_EQ(Set(0, 41, Variant::FromI4(0)), S_OK);
    EXPECT_EQ(CameraNumber(full, 24), 0);
}

TEST_F(CameraModels, AttachmentsBelongToTheClientThatMadeThemAndGoWithIt) {
    auto* other = new CGraniteDeviceService(hardware);
    ASSERT_EQ(other->RegisterClient("Helper:1", "/usr/bin/helper"), S_OK);
    ASSERT_EQ(other->Start(), S_OK);
    auto inUse = [&] {
        std::string id;
        return SUCCEEDED(service->GetServiceText(&id)) ? id : std::string("none");
    };
    // Each step: who does what to which camera, its answer, and the camera in use afterwards (-1: none).
    const struct {
        bool byOther, attach;
        int camera;
        HRESULT result;
        int inUseAfter;
    } steps[] = {
        {false, true, 0, S_OK, 0},     {true, false, 0, S_FALSE, 0}, // another client cannot let it go
        {true, true, 0, S_OK, 0},      {false, false, 0, S_OK, 0},   // still held by the other client
        {false, true, 1, S_OK, 1},     {false, true, 1, S_OK, 1},    // attachments are counted
        {false, false, 1, S_OK, 1},    {false, false, 1, S_OK, 0},   // back to the other client's camera
        {false, false, 1, S_FALSE, 0}, {true, false, 0, S_OK, -1},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const auto& s = steps[i];
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

class AudioDevices : public GraniteServiceFixture {};

TEST_F(AudioDevices, MicrophoneOffersVolumeLevelMuteAndItsProcessingFlags) {
    const std::string mic = Id(DeviceKind::Microphone, 0);
    int32_t state = kPropertyNotAvailable;
    for (int32_t p = 4; p <= 12; ++p)
        EXPECT_TRUE(service->QueryMicrophoneProperty(mic, p, &state) == S_OK &&
                    state != kPropertyNotAvailable)
            << p;
    Variant v;
    EXPECT_EQ(service->SetMicrophoneProperty(mic, 9, Variant::FromI4(50)), E_ACCESSDENIED)
        << "the level is measured";
    EXPECT_EQ(service->SetMicrophoneProperty(mic, 6, Variant::FromI4(101)), E_INVALIDARG);
    EXPECT_EQ(service->SetMicrophoneProperty(mic, 10, Variant::FromI4(2)), E_INVALIDARG);
    EXPECT_EQ(service->SetMicrophoneProperty(mic, 10, Variant::FromBool(true)), S_OK);
    EXPECT_EQ(service->SelectMicrophone("\\\\?\\usb#elsewhere\\capture"), E_DEVICE_NOT_CONNECTED);
    ASSERT_EQ(service->SelectMicrophone(mic), S_OK);
    EXPECT_NE(control->Describe().find("Brenmoor Vidora Microphone (standard, pid 0x0a30), selected, muted"),
              std::string::npos)
        << control->Describe();
}

TEST_F(AudioDevices, SpeakerVolumeIsBoundedTheKindsDoNotMixAndMalformedValuesAreRefused) {
    const std::string speaker = Id(DeviceKind::Speaker, 0);
    EXPECT_EQ(service->SetSpeakerProperty(speaker, 8, Variant::FromI4(100)), S_OK);
    EXPECT_EQ(service->SetSpeakerProperty(speaker, 8, Variant::FromI4(-1)), E_INVALIDARG);
    EXPECT_EQ(service->SetSpeakerProperty(speaker, 9, Variant::FromI4(1)), S_OK);
    int32_t state = 0;
    ASSERT_EQ(service->QuerySpeakerProperty(speaker, 6, &state), S_OK);
    EXPECT_EQ(state, kPropertyNotAvailable);
    // The kinds do not mix: a speaker's id is no microphone.
    EXPECT_EQ(service->QueryMicrophoneProperty(speaker, 6, &state), E_DEVICE_NOT_CONNECTED);
    ASSERT_TRUE(sink.WaitForCount("speaker-property", 2));
    EXPECT_EQ(sink.Named("speaker-property")[1].number, 9);
    EXPECT_EQ(service->SetStringValue4(""), E_INVALIDARG);
    // A device report must have the report's size.
    EXPECT_EQ(service->SetHidProperty(Id(DeviceKind::Hid, 0), 4, Variant::FromBytes({1, 2, 3})),
              E_INVALIDARG);
}

class FailureInjection : public GraniteServiceFixture {};

TEST_F(FailureInjection, AnOperationFailsByItsNumberForTheGivenNumberOfCallsOrUntilCleared) {
    int32_t count = 0;
    ASSERT_EQ(control->FailOperation(10, 2, E_ACCESSDENIED), S_OK);
    for (HRESULT expected : {E_ACCESSDENIED, E_ACCESSDENIED, S_OK})
        EXPECT_EQ(service->GetVideoDeviceCount(&count), expected);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(control->FailOperation(15), S_OK);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(service->SetVideoProperty(Camera(0), 20, Variant::FromI4(200)), E_FAIL);
    EXPECT_EQ(CameraNumber(Camera(0), 20), 100) << "a failed write changes nothing";
    control->ClearFailure(15);
    EXPECT_EQ(service->SetVideoProperty(Camera(0), 20, Variant::FromI4(200)), S_OK);
    // A success code is not a failure: it is made into E_FAIL rather than silently passing.
    ASSERT_EQ(control->FailOperation(13, 1, S_OK), S_OK);
    EXPECT_EQ(service->QueryVideoProperty(Camera(0), 20, &count), E_FAIL);
    EXPECT_EQ(control->FailOperation(99), E_INVALIDARG) << "not an operation of the service";
}

TEST_F(FailureInjection, CreationRegistrationStartAndAdviseFailOnRequestAndComeInOrder) {
    RegisterGraniteDeviceService();
    IInProcDeviceManager* created = nullptr;
    ASSERT_EQ(control->FailOperation(kOperationCreate, 1, CLASS_E_CLASSNOTAVAILABLE), S_OK);
    auto& factory = CObjectFactory::Instance();
    EXPECT_EQ(factory.Create(CLSID_InProcDeviceManager, IID_IInProcDeviceManager, &created),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(factory.Create(CLSID_InProcDeviceManager, IID_IInProcDeviceManager, &created), S_OK);
    ASSERT_NE(created, nullptr);
    ASSERT_EQ(control->FailOperation(kOperationRegister, 1), S_OK);
    EXPECT_EQ(created->RegisterClient("Vidora10:1", "/usr/bin/vidora"), E_FAIL);
    EXPECT_EQ(created->Start(), E_UNEXPECTED) << "start before a successful registration";
    ASSERT_EQ(created->RegisterClient("Vidora10:1", "/usr/bin/vidora"), S_OK);
    int32_t count = 0;
    EXPECT_EQ(created->GetVideoDeviceCount(&count), E_UNEXPECTED) << "nothing is listed before the start";
    ASSERT_EQ(created->Start(), S_OK);
    EXPECT_EQ(created->GetVideoDeviceCount(&count), S_OK);
    uint32_t otherCookie = 0;
    void* unknown = nullptr;
    EXPECT_EQ(created->Advise(nullptr, &otherCookie), E_POINTER);
    EXPECT_EQ(created->QueryInterface("{00000000-0000-0000-0000-000000000001}", &unknown), E_NOINTERFACE);
    EXPECT_EQ(created->Release(), 0u);
    UnregisterGraniteDeviceService();
}

TEST_F(FailureInjection, AChangeByOneClientIsHeardByEveryClientAndSubscriptionsAreTheClients) {
    ASSERT_NO_FATAL_FAILURE(StartRoster(new CGraniteDeviceService(hardware)));
    EXPECT_NE(roster->EventThreadId(), service->EventThreadId());
    ASSERT_EQ(roster->SetVideoProperty(Camera(0), 44, Variant::FromI4(0)), S_OK);
    ASSERT_TRUE(sink.WaitForCount("video-property", 1) && rosterSink.WaitForCount("video-property", 1));
    EXPECT_EQ(sink.Named("video-property")[0].number, 44);
    EXPECT_EQ(sink.Named("video-property")[0].thread, service->EventThreadId());
    ASSERT_EQ(roster->SubscribeVideoEvent(Camera(0), 1, 0), S_OK);
    ASSERT_EQ(service->SubscribeVideoEvent(Camera(0), 20, 0), S_OK);
    ASSERT_EQ(control->PressButton(1), S_OK);
    ASSERT_EQ(control->PressButton(1, true), S_OK);
    ASSERT_TRUE(rosterSink.WaitForCount("camera-event", 1) && sink.WaitForCount("camera-event", 1));
    EXPECT_EQ(rosterSink.Named("camera-event")[0].number, 1);
    EXPECT_EQ(sink.Named("camera-event")[0].number, 20);
}

TEST(SimulatedDeviceChoice, AcceptsKindsModelsCountsBlanksAndAnyCase) {
    const DeviceRequest full{DeviceKind::Camera, "full"}, basic{DeviceKind::Camera, "basic"},
        ptz{DeviceKind::Camera, "ptz"}, mic{DeviceKind::Microphone, "standard"},
        speaker{DeviceKind::Speaker, "standard"}, hid{DeviceKind::Hid, "standard"};
    const struct {
        std::string text;
        std::vector<DeviceRequest> devices;
    } cases[] = {
        {"camera:full,camera:basic,microphone,speaker", {full, basic, mic, speaker}},
        {" Camera : PTZ * 2 , mic,HID ", {ptz, ptz, mic, hid}},
        {"camera", {full}},
        {"none", {}},
        {"  ", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<DeviceRequest> devices;
        std::string error;
        EXPECT_TRUE(CSimulatedDeviceChoice::Parse(c.text, devices, error)) << error;
        EXPECT_EQ(error, "");
        EXPECT_EQ(devices, c.devices);
    }
}

TEST(SimulatedDeviceChoice, MalformedListsSayWhatIsWrongAndGiveTheDefaultSet) {
    const struct {
        std::string text;
        std::string says;
    } cases[] = {
        {"camera,,speaker", "item 2 is empty"},
        {"camera:deluxe", "unknown camera model"},
        {"projector", "unknown device kind"},
        {"camera:", "no model"},
        {"camera*0", "bad count"},
        {"camera*x", "bad count"},
        {"camera*1000", "bad count"},
        {"camera*9,mic*9", "more than 16"},
        {"none,camera", "none"},
        {"microphone:full", "unknown microphone model"},
        {std::string(2000, 'c'), "too long"},
        {"cam\x1b[2Jera", ""}, // control characters never reach the message as they are
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        std::vector<DeviceRequest> devices{{DeviceKind::Hid, "standard"}};
        std::string error;
        EXPECT_FALSE(CSimulatedDeviceChoice::Parse(c.text, devices, error));
        EXPECT_EQ(devices, CSimulatedDeviceChoice::Defaults()) << "a bad list gives the default set";
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_EQ(error.find('\x1b'), std::string::npos) << error;
    }
}

namespace {
class CountingListener : public IGraniteDeviceManagerEvent {
public:
    int arrived = 0, removed = 0;
    void OnDeviceArrived(int32_t, const std::string&) override { ++arrived; }
    void OnDeviceRemoved(int32_t, const std::string&, const std::string&) override { ++removed; }
};

class FacadeHotplug : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        hardware = std::make_shared<CSimulatedHardware>(
            std::vector<DeviceRequest>(GetParam(), {DeviceKind::Camera, "full"}));
        CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        manager = GetGraniteDeviceManager();
        ASSERT_NE(manager, nullptr);
        manager->AddListener(&listener, 1);
    }

    void TearDown() override {
        if (manager != nullptr) {
            manager->RemoveListener(&listener);
            manager->Release();
        }
        UnregisterGraniteDeviceService();
        CSimulatedHardware::SetCurrent(nullptr);
    }

    std::string CameraInUse() const {
        std::string id;
        hardware->CameraInUse(&id);
        return id;
    }
    std::string SelectedCamera() {
        int index = -1;
        VideoDeviceInfo info;
        const bool ok = SUCCEEDED(manager->GetSelectedVideoDeviceIndex(&index)) &&
                        SUCCEEDED(manager->GetVideoDevice(index, &info));
        return ok ? info.id : std::string();
    }

    CTempEnvironment env;
    std::shared_ptr<CSimulatedHardware> hardware;
    IGraniteDeviceManager* manager = nullptr;
    CountingListener listener;
};

TEST_P(FacadeHotplug, ACameraPluggedBackBeforeItsRemovalIsHandledStaysAttachedAndCurrent) {
    ASSERT_EQ(manager->SelectVideoDevice(0), S_OK);
    std::string camera;
    ASSERT_TRUE(hardware->IdAt(DeviceKind::Camera, 0, camera));
    ASSERT_EQ(CameraInUse(), camera);
    ASSERT_EQ(hardware->Unplug(DeviceKind::Camera, camera), S_OK);
    std::string replugged;
    ASSERT_EQ(hardware->Plug(DeviceKind::Camera, "full", &replugged), S_OK);
    ASSERT_EQ(replugged, camera) << "a camera plugged back gets its old path";
    ASSERT_TRUE(PumpUntil([&] { return listener.removed == 1 && listener.arrived == 1; }, 10000));
    EXPECT_EQ(CameraInUse(), camera) << "the service must still hold the camera for us";
    EXPECT_EQ(SelectedCamera(), camera);
    int32_t zoom = 0;
    EXPECT_EQ(manager->GetZoom(&zoom), S_OK);
    // Letting go of it later detaches it exactly once.
    ASSERT_EQ(hardware->Unplug(DeviceKind::Camera, camera), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return listener.removed == 2; }, 10000));
    std::string other; // the one camera left becomes current, if there is one
    hardware->IdAt(DeviceKind::Camera, 0, other);
    EXPECT_EQ(SelectedCamera(), other);
    EXPECT_EQ(CameraInUse(), other);
    EXPECT_EQ(manager->GetZoom(&zoom), other.empty() ? E_FAIL : S_OK);
}

INSTANTIATE_TEST_SUITE_P(OneOrTwoCameras, FacadeHotplug, ::testing::Values(1, 2));

} // namespace
