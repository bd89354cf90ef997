// Real microphones and speakers on a private sound server: what the real devices list, how their values
// travel both ways, monitoring through the server, and a server that stops, restarts or starts late.
#include "CHardwareRecorder.h"
#include "granite/pulse/CPulseAudioDevices.h"
#include "granite/pulse/CPulseLayer.h"
#include "support/CPrivateSoundServer.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <chrono>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

using namespace Granite;

namespace {
const std::string kMic = CPrivateSoundServer::kMicrophone;
const std::string kSpeaker = CPrivateSoundServer::kSpeaker;

// Waiting for a real server is real time: ask again and again, for a few seconds at most.
bool Eventually(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class PulseServer : public ::testing::Test {
protected:
    void TearDown() override {
        if (devices)
            devices->RemoveListener(&recorder);
    }
    // Starts the server with its microphone.
    bool StartServer() { return server.Start() && Lines("sources", kMic) > 0; }
    void Open() {
        devices = CPulseAudioDevices::Open(std::make_unique<CPulseLayer>());
        ASSERT_NE(devices, nullptr);
        devices->AddListener(&recorder);
    }
    std::string Pactl(const QStringList& arguments) {
        return server.Pactl(arguments).value_or("(pactl failed)");
    }
    // The lines of `pactl list short <what>` that name `needle`.
    int Lines(const QString& what, const std::string& needle = {}) {
        std::istringstream lines(Pactl({"list", "short", what}));
        int n = 0;
        for (std::string line; std::getline(lines, line);)
            n += line.find(needle) != std::string::npos ? 1 : 0;
        return n;
    }
    int Loopbacks() {
        std::istringstream lines(Pactl({"list", "short", "modules"}));
        int n = 0;
        for (std::string line; std::getline(lines, line);)
            n += line.find("module-loopback") != std::string::npos && line.find(kMic) != std::string::npos;
        return n;
    }
    int32_t Value(DeviceKind kind, const std::string& id, int32_t property) {
        Variant v;
        return devices->Get(kind, id, property, &v) == S_OK ? v.GetI4() : -1;
    }

    CPrivateSoundServer server;
    std::shared_ptr<CPulseAudioDevices> devices;
    CHardwareRecorder recorder;
};
} // namespace

TEST_F(PulseServer, ListsTheServersMicrophoneAndSpeakerButNotTheSpeakersMonitor) {
    VIDORA_REQUIRE_SOUND_SERVER(server);
    ASSERT_TRUE(StartServer());
    Open();
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 1);
    EXPECT_EQ(devices->Count(DeviceKind::Speaker), 1);
    EXPECT_FALSE(devices->Exists(DeviceKind::Microphone, kSpeaker + ".monitor"));
    for (const auto& [kind, id, name] : {std::tuple{DeviceKind::Microphone, kMic, "Test-Microphone"},
                                         std::tuple{DeviceKind::Speaker, kSpeaker, "Test-Speaker"}}) {
        Variant v;
        ASSERT_EQ(devices->Get(kind, id, Prop::Name, &v), S_OK) << id;
        EXPECT_EQ(v.GetString(), name);
    }
}

TEST_F(PulseServer, VolumesAndMutesReachTheServerAndTheServersChangesArriveAsEvents) {
    VIDORA_REQUIRE_SOUND_SERVER(server);
    ASSERT_TRUE(StartServer());
    Open();
    ASSERT_EQ(devices->Set(DeviceKind::Microphone, kMic, MicProp::Volume, Variant::FromI4(40)), S_OK);
    ASSERT_EQ(devices->Set(DeviceKind::Speaker, kSpeaker, SpeakerProp::Mute, Variant::FromBool(true)), S_OK);
    EXPECT_TRUE(Eventually([&] {
        return Pactl({"get-source-volume", QString::fromStdString(kMic)}).find(" 40%") != std::string::npos;
    }));
    EXPECT_TRUE(Eventually([&] {
        return Pactl({"get-sink-mute", QString::fromStdString(kSpeaker)}).find("yes") != std::string::npos;
    }));

    // Another mixer changes them.
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
    VIDORA_REQUIRE_SOUND_SERVER(server);
    ASSERT_TRUE(StartServer());
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
    VIDORA_REQUIRE_SOUND_SERVER(server);
    ASSERT_TRUE(StartServer());
    QProcess ended;
    ended.start("true", {});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 gone = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    const auto load = [&](qint64 owner) {
        return server.Pactl({"load-module", "module-loopback", "source=" + QString::fromStdString(kMic),
                             QString("sink_input_properties=vidora.monitor.owner=%1").arg(owner)});
    };
    ASSERT_TRUE(load(gone));
    ASSERT_TRUE(load(1)); // a process that runs: another instance's monitor stays
    ASSERT_EQ(Loopbacks(), 2);
    Open();
    EXPECT_TRUE(Eventually([&] { return Loopbacks() == 1; })) << Pactl({"list", "short", "modules"});
    EXPECT_NE(Pactl({"list", "short", "modules"}).find("owner=1"), std::string::npos);
}

TEST_F(PulseServer, AServerThatStopsTakesItsDevicesAndBringsThemBackWhenItStartsAgain) {
    VIDORA_REQUIRE_SOUND_SERVER(server);
    ASSERT_TRUE(StartServer());
    Open();
    ASSERT_EQ(devices->WatchLevel(kMic, true), S_OK);
    ASSERT_EQ(devices->SetMonitoring(kMic, true), S_OK);
    ASSERT_TRUE(Eventually([&] { return Loopbacks() == 1; }));

    server.Stop();
    ASSERT_TRUE(Eventually([&] {
        return recorder.Saw(HardwareEvent::Type::Removed, kMic) &&
               recorder.Saw(HardwareEvent::Type::Removed, kSpeaker);
    }));
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 0);
    EXPECT_EQ(devices->Count(DeviceKind::Speaker), 0);
    EXPECT_EQ(devices->SetMonitoring(kMic, false), E_DEVICE_NOT_CONNECTED);

    recorder.Clear();
    ASSERT_TRUE(StartServer());
    ASSERT_TRUE(Eventually([&] {
        return recorder.Saw(HardwareEvent::Type::Arrived, kMic) &&
               recorder.Saw(HardwareEvent::Type::Arrived, kSpeaker);
    }));
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 1);
    // With the values the new server has.
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

TEST_F(PulseServer, AProgramStartedBeforeTheServerSeesTheDevicesWhenTheServerComes) {
    VIDORA_REQUIRE_SOUND_SERVER(server);
    ASSERT_TRUE(StartServer());
    server.Stop(); // the address stays: nothing answers there yet
    Open();
    EXPECT_EQ(devices->Count(DeviceKind::Microphone), 0);
    ASSERT_TRUE(StartServer());
    EXPECT_TRUE(Eventually([&] {
        return devices->Exists(DeviceKind::Microphone, kMic) &&
               devices->Exists(DeviceKind::Speaker, kSpeaker);
    }));
    EXPECT_TRUE(recorder.Saw(HardwareEvent::Type::Arrived, kMic));
}
