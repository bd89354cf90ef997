// The microphones a movie can record from; a private sound server with silent sources stands for the
// desktop's.
#include "CaptureFixture.h"
#include "granite/capture/CAudioDeviceEnumerator.h"
#include "granite/capture/CMicrophoneListPolicy.h"
#include "granite/capture/CMovieRecorder.h"
#include "granite/capture/IAudioSource.h"
#include "granite/devices/CSimulatedDeviceChoice.h"
#include "services/DeviceManagerProperties.h"
#include "support/CPrivateSoundServer.h"
#include "support/CTempEnvironment.h"

#include <QElapsedTimer>
#include <QThread>
#include <sstream>

using namespace Granite;
using Source = CMicrophoneListPolicy::Source;

TEST(MicrophoneListPolicy, RealSourcesReplaceTheSimulatedOnesWithTheDefaultFirstAndNoMonitors) {
    const Source sim{"Sim", "sim"}, usb{"USB", "usb", false, false, 0}, pci{"PCI", "pci", false, true, 1};
    const Source monitor{"Monitor of Speakers", "pci.monitor", true, true, 2};
    const Source unnamed{"", "bt", false, false, 3}, twin{"Twin", "Twin", false, false, 4};
    struct Row {
        const char* why;
        std::vector<Source> simulated, real;
        bool simulationAsked;
        std::vector<std::string> expected; // "name@path/origin"
    };
    const Row rows[] = {
        {"real ones replace, default first", {sim}, {usb, monitor, pci}, false, {"PCI@pci/1", "USB@usb/0"}},
        {"only a monitor", {sim}, {monitor}, false, {"Sim@sim/-1"}},
        {"simulation asked", {sim}, {usb, pci}, true, {"Sim@sim/-1"}},
        {"simulation asked, no simulated microphone", {}, {usb}, true, {}},
        {"unnamed, twins", {sim}, {unnamed, twin, twin}, false, {"bt@bt/3", "Twin@Twin/4", "Twin@Twin#2/4"}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> got;
        for (const Source& s : CMicrophoneListPolicy::Arrange(row.simulated, row.real, row.simulationAsked))
            got.push_back(s.name + "@" + s.path + "/" + std::to_string(s.origin));
        EXPECT_EQ(got, row.expected) << row.why;
    }
}

// A run that did not ask for simulated devices (no variable, no hardware handed in), as on a user's desktop.
class UnsimulatedRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* value = std::getenv(CSimulatedDeviceChoice::kVariable))
            saved = value;
        unsetenv(CSimulatedDeviceChoice::kVariable);
        CSimulatedHardware::SetCurrent(nullptr);
    }
    void TearDown() override {
        CSimulatedHardware::SetCurrent(nullptr);
        saved ? setenv(CSimulatedDeviceChoice::kVariable, saved->c_str(), 1)
              : unsetenv(CSimulatedDeviceChoice::kVariable);
    }

    static RefPtr<IAudioDeviceEnumerator> Enumerator() {
        void* raw = nullptr;
        EXPECT_EQ(CAudioDeviceEnumerator::Create(IID_IAudioDeviceEnumerator, &raw), S_OK);
        return RefPtr<IAudioDeviceEnumerator>(static_cast<IAudioDeviceEnumerator*>(raw));
    }
    // The enumerator's list as "name@path".
    static std::vector<std::string> Listed() {
        auto enumerator = Enumerator();
        std::vector<std::string> listed;
        int32_t n = 0;
        enumerator->count(&n);
        for (int32_t i = 0; i < n; ++i) {
            std::string name, path;
            EXPECT_EQ(enumerator->item(i, &name, &path), S_OK);
            listed.push_back(name + "@" + path);
        }
        return listed;
    }
    static std::vector<std::string> SimulatedMicrophones() {
        auto hardware = CSimulatedHardware::Current();
        std::vector<std::string> listed;
        for (int32_t i = 0; i < hardware->Count(DeviceKind::Microphone); ++i) {
            std::string id;
            Variant name;
            hardware->IdAt(DeviceKind::Microphone, i, id);
            hardware->Get(DeviceKind::Microphone, id, DeviceProperty::Common::Name.value, &name);
            listed.push_back(name.GetString() + "@" + id);
        }
        return listed;
    }

    std::optional<std::string> saved;
    CTempEnvironment env;
};

