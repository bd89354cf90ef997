// Real microphones and speakers on a stand-in sound server: what is listed, what their properties answer,
// their levels while metered, and how a service lists them beside the simulated ones.
#include "GraniteServiceFixture.h"
#include "granite/devices/CAudioRoster.h"
#include "granite/devices/CCameraRoster.h"
#include "granite/pulse/CPulseAudioDevices.h"
#include "granite/pulse/CPulseLayer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <set>

using namespace Granite;

namespace {
// A sound server as the devices see it: it keeps its devices, applies what it is asked and reports back.
class FakeServer : public IPulseLayer {
public:
    explicit FakeServer(bool up = true) : up_(up) {}
    bool Start(IPulseEvents* events) override {
        if (!up_)
            return false;
        events_ = events;
        for (const PulseDevice& d : devices_)
            events_->OnDevice(d);
        events_->OnDefaults("mic", "speakers");
        return true;
    }
    void SetVolume(DeviceKind kind, const std::string& name, int32_t volume) override {
        Change(kind, name, [&](PulseDevice& d) { d.volume = volume; });
    }
    void SetMute(DeviceKind kind, const std::string& name, bool mute) override {
        Change(kind, name, [&](PulseDevice& d) { d.mute = mute; });
    }
    void SetDefault(DeviceKind kind, const std::string& name) override {
        (kind == DeviceKind::Microphone ? defaultSource : defaultSink) = name;
    }
    void StartPeaks(const std::string& source) override { metered.insert(source); }
    void StopPeaks(const std::string& source) override { metered.erase(source); }
    void StartLoopback(const std::string& source) override { heard.insert(source); }
    void StopLoopback(const std::string& source) override { heard.erase(source); }

    void Add(DeviceKind kind, const std::string& name, const std::string& description, bool monitor = false) {
        PulseDevice d;
        d.kind = kind;
        d.index = nextIndex_++;
        d.name = name;
        d.description = description;
        d.monitor = monitor;
        d.volume = 80;
        devices_.push_back(d);
        if (events_ != nullptr)
            events_->OnDevice(d);
    }
    void Remove(const std::string& name) {
        for (auto it = devices_.begin(); it != devices_.end(); ++it) {
            if (it->name == name) {
                const PulseDevice d = *it;
                devices_.erase(it);
                events_->OnDeviceRemoved(d.kind, d.index);
                return;
            }
        }
    }
    void Peak(const std::string& source, float peak) {
        if (metered.count(source) != 0)
            events_->OnPeak(source, peak);
    }
    const PulseDevice* Device(const std::string& name) const {
        for (const PulseDevice& d : devices_)
            if (d.name == name)
                return &d;
        return nullptr;
    }
    IPulseEvents* Events() const { return events_; }

    std::set<std::string> metered;
    std::set<std::string> heard;
    std::string defaultSource;
    std::string defaultSink;

private:
    template <typename F> void Change(DeviceKind kind, const std::string& name, F apply) {
        for (PulseDevice& d : devices_) {
            if (d.kind == kind && d.name == name) {
                apply(d);
                events_->OnDevice(d);
            }
        }
    }

    bool up_;
    IPulseEvents* events_ = nullptr;
    std::vector<PulseDevice> devices_;
    uint32_t nextIndex_ = 1;
};

std::shared_ptr<CPulseAudioDevices> OpenOn(FakeServer*& server, bool withDevices = true) {
    auto fake = std::make_unique<FakeServer>();
    server = fake.get();
    if (withDevices) {
        server->Add(DeviceKind::Microphone, "mic", "USB Microphone");
        server->Add(DeviceKind::Microphone, "speakers.monitor", "Monitor of Speakers", true);
        server->Add(DeviceKind::Speaker, "speakers", "Speakers");
    }
    return CPulseAudioDevices::Open(std::move(fake));
}
} // namespace

TEST(PulseAudioDevices, ListsSourcesAndSinksByNameWithoutMonitorsAndAnswersTheirProperties) {
    FakeServer* server = nullptr;
    auto devices = OpenOn(server);
    ASSERT_NE(devices, nullptr);
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 1);
    EXPECT_EQ(devices->Count(DeviceKind::Speaker), 1);
    std::string id;
    ASSERT_TRUE(devices->IdAt(DeviceKind::Microphone, 0, id));
    EXPECT_EQ(id, "mic");
    EXPECT_FALSE(devices->Exists(DeviceKind::Microphone, "speakers.monitor"));
    EXPECT_EQ(devices->DefaultDevice(DeviceKind::Speaker), "speakers");

    Variant v;
    ASSERT_EQ(devices->Get(DeviceKind::Microphone, "mic", Prop::Name, &v), S_OK);
    EXPECT_EQ(v.GetString(), "USB Microphone");
    ASSERT_EQ(devices->Get(DeviceKind::Microphone, "mic", MicProp::VolumeMax, &v), S_OK);
    EXPECT_EQ(v.GetI4(), 100);
    for (int32_t flag : {MicProp::EchoCancellation, MicProp::NoiseSuppression}) {
        ASSERT_EQ(devices->Get(DeviceKind::Microphone, "mic", flag, &v), S_OK);
        EXPECT_EQ(v.GetBool(), VARIANT_FALSE) << flag;
    }
    int32_t state = -1;
    ASSERT_EQ(devices->Query(DeviceKind::Speaker, "speakers", SpeakerProp::Volume, &state), S_OK);
    EXPECT_EQ(state, kPropertyReadWrite);
    ASSERT_EQ(devices->Query(DeviceKind::Speaker, "speakers", Prop::ProductId, &state), S_OK);
    EXPECT_EQ(state, kPropertyNotAvailable);
}

