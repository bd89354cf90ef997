// Real microphones and speakers, over a fake sound server and on a private one: values, monitoring, sounds,
// a service that lists them instead of the simulated ones, and a server that goes, restarts or comes late.
#include "GraniteServiceFixture.h"
#include "granite/devices/CAudioRoster.h"
#include "granite/devices/CCameraRoster.h"
#include "granite/pulse/CPulseAudioDevices.h"
#include "granite/pulse/CPulseLayer.h"
#include "support/CPrivateSoundServer.h"

#include <QProcess>

#include <algorithm>
#include <chrono>
#include <functional>
#include <set>
#include <sstream>
#include <thread>

using namespace Granite;
using namespace SoundStatus;

namespace {
// A sound server with a microphone, a speaker and its monitor: it applies what it is asked and reports back.
class FakeServer : public IPulseLayer {
public:
    explicit FakeServer(bool up = true) : up_(up) {
        uint32_t index = 0;
        for (auto [kind, name, monitor] : {std::tuple{DeviceKind::Microphone, "mic", false},
                                           std::tuple{DeviceKind::Microphone, "speakers.monitor", true},
                                           std::tuple{DeviceKind::Speaker, "speakers", false}}) {
            PulseDevice& d = devices_.emplace_back();
            std::tie(d.kind, d.index, d.name, d.description, d.monitor, d.volume) =
                std::tuple(kind, ++index, name, name, monitor, 80);
        }
    }
    bool Start(IPulseEvents* events) override {
        if (!up_)
            return false;
        events_ = events;
        for (const PulseDevice& d : devices_)
            events_->OnDevice(d);
        events_->OnDefaults("mic", "speakers");
        return true;
    }
    void SetVolume(DeviceKind, const std::string& name, int32_t volume) override {
        Device(name)->volume = volume;
        events_->OnDevice(*Device(name));
    }
    void SetMute(DeviceKind, const std::string& name, bool mute) override {
        Device(name)->mute = mute;
        events_->OnDevice(*Device(name));
    }
    void SetDefault(DeviceKind kind, const std::string& name) override {
        (kind == DeviceKind::Microphone ? defaultSource : defaultSink) = name;
    }
    void StartPeaks(const std::string& source) override { metered.insert(source); }
    void StopPeaks(const std::string& source) override { metered.erase(source); }
    void StartLoopback(const std::string& source) override { heard.insert(source); }
    void StopLoopback(const std::string& source) override { heard.erase(source); }
    PulseDevice* Device(const std::string& name) {
        return &*std::find_if(devices_.begin(), devices_.end(), [&](auto& d) { return d.name == name; });
    }

    IPulseEvents* events_ = nullptr;
    std::set<std::string> metered, heard;
    std::string defaultSource, defaultSink;

private:
    bool up_;
    std::vector<PulseDevice> devices_;
};

std::shared_ptr<CPulseAudioDevices> OpenOn(FakeServer*& server) {
    auto fake = std::make_unique<FakeServer>();
    server = fake.get();
    return CPulseAudioDevices::Open(std::move(fake));
}
} // namespace

TEST(PulseAudioDevices, WritesReachTheServerAndRefusedOnesChangeNothing) {
    FakeServer* server = nullptr;
    auto devices = OpenOn(server);
    ASSERT_NE(devices, nullptr);
    const DeviceKind mic = DeviceKind::Microphone;
    const struct {
        DeviceKind kind;
        std::string id;
        int32_t property;
        Variant value;
        HRESULT expected;
    } cases[] = {
        {mic, "mic", MicProp::Volume, Variant::FromI4(40), S_OK},
        {DeviceKind::Speaker, "speakers", SpeakerProp::Mute, Variant::FromBool(true), S_OK},
        {mic, "mic", MicProp::Volume, Variant::FromI4(101), E_INVALIDARG},
        {mic, "mic", MicProp::Volume, Variant::FromI4(-1), E_INVALIDARG},
        {mic, "mic", MicProp::Volume, Variant::FromString("50"), E_INVALIDARG},
        {mic, "mic", MicProp::Mute, Variant::FromI4(2), E_INVALIDARG},
        {mic, "mic", MicProp::Level, Variant::FromI4(10), E_ACCESSDENIED},
        {mic, "mic", MicProp::EchoCancellation, Variant::FromBool(true), E_ACCESSDENIED},
        {mic, "mic", Prop::ProductId, Variant::FromI4(1), E_NOTIMPL},
        {mic, "gone", MicProp::Volume, Variant::FromI4(10), E_DEVICE_NOT_CONNECTED},
        {mic, "speakers.monitor", MicProp::Volume, Variant::FromI4(10), E_DEVICE_NOT_CONNECTED},
    };
    for (const auto& c : cases)
        EXPECT_EQ(devices->Set(c.kind, c.id, c.property, c.value), c.expected) << c.id << " " << c.property;
    EXPECT_EQ(std::tuple(server->Device("mic")->volume, server->Device("mic")->mute,
                         server->Device("speakers")->mute),
              std::tuple(40, false, true));
    EXPECT_EQ(devices->Select(mic, "mic"), S_OK);
    EXPECT_EQ(server->defaultSource, "mic");
    EXPECT_EQ(devices->Select(mic, "speakers.monitor"), E_DEVICE_NOT_CONNECTED);
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
    EXPECT_EQ(devices->Count(DeviceKind::Microphone) + devices->Count(DeviceKind::Speaker), 0);
    EXPECT_EQ(CPulseAudioDevices::Open(std::make_unique<FakeServer>(false)), nullptr);
}

