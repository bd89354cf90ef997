// Which microphones a movie can record from, and movies that really record the sound server's microphone
// (a private server with silent sources, so the tests hear nothing of the desktop's own devices).
#include "CountingHelpers.h"
#include "MovieReadBack.h"
#include "granite/capture/CAudioDeviceEnumerator.h"
#include "granite/capture/CCameraEnumerator.h"
#include "granite/capture/CMicrophoneListPolicy.h"
#include "granite/capture/CMovieRecorder.h"
#include "granite/devices/CSimulatedDeviceChoice.h"
#include "granite/devices/CSimulatedHardware.h"
#include "services/DeviceManagerProperties.h"
#include "services/IVideoCapture.h"
#include "support/CPrivateSoundServer.h"
#include "support/CTempEnvironment.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>

using namespace Granite;

namespace {

using Source = CMicrophoneListPolicy::Source;

TEST(MicrophoneListPolicy, RealSourcesReplaceTheSimulatedOnesWithTheDefaultFirstAndNoMonitors) {
    const Source sim1{"Sim 1", "sim:1"}, sim2{"Sim 2", "sim:2"};
    const Source usb{"USB Mic", "alsa_input.usb", false, false, 0};
    const Source builtIn{"Built-in", "alsa_input.pci", false, true, 1};
    const Source monitor{"Monitor of Speakers", "alsa_output.pci.monitor", true, true, 2};
    const Source unnamed{"", "bluez_source.headset", false, false, 3};
    const Source twin{"Twin", "Twin", false, false, 4};
    struct Row {
        const char* why;
        std::vector<Source> simulated, real;
        bool simulationAsked;
        std::vector<std::string> expected; // "name@path/origin"
    };
    const Row rows[] = {
        {"no real source", {sim1, sim2}, {}, false, {"Sim 1@sim:1/-1", "Sim 2@sim:2/-1"}},
        {"real ones replace, default first",
         {sim1},
         {usb, monitor, builtIn},
         false,
         {"Built-in@alsa_input.pci/1", "USB Mic@alsa_input.usb/0"}},
        {"only a monitor", {sim1}, {monitor}, false, {"Sim 1@sim:1/-1"}},
        {"simulation asked", {sim1}, {usb, builtIn}, true, {"Sim 1@sim:1/-1"}},
        {"simulation asked, no simulated microphone", {}, {usb}, true, {}},
        {"nothing at all", {}, {}, false, {}},
        {"unnamed and twin sources",
         {sim1},
         {unnamed, twin, twin},
         false,
         {"bluez_source.headset@bluez_source.headset/3", "Twin@Twin/4", "Twin@Twin#2/4"}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> got;
        for (const Source& s : CMicrophoneListPolicy::Arrange(row.simulated, row.real, row.simulationAsked))
            got.push_back(s.name + "@" + s.path + "/" + std::to_string(s.origin));
        EXPECT_EQ(got, row.expected) << row.why;
    }
}

// A run that did not ask for simulated devices (no variable, no hardware handed in), as on a user's
// desktop; the simulated hardware is made from the defaults when something asks for it.
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
        if (saved)
            setenv(CSimulatedDeviceChoice::kVariable, saved->c_str(), 1);
    }