TEST_F(UnsimulatedRun, TheSimulatedMicrophonesStayWithoutAServerOrWhenAskedForAndOpenByPathAsLiveSources) {
    env.SetEnv("PULSE_SERVER", env.Path("no-server/native"));
    EXPECT_EQ(Listed(), SimulatedMicrophones()) << "no sound server";
    // Each opens by its path as a live source; unknown paths and indexes are refused.
    auto enumerator = Enumerator();
    int32_t n = 0;
    std::string name, path;
    ASSERT_EQ(enumerator->count(&n), S_OK);
    ASSERT_EQ(enumerator->item(n - 1, &name, &path), S_OK);
    IAudioCapture* raw = nullptr;
    ASSERT_EQ(enumerator->createAudio("whatever the window passes", path, &raw), S_OK);
    RefPtr<IAudioCapture> audio(raw);
    void* source = nullptr;
    ASSERT_EQ(audio->QueryInterface(IID_IGraniteAudioSource, &source), S_OK);
    GstElementPtr element = RefPtr<IAudioSource>(static_cast<IAudioSource*>(source))->CreateSourceElement();
    ASSERT_TRUE(element);
    gboolean live = FALSE;
    g_object_get(element.get(), "is-live", &live, nullptr);
    EXPECT_TRUE(live) << "a microphone runs in real time";
    EXPECT_EQ(enumerator->createAudio("Microphone", "no such path", &raw), E_FAIL);
    EXPECT_EQ(raw, nullptr);
    EXPECT_EQ(enumerator->item(-1, &name, &path), E_INVALIDARG);
    EXPECT_EQ(enumerator->item(n, &name, &path), E_INVALIDARG);
    CPrivateSoundServer server; // with its microphone
    VIDORA_REQUIRE_SOUND_SERVER(server);
    setenv(CSimulatedDeviceChoice::kVariable, "camera,microphone", 1);
    EXPECT_EQ(Listed(), SimulatedMicrophones()) << "simulated devices asked for";
}

// Whether a stream records from the server's source `name` now.
bool Recording(const CPrivateSoundServer& server, const std::string& name) {
    std::string line;
    for (std::istringstream in(server.Pactl({"list", "short", "sources"}).value_or(""));
         std::getline(in, line);)
        if (line.find("\t" + name + "\t") != std::string::npos)
            return line.find("RUNNING") != std::string::npos;
    return false;
}

TEST_F(UnsimulatedRun, TheServersMicrophonesAreListedDefaultFirstAndTheChosenOneIsRecorded) {
    CPrivateSoundServer server;
    VIDORA_REQUIRE_SOUND_SERVER(server);
    ASSERT_TRUE(server.Pactl({"load-module", "module-null-source", "source_name=vidora_other_mic",
                              "description=Other-Microphone"}));
    const std::string test = "Test-Microphone@vidora_test_mic", other = "Other-Microphone@vidora_other_mic";
    // Listed by their source names, the default first; the monitor of the server's speaker is no microphone.
    ASSERT_TRUE(server.Pactl({"set-default-source", CPrivateSoundServer::kMicrophone}));
    EXPECT_EQ(Listed(), (std::vector{test, other}));
    ASSERT_TRUE(server.Pactl({"set-default-source", "vidora_other_mic"}));
    EXPECT_EQ(Listed(), (std::vector{other, test}));
    CFrameCollector frames;
    std::string id;
    ASSERT_TRUE(CSimulatedHardware::Current()->IdAt(DeviceKind::Camera, 0, id));
    RefPtr<IVideoCapture> capture = OpenCapture(id);
    Frames(capture.get())->AddFrameListener(&frames);
    ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
    ASSERT_EQ(capture->start(), S_OK);
    IAudioCapture* audio = nullptr;
    auto enumerator = Enumerator();
    ASSERT_EQ(enumerator->createAudio("", CPrivateSoundServer::kMicrophone, &audio), S_OK);
    const std::string file = env.Path("Video 1.wmv");
    RefPtr<CMovieRecorder> recorder(new CMovieRecorder());
    ASSERT_EQ(recorder->prepare(file, 80, 0, 0, capture.get(), audio), S_OK) << recorder->LastError();
    audio->Release();
    ASSERT_EQ(recorder->start(), S_OK) << recorder->LastError();
    QElapsedTimer clock;
    clock.start();
    while (!Recording(server, CPrivateSoundServer::kMicrophone) && clock.elapsed() < 5000)
        QThread::msleep(20);
    EXPECT_TRUE(Recording(server, CPrivateSoundServer::kMicrophone))
        << "not recording from the chosen source";
    EXPECT_FALSE(Recording(server, "vidora_other_mic"));
    EXPECT_FALSE(frames.Next(60, std::chrono::seconds(20)).y.empty());
    EXPECT_EQ(recorder->stop(), S_OK) << recorder->LastError();
    recorder.reset();
    EXPECT_FALSE(Recording(server, CPrivateSoundServer::kMicrophone)) << "the source stays open";
    Frames(capture.get())->RemoveFrameListener(&frames);
    capture->stop();
    const MovieReadBack movie = ReadBackMovie(file);
    ASSERT_FALSE(movie.picture.y.empty());
    EXPECT_EQ(movie.audioStreams, 1);
    EXPECT_NEAR(movie.seconds, 2.0, 0.5);
}