TEST(PulseAudioDevices, AMicrophoneListedAgainUnderNewIndexesIsOneMicrophoneThatMonitorsAndMetersAfresh) {
    FakeServer* server = nullptr;
    auto devices = OpenOn(server);
    ASSERT_NE(devices, nullptr);
    ASSERT_EQ(devices->SetMonitoring("mic", true), S_OK);
    ASSERT_EQ(devices->WatchLevel("mic", true), S_OK);
    server->events_->OnDisconnected();
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 0);
    EXPECT_EQ(devices->SetMonitoring("mic", false), E_DEVICE_NOT_CONNECTED);
    // Listed again twice under new indexes (a restart, then a listing that crossed it).
    server->heard.clear();
    server->metered.clear();
    for (uint32_t index : {7u, 8u}) {
        PulseDevice again = *server->Device("mic");
        again.index = index;
        server->events_->OnDevice(again);
    }
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 1);
    EXPECT_EQ(devices->SetMonitoring("mic", true), S_OK);
    EXPECT_EQ(devices->WatchLevel("mic", true), S_OK);
    EXPECT_EQ(server->heard, std::set<std::string>{"mic"}) << "monitoring did not outlive the microphone";
    EXPECT_EQ(server->metered, std::set<std::string>{"mic"});
    server->events_->OnDeviceRemoved(DeviceKind::Microphone, 8);
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 0);
}