    // The enumerator's list as "name@path".
    static std::vector<std::string> Listed() {
        IAudioDeviceEnumerator* enumerator = nullptr;
        EXPECT_EQ(
            CAudioDeviceEnumerator::Create(IID_IAudioDeviceEnumerator, reinterpret_cast<void**>(&enumerator)),
            S_OK);
        std::vector<std::string> listed;
        int32_t n = 0;
        enumerator->count(&n);
        for (int32_t i = 0; i < n; ++i) {
            std::string name, path;
            EXPECT_EQ(enumerator->item(i, &name, &path), S_OK);
            listed.push_back(name + "@" + path);
        }
        enumerator->Release();
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

    // Adds a silent source to the server unless it has one of that name already.
    static void AddSource(const CPrivateSoundServer& server, const char* name, const char* description) {
        const auto sources = server.Pactl({"list", "short", "sources"});
        ASSERT_TRUE(sources);
        if (sources->find(std::string(name) + "\t") != std::string::npos)
            return;
        ASSERT_TRUE(server.Pactl({"load-module", "module-null-source", QStringLiteral("source_name=") + name,
                                  QStringLiteral("description=") + description}))
            << "cannot add " << name;
    }
    static void SetDefault(const CPrivateSoundServer& server, const char* name) {
        ASSERT_TRUE(server.Pactl({"set-default-source", name}));
    }

    std::optional<std::string> saved;
    CTempEnvironment env;
};

TEST_F(UnsimulatedRun, TheServersMicrophonesAreListedByTheirSourceNamesDefaultFirstWithoutMonitors) {
    CPrivateSoundServer server;
    VIDORA_REQUIRE_SOUND_SERVER(server);
    AddSource(server, CPrivateSoundServer::kMicrophone, "Test-Microphone");
    AddSource(server, "vidora_other_mic", "Other-Microphone");
    const std::string test = "Test-Microphone@vidora_test_mic", other = "Other-Microphone@vidora_other_mic";
    for (const char* preferred : {"vidora_other_mic", CPrivateSoundServer::kMicrophone}) {
        SetDefault(server, preferred);
        const std::vector<std::string> expected = preferred == std::string("vidora_other_mic")
                                                      ? std::vector{other, test}
                                                      : std::vector{test, other};
        EXPECT_EQ(Listed(), expected)
            << "default " << preferred << "; the monitor of Test-Speaker is no microphone";
    }
}

TEST_F(UnsimulatedRun, TheSimulatedMicrophonesStayWithoutAServerOrWhenTheRunAskedForThem) {
    env.SetEnv("PULSE_SERVER", env.Path("no-server/native"));
    EXPECT_EQ(Listed(), SimulatedMicrophones()) << "no sound server";

    CPrivateSoundServer server;
    VIDORA_REQUIRE_SOUND_SERVER(server);
    AddSource(server, CPrivateSoundServer::kMicrophone, "Test-Microphone");
    setenv(CSimulatedDeviceChoice::kVariable, "camera,microphone", 1);
    EXPECT_EQ(Listed(), SimulatedMicrophones()) << "simulated devices asked for";
}

// Records two seconds of the simulated camera with the microphone the enumerator lists under `name`.
class MicrophoneMovie : public UnsimulatedRun {
protected:
    void TearDown() override {
        if (capture) {
            if (frameSource)
                frameSource->RemoveFrameListener(&counter);
            capture->stop();
            capture->Release();
        }
        UnsimulatedRun::TearDown();
    }

    // Opens the audio the enumerator lists under `name`; null when there is none.
    static IAudioCapture* OpenAudio(const std::string& name) {
        IAudioDeviceEnumerator* enumerator = nullptr;
        CAudioDeviceEnumerator::Create(IID_IAudioDeviceEnumerator, reinterpret_cast<void**>(&enumerator));
        IAudioCapture* audio = nullptr;
        int32_t n = 0;
        enumerator->count(&n);
        for (int32_t i = 0; i < n && audio == nullptr; ++i) {
            std::string listedName, path;
            enumerator->item(i, &listedName, &path);
            if (listedName == name)
                enumerator->createAudio(listedName, path, &audio);
        }
        enumerator->Release();
        return audio;
    }
    void StartCamera() {
        auto hardware = CSimulatedHardware::Current();
        std::string id;
        ASSERT_TRUE(hardware->IdAt(DeviceKind::Camera, 0, id));
        ICameraEnumerator* cameras = CCameraEnumerator::Create();
        ASSERT_EQ(cameras->createCapture(id, &capture), S_OK);
        cameras->Release();
        ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
        void* raw = nullptr;
        ASSERT_EQ(capture->QueryInterface(IID_IGraniteFrameSource, &raw), S_OK);
        frameSource = static_cast<IFrameSource*>(raw);
        frameSource->Release(); // the capture holds it
        frameSource->AddFrameListener(&counter);
        ASSERT_EQ(capture->start(), S_OK);
    }
    // Records the movie; `whileRecording` looks at the world while it runs.
    void Record(IAudioCapture* audio, const std::string& file, const std::function<void()>& whileRecording) {
        auto* recorder = new CMovieRecorder(&CGstRecordingPipeline::MakeRegisteredElement);
        ASSERT_EQ(recorder->prepare(file, 80, 0, 0, capture, audio), S_OK) << recorder->LastError();
        ASSERT_EQ(recorder->start(), S_OK) << recorder->LastError();
        EXPECT_TRUE(counter.frames.WaitFor(counter.frames.Count() + 60, std::chrono::seconds(20)));
        whileRecording();
        EXPECT_EQ(recorder->stop(), S_OK) << recorder->LastError();
        recorder->Release();
    }