TEST(PulseAudioDevices, WritesReachTheServerAndRefusedOnesChangeNothing) {
    FakeServer* server = nullptr;
    auto devices = OpenOn(server);
    ASSERT_NE(devices, nullptr);
    struct Case {
        DeviceKind kind;
        std::string id;
        int32_t property;
        Variant value;
        HRESULT expected;
    };
    const Case cases[] = {
        {DeviceKind::Microphone, "mic", MicProp::Volume, Variant::FromI4(40), S_OK},
        {DeviceKind::Speaker, "speakers", SpeakerProp::Mute, Variant::FromBool(true), S_OK},
        {DeviceKind::Microphone, "mic", MicProp::Volume, Variant::FromI4(101), E_INVALIDARG},
        {DeviceKind::Microphone, "mic", MicProp::Volume, Variant::FromI4(-1), E_INVALIDARG},
        {DeviceKind::Microphone, "mic", MicProp::Volume, Variant::FromString("50"), E_INVALIDARG},
        {DeviceKind::Microphone, "mic", MicProp::Mute, Variant::FromI4(2), E_INVALIDARG},
        {DeviceKind::Microphone, "mic", MicProp::Level, Variant::FromI4(10), E_ACCESSDENIED},
        {DeviceKind::Microphone, "mic", MicProp::EchoCancellation, Variant::FromBool(true), E_ACCESSDENIED},
        {DeviceKind::Microphone, "mic", Prop::ProductId, Variant::FromI4(1), E_NOTIMPL},
        {DeviceKind::Microphone, "gone", MicProp::Volume, Variant::FromI4(10), E_DEVICE_NOT_CONNECTED},
    };
    for (const Case& c : cases)
        EXPECT_EQ(devices->Set(c.kind, c.id, c.property, c.value), c.expected) << c.property;
    EXPECT_EQ(server->Device("mic")->volume, 40);
    EXPECT_FALSE(server->Device("mic")->mute);
    EXPECT_TRUE(server->Device("speakers")->mute);
    Variant v;
    ASSERT_EQ(devices->Get(DeviceKind::Microphone, "mic", MicProp::Volume, &v), S_OK);
    EXPECT_EQ(v.GetI4(), 40);
    EXPECT_EQ(devices->Select(DeviceKind::Microphone, "mic"), S_OK);
    EXPECT_EQ(server->defaultSource, "mic");
    EXPECT_EQ(devices->Select(DeviceKind::Microphone, "speakers.monitor"), E_DEVICE_NOT_CONNECTED);
}

TEST(PulseAudioDevices, LevelsAreShownOnADecibelScale) {
    const std::pair<float, int32_t> cases[] = {{0.0f, 0},   {0.001f, 0}, {0.01f, 33}, {0.1f, 67},
                                               {1.0f, 100}, {4.0f, 100}, {-1.0f, 0},  {std::nanf(""), 0}};
    for (const auto& [peak, level] : cases)
        EXPECT_EQ(CPulseAudioDevices::LevelFromPeak(peak), level) << peak;
}

TEST(PulseAudioDevices, NoSoundServerMeansNoRealDevicesYet) {
    CTempEnvironment env;
    env.SetEnv("PULSE_SERVER", "unix:" + env.Root() + "/no-such-server");
    const auto start = std::chrono::steady_clock::now();
    auto devices = CPulseAudioDevices::Open(std::make_unique<CPulseLayer>());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "it must not hang";
    ASSERT_NE(devices, nullptr) << "it keeps looking for a server";
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 0);
    EXPECT_EQ(devices->Count(DeviceKind::Speaker), 0);
    EXPECT_EQ(CPulseAudioDevices::Open(std::make_unique<FakeServer>(false)), nullptr);
}