namespace {
// A listener to the devices: records every hardware event.
class CHardwareRecorder : public Granite::IHardwareListener, public CEventLog<Granite::HardwareEvent> {
public:
    void OnHardwareEvent(const Granite::HardwareEvent& event) override { Add(event); }
    // Whether an event of the type came for the device; with a property, one that set it to `value`.
    bool Saw(Granite::HardwareEvent::Type type, const std::string& id, int32_t property = -1,
             int32_t value = 0) const {
        for (const Granite::HardwareEvent& e : Events()) {
            if (e.type == type && e.id == id &&
                (property < 0 || (e.number == property && e.newValue.GetI4() == value)))
                return true;
        }
        return false;
    }
};

const std::string kMic = CPrivateSoundServer::kMicrophone;
const std::string kSpeaker = CPrivateSoundServer::kSpeaker;

// Waiting for a real server is real time: ask again and again, for a few seconds at most.
bool Eventually(const std::function<bool()>& done,
                std::chrono::milliseconds limit = std::chrono::seconds(8)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class SoundServer {
protected:
    std::string Pactl(const QStringList& arguments) const {
        return server.Pactl(arguments).value_or("(pactl failed)");
    }
    // The lines of `pactl list short <what>` that name all of `needles`.
    int Lines(const QString& what, const std::vector<std::string>& needles = {}) const {
        std::istringstream lines(Pactl({"list", "short", what}));
        int n = 0;
        for (std::string line; std::getline(lines, line);)
            n += std::all_of(needles.begin(), needles.end(),
                             [&](const std::string& s) { return line.find(s) != std::string::npos; });
        return n;
    }
    int Loopbacks() const { return Lines("modules", {"module-loopback", kMic}); }
    // The streams playing: the private server's one sink is the test speaker.
    int Streams() const { return Lines("sink-inputs"); }

    CPrivateSoundServer server;
};

class PulseServer : public ::testing::Test, protected SoundServer {
protected:
    void SetUp() override {
        VIDORA_REQUIRE_SOUND_SERVER(server);
        ASSERT_TRUE(StartServer());
    }
    void TearDown() override {
        if (devices)
            devices->RemoveListener(&recorder);
    }
    bool StartServer() { return server.Start() && Lines("sources", {kMic}) > 0; }
    void Open() {
        devices = CPulseAudioDevices::Open(std::make_unique<CPulseLayer>());
        ASSERT_NE(devices, nullptr);
        devices->AddListener(&recorder);
    }
    int32_t Value(DeviceKind kind, const std::string& id, int32_t property) {
        Variant v;
        return devices->Get(kind, id, property, &v) == S_OK ? v.GetI4() : -1;
    }

    std::shared_ptr<CPulseAudioDevices> devices;
    CHardwareRecorder recorder;
};
} // namespace

TEST_F(PulseServer, ListsTheDevicesButNotTheSpeakersMonitorAndTheirValuesTravelBothWays) {
    Open();
    EXPECT_EQ(std::pair(devices->Count(DeviceKind::Microphone), devices->Count(DeviceKind::Speaker)),
              std::pair(1, 1));
    EXPECT_FALSE(devices->Exists(DeviceKind::Microphone, kSpeaker + ".monitor"));
    EXPECT_EQ(devices->DefaultDevice(DeviceKind::Speaker), kSpeaker);
    Variant name;
    ASSERT_EQ(devices->Get(DeviceKind::Speaker, kSpeaker, Prop::Name, &name), S_OK);
    EXPECT_EQ(name.GetString(), "Test-Speaker");
    ASSERT_EQ(devices->Set(DeviceKind::Microphone, kMic, MicProp::Volume, Variant::FromI4(40)), S_OK);
    ASSERT_EQ(devices->Set(DeviceKind::Speaker, kSpeaker, SpeakerProp::Mute, Variant::FromBool(true)), S_OK);
    EXPECT_TRUE(Eventually([&] {
        return Pactl({"get-source-volume", QString::fromStdString(kMic)}).find(" 40%") != std::string::npos &&
               Pactl({"get-sink-mute", QString::fromStdString(kSpeaker)}).find("yes") != std::string::npos;
    }));
    Pactl({"set-source-volume", QString::fromStdString(kMic), "25%"});
    Pactl({"set-sink-mute", QString::fromStdString(kSpeaker), "0"});
    EXPECT_TRUE(Eventually([&] {
        return recorder.Saw(HardwareEvent::Type::PropertyChanged, kMic, MicProp::Volume, 25) &&
               recorder.Saw(HardwareEvent::Type::PropertyChanged, kSpeaker, SpeakerProp::Mute, 0);
    }));
    EXPECT_EQ(Value(DeviceKind::Microphone, kMic, MicProp::Volume), 25);
    EXPECT_EQ(Value(DeviceKind::Speaker, kSpeaker, SpeakerProp::Mute), 0);
}

TEST_F(PulseServer, MonitoringPlaysTheMicrophoneThroughALoopbackUntilItIsTurnedOffOrTheDevicesGo) {
    Open();
    ASSERT_EQ(devices->SetMonitoring(kMic, true), S_OK);
    ASSERT_EQ(devices->SetMonitoring(kMic, true), S_OK);
    ASSERT_TRUE(Eventually([&] { return Loopbacks() == 1; })) << Pactl({"list", "short", "modules"});
    ASSERT_EQ(devices->SetMonitoring(kMic, false), S_OK);
    EXPECT_TRUE(Eventually([&] { return Loopbacks() == 0; }));
    // Turned off before the server answered the load, and the devices go at once: nothing stays behind.
    ASSERT_EQ(devices->SetMonitoring(kMic, true), S_OK);
    ASSERT_EQ(devices->SetMonitoring(kMic, false), S_OK);
    ASSERT_EQ(devices->SetMonitoring(kMic, true), S_OK);
    devices->RemoveListener(&recorder);
    devices.reset();
    EXPECT_EQ(Loopbacks(), 0) << Pactl({"list", "short", "modules"});
}

TEST_F(PulseServer, LoopbacksLeftByAProgramThatEndedAreUnloadedWhenTheDevicesConnect) {
    QProcess ended;
    ended.start("true", {});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 gone = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    for (qint64 owner : {gone, qint64(1)}) // 1 runs: another instance's monitor stays
        ASSERT_TRUE(server.Pactl({"load-module", "module-loopback", "source=" + QString::fromStdString(kMic),
                                  QString("sink_input_properties=vidora.monitor.owner=%1").arg(owner)}));
    ASSERT_EQ(Loopbacks(), 2);
    Open();
    EXPECT_TRUE(Eventually([&] { return Loopbacks() == 1; })) << Pactl({"list", "short", "modules"});
    EXPECT_NE(Pactl({"list", "short", "modules"}).find("owner=1"), std::string::npos);
}

TEST_F(PulseServer, AServerThatStopsTakesItsDevicesAndBringsThemBackWhenItStartsAgainOrLate) {
    Open();
    ASSERT_EQ(devices->WatchLevel(kMic, true), S_OK);
    ASSERT_EQ(devices->SetMonitoring(kMic, true), S_OK);
    ASSERT_TRUE(Eventually([&] { return Loopbacks() == 1; }));
    server.Stop();
    ASSERT_TRUE(Eventually([&] {
        return recorder.Saw(HardwareEvent::Type::Removed, kMic) &&
               recorder.Saw(HardwareEvent::Type::Removed, kSpeaker);
    }));
    EXPECT_EQ(devices->Count(DeviceKind::Microphone) + devices->Count(DeviceKind::Speaker), 0);
    EXPECT_EQ(devices->SetMonitoring(kMic, false), E_DEVICE_NOT_CONNECTED);
    // A program started while nothing answers at the address sees the devices when the server comes.
    auto late = CPulseAudioDevices::Open(std::make_unique<CPulseLayer>());
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->Count(DeviceKind::Microphone), 0);
    recorder.Clear();
    ASSERT_TRUE(StartServer());
    EXPECT_TRUE(Eventually([&] { return late->Exists(DeviceKind::Microphone, kMic); }));
    ASSERT_TRUE(Eventually([&] {
        return recorder.Saw(HardwareEvent::Type::Arrived, kMic) &&
               recorder.Saw(HardwareEvent::Type::Arrived, kSpeaker);
    }));
    Pactl({"set-source-volume", QString::fromStdString(kMic), "30%"});
    EXPECT_TRUE(Eventually([&] { return Value(DeviceKind::Microphone, kMic, MicProp::Volume) == 30; }));
    // Monitoring and metering ended with the old server; asked again, they run on the new one.
    EXPECT_EQ(Loopbacks(), 0);
    EXPECT_EQ(Lines("source-outputs"), 0);
    ASSERT_EQ(devices->WatchLevel(kMic, true), S_OK);
    ASSERT_EQ(devices->SetMonitoring(kMic, true), S_OK);
    EXPECT_TRUE(Eventually([&] { return Loopbacks() == 1 && Lines("source-outputs") == 2; }))
        << Pactl({"list", "short", "source-outputs"});
}