    IVideoCapture* capture = nullptr;
    IFrameSource* frameSource = nullptr;
    CFrameCounter counter;
};

// The server's recording streams of a source, by the source's name; -1 when pactl cannot tell.
int RecordingStreamsOf(const CPrivateSoundServer& server, const std::string& source) {
    const auto sources = server.Pactl({"list", "short", "sources"});
    const auto outputs = server.Pactl({"list", "short", "source-outputs"});
    if (!sources || !outputs)
        return -1;
    std::string index, line;
    for (std::istringstream in(*sources); std::getline(in, line);)
        if (line.find("\t" + source + "\t") != std::string::npos)
            index = line.substr(0, line.find('\t'));
    int streams = 0;
    for (std::istringstream in(*outputs); std::getline(in, line);) {
        std::istringstream fields(line);
        std::string output, of;
        fields >> output >> of;
        streams += !index.empty() && of == index;
    }
    return streams;
}

TEST_F(MicrophoneMovie, TheChosenServerMicrophoneIsRecordedIntoTheMovie) {
    CPrivateSoundServer server;
    VIDORA_REQUIRE_SOUND_SERVER(server);
    AddSource(server, CPrivateSoundServer::kMicrophone, "Test-Microphone");
    AddSource(server, "vidora_other_mic", "Other-Microphone");
    SetDefault(server, "vidora_other_mic");
    StartCamera();
    IAudioCapture* audio = OpenAudio("Test-Microphone");
    ASSERT_NE(audio, nullptr);
    const std::string file = env.Path("Video 1.wmv");
    Record(audio, file, [&] {
        QElapsedTimer clock;
        clock.start();
        while (RecordingStreamsOf(server, CPrivateSoundServer::kMicrophone) < 1 && clock.elapsed() < 5000)
            QThread::msleep(20);
        EXPECT_EQ(RecordingStreamsOf(server, CPrivateSoundServer::kMicrophone), 1)
            << "the movie does not record from the chosen source";
        EXPECT_EQ(RecordingStreamsOf(server, "vidora_other_mic"), 0);
    });
    audio->Release();
    EXPECT_EQ(RecordingStreamsOf(server, CPrivateSoundServer::kMicrophone), 0) << "the source stays open";
    const MovieReadBack movie = ReadBackMovie(file);
    ASSERT_TRUE(movie.opened) << movie.error;
    EXPECT_EQ(movie.audioStreams, 1);
    EXPECT_NEAR(movie.seconds, 2.0, 0.5);
}

TEST_F(MicrophoneMovie, WithoutAServerTheSimulatedMicrophoneIsRecorded) {
    env.SetEnv("PULSE_SERVER", env.Path("no-server/native"));
    StartCamera();
    const std::vector<std::string> simulated = SimulatedMicrophones();
    ASSERT_FALSE(simulated.empty());
    IAudioCapture* audio = OpenAudio(simulated.front().substr(0, simulated.front().find('@')));
    ASSERT_NE(audio, nullptr);
    const std::string file = env.Path("Video 1.wmv");
    Record(audio, file, [] {});
    audio->Release();
    const MovieReadBack movie = ReadBackMovie(file);
    ASSERT_TRUE(movie.opened) << movie.error;
    EXPECT_EQ(movie.audioStreams, 1);
}

} // namespace