TEST(PulseAudioDevices, MonitoringIsOnOrOffAndEndsWithTheMicrophoneWhichMayComeBackUnderANewIndex) {
    FakeServer* server = nullptr;
    auto devices = OpenOn(server);
    ASSERT_NE(devices, nullptr);
    EXPECT_EQ(devices->SetMonitoring("mic", true), S_OK);
    EXPECT_EQ(devices->SetMonitoring("mic", true), S_OK);
    EXPECT_EQ(server->heard, std::set<std::string>{"mic"});
    EXPECT_EQ(devices->SetMonitoring("mic", false), S_OK);
    EXPECT_TRUE(server->heard.empty()) << "not counted: one off ends it";
    EXPECT_EQ(devices->SetMonitoring("speakers.monitor", true), E_DEVICE_NOT_CONNECTED);

    ASSERT_EQ(devices->SetMonitoring("mic", true), S_OK);
    ASSERT_EQ(devices->WatchLevel("mic", true), S_OK);
    server->Events()->OnDisconnected();
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 0);
    EXPECT_EQ(devices->SetMonitoring("mic", false), E_DEVICE_NOT_CONNECTED);
    // The server lists it again, under a new index, twice (a restart, then a listing that crossed it).
    server->heard.clear();
    server->metered.clear();
    for (uint32_t index : {7u, 8u}) {
        PulseDevice again = *server->Device("mic");
        again.index = index;
        again.volume = 55;
        server->Events()->OnDevice(again);
    }
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 1);
    Variant v;
    ASSERT_EQ(devices->Get(DeviceKind::Microphone, "mic", MicProp::Volume, &v), S_OK);
    EXPECT_EQ(v.GetI4(), 55);
    // Neither monitoring nor metering outlived the microphone: asked again, both start again.
    EXPECT_EQ(devices->SetMonitoring("mic", true), S_OK);
    EXPECT_EQ(devices->WatchLevel("mic", true), S_OK);
    EXPECT_EQ(server->heard, std::set<std::string>{"mic"});
    EXPECT_EQ(server->metered, std::set<std::string>{"mic"});
    server->Events()->OnDeviceRemoved(DeviceKind::Microphone, 8);
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 0);
}

class AudioRoster : public GraniteServiceFixture {
protected:
    void SetUp() override {
        GraniteServiceFixture::SetUp();
        real = OpenOn(server, false);
        ASSERT_NE(real, nullptr);
        ASSERT_NO_FATAL_FAILURE(StartRoster(new CGraniteDeviceService(
            hardware, CCameraRoster::Create(hardware, nullptr), CAudioRoster::Create(hardware, real))));
    }
    std::vector<std::string> Microphones() {
        int32_t n = 0;
        EXPECT_EQ(roster->GetMicrophoneCount(&n), S_OK);
        std::vector<std::string> ids(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
            EXPECT_EQ(roster->GetMicrophoneId(i, &ids[static_cast<size_t>(i)]), S_OK);
        return ids;
    }
    // True once the roster's client heard a microphone property take the value.
    bool HeardMicrophone(int32_t property, int32_t value) {
        return rosterSink.WaitFor([&](const std::vector<RecordedEvent>& all) {
            return std::any_of(all.begin(), all.end(), [&](const RecordedEvent& e) {
                return e.name == "microphone-property" && e.number == property && e.newValue.GetI4() == value;
            });
        });
    }

    FakeServer* server = nullptr;
    std::shared_ptr<CPulseAudioDevices> real;
};

TEST_F(AudioRoster, RealDevicesOfAKindReplaceTheSimulatedOnesWhilePluggedAndClientsHearTheChangeOver) {
    const std::string simulatedMic = Id(DeviceKind::Microphone, 0);
    EXPECT_EQ(Microphones(), std::vector<std::string>{simulatedMic});

    server->Add(DeviceKind::Microphone, "usb-mic", "USB Microphone");
    EXPECT_EQ(Microphones(), std::vector<std::string>{"usb-mic"});
    int32_t speakers = 0;
    EXPECT_EQ(roster->GetSpeakerCount(&speakers), S_OK);
    EXPECT_EQ(speakers, 1) << "the simulated speaker stays while no real speaker is there";
    Variant v;
    EXPECT_EQ(roster->GetMicrophoneProperty(simulatedMic, MicProp::Volume, &v), E_DEVICE_NOT_CONNECTED);

    server->Remove("usb-mic");
    EXPECT_EQ(Microphones(), std::vector<std::string>{simulatedMic});
    ASSERT_TRUE(rosterSink.WaitFor([](const std::vector<RecordedEvent>& all) { return all.size() >= 4; }));
    const std::vector<std::string> expected = {"removed " + simulatedMic, "arrived usb-mic",
                                               "removed usb-mic", "arrived " + simulatedMic};
    EXPECT_EQ(rosterSink.NamesAndIds(), expected);
}

TEST_F(AudioRoster, AMeteredRealMicrophoneReportsItsPeaksAsLevelsAndIsNoLongerListenedToAfterwards) {
    server->Add(DeviceKind::Microphone, "usb-mic", "USB Microphone");
    ASSERT_EQ(roster->StartMicrophoneLevelMeter("usb-mic"), S_OK);
    EXPECT_EQ(server->metered, std::set<std::string>{"usb-mic"});
    server->Peak("usb-mic", 0.1f);
    ASSERT_TRUE(HeardMicrophone(MicProp::Level, 67));
    // A change made on the desktop's own mixer reaches the client too.
    ASSERT_EQ(server->Device("usb-mic") != nullptr, true);
    server->SetVolume(DeviceKind::Microphone, "usb-mic", 25);
    ASSERT_TRUE(HeardMicrophone(MicProp::Volume, 25));
    ASSERT_EQ(roster->StopMicrophoneLevelMeter("usb-mic"), S_OK);
    EXPECT_TRUE(server->metered.empty());
}