// A service over the real devices, which replace the simulated ones.
class PulseSound : public GraniteServiceFixture, protected SoundServer {
protected:
    void SetUp() override {
        GraniteServiceFixture::SetUp();
        VIDORA_REQUIRE_SOUND_SERVER(server);
        real = CPulseAudioDevices::Open(std::make_unique<CPulseLayer>());
        ASSERT_NE(real, nullptr);
        ASSERT_TRUE(Eventually([&] { return real->Exists(DeviceKind::Speaker, kSpeaker); }));
        ASSERT_NO_FATAL_FAILURE(StartRoster(new CGraniteDeviceService(
            hardware, CCameraRoster::Create(hardware, nullptr), CAudioRoster::Create(hardware, real))));
    }
    // Whether the statuses heard for the speaker, once as many have come, are these.
    bool HeardStatuses(const std::string& speaker, const std::vector<uint32_t>& expected) {
        auto statuses = [&](const std::vector<RecordedEvent>& events) {
            std::vector<uint32_t> out;
            for (const RecordedEvent& e : events)
                if (e.name == "sound" && e.id == speaker)
                    out.push_back(e.status);
            return out;
        };
        rosterSink.WaitFor([&](const auto& events) { return statuses(events).size() >= expected.size(); });
        return statuses(rosterSink.Events()) == expected;
    }
    std::string Wave(const char* name, int milliseconds, uint16_t formatTag = 1) {
        env.WriteFile(name, WaveFile(milliseconds, formatTag));
        return env.Path(name);
    }

    std::shared_ptr<CPulseAudioDevices> real;
};

TEST_F(PulseSound, RealDevicesReplaceTheSimulatedOnesWhileTheServerRunsAndClientsHearTheChangeOver) {
    const std::string simulatedMic = Id(DeviceKind::Microphone, 0);
    auto microphones = [&] {
        int32_t n = 0;
        std::string id;
        EXPECT_EQ(roster->GetMicrophoneCount(&n), S_OK);
        return n == 1 && roster->GetMicrophoneId(0, &id) == S_OK ? id : std::to_string(n) + " microphones";
    };
    EXPECT_EQ(microphones(), kMic);
    Variant v;
    EXPECT_EQ(roster->GetMicrophoneProperty(simulatedMic, MicProp::Volume, &v), E_DEVICE_NOT_CONNECTED);
    // A change made on the desktop's own mixer reaches the client.
    Pactl({"set-source-volume", QString::fromStdString(kMic), "25%"});
    EXPECT_TRUE(rosterSink.WaitFor([](const std::vector<RecordedEvent>& all) {
        return std::any_of(all.begin(), all.end(), [](const RecordedEvent& e) {
            return e.id == kMic && e.number == MicProp::Volume && e.newValue.GetI4() == 25;
        });
    }));
    server.Stop();
    ASSERT_TRUE(rosterSink.WaitForCount("arrived", 2)) << "the simulated microphone and speaker come back";
    EXPECT_EQ(microphones(), simulatedMic);
    const auto heard = rosterSink.NamesAndIds();
    const auto removed = std::find(heard.begin(), heard.end(), "removed " + kMic);
    EXPECT_LT(removed, std::find(heard.begin(), heard.end(), "arrived " + simulatedMic));
}

TEST_F(PulseSound, ANewSoundStopsTheOldAndStoppingEndsItWithoutAFinish) {
    const std::string wave = Wave("long.wav", 20000);
    ASSERT_EQ(roster->PlaySoundFile(kSpeaker, wave), S_OK);
    ASSERT_EQ(roster->PlaySoundFile(kSpeaker, wave), S_OK);
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Stopped, Started}));
    EXPECT_TRUE(Eventually([&] { return Streams() == 1; })) << "the old stream must go";
    ASSERT_EQ(roster->StopSoundFile(kSpeaker), S_OK);
    EXPECT_TRUE(Eventually([&] { return Streams() == 0; }, std::chrono::seconds(1)))
        << "stopped means silent at once";
    EXPECT_EQ(roster->StopSoundFile(kSpeaker), S_FALSE);
    // The test tone of the speaker replaces a sound too, and the client goes away while it plays.
    ASSERT_EQ(roster->PlaySoundFile(kSpeaker, wave), S_OK);
    ASSERT_EQ(roster->SpeakerCommand63(kSpeaker), S_OK);
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Stopped, Started, Stopped, Started, Stopped, Started}));
}

TEST_F(PulseSound, WhatCannotBePlayedFailsTheCallAndLeavesThePlayingToneAlone) {
    env.WriteFile("garbage.wav", "this is no sound at all, just words");
    ASSERT_EQ(roster->SpeakerCommand63(kSpeaker), S_OK);
    EXPECT_TRUE(Eventually([&] { return Streams() == 1; }));
    struct Row {
        std::string speaker, path;
        HRESULT expected;
    };
    for (const Row& row :
         {Row{kSpeaker, env.Path("garbage.wav"), HResultFromWin32(ERROR_INVALID_DATA)},
          Row{kSpeaker, env.Path("missing.wav"), HResultFromWin32(ERROR_FILE_NOT_FOUND)},
          Row{kSpeaker, env.Root(), HResultFromWin32(ERROR_INVALID_DATA)},
          Row{kSpeaker, Wave("coding.wav", 500, 0x7777), HResultFromWin32(ERROR_INVALID_DATA)},
          Row{"vidora_no_such_speaker", Wave("fine.wav", 500), E_DEVICE_NOT_CONNECTED}})
        EXPECT_EQ(roster->PlaySoundFile(row.speaker, row.path), row.expected) << row.path;
    EXPECT_EQ(roster->StopSoundFile("vidora_no_such_speaker"), E_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(roster->SpeakerCommand63("vidora_no_such_speaker"), E_DEVICE_NOT_CONNECTED);
    // Nothing started, so the tone plays on to its end and nothing else is heard.
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Finished}));
    EXPECT_EQ(rosterSink.Named("sound").size(), 2u);
    EXPECT_EQ(roster->SpeakerCommand64(kSpeaker), S_FALSE);
}

TEST_F(PulseSound, AServerThatGoesAwayMidSoundStopsTheSound) {
    ASSERT_EQ(roster->PlaySoundFile(kSpeaker, Wave("long.wav", 20000)), S_OK);
    ASSERT_TRUE(HeardStatuses(kSpeaker, {Started}));
    server.Stop();
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Stopped}));
    const HRESULT stop = roster->StopSoundFile(kSpeaker);
    EXPECT_TRUE(stop == S_FALSE || stop == E_DEVICE_NOT_CONNECTED) << stop;
}
