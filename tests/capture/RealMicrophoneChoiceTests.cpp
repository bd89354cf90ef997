// Which of the sound server's microphones a movie prepared by the capture window records: the one the
// communications manager names when the device manager knows it, else the desktop's default microphone.
#include "SimulatedDevices.h"
#include "capture/CMovieRecording.h"
#include "granite/capture/RegisterGraniteCaptureObjects.h"
#include "granite/devices/CSimulatedDeviceChoice.h"
#include "support/CPrivateSoundServer.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

namespace {

void AddSource(const CPrivateSoundServer& server, const char* name, const char* description) {
    const auto sources = server.Pactl({"list", "short", "sources"});
    ASSERT_TRUE(sources);
    if (sources->find(std::string(name) + "\t") != std::string::npos)
        return;
    ASSERT_TRUE(server.Pactl({"load-module", "module-null-source", QStringLiteral("source_name=") + name,
                              QStringLiteral("description=") + description}));
}

TEST(RealMicrophoneChoice, AMovieRecordsTheNamedServerMicrophoneElseTheDefaultOne) {
    if (std::getenv(Granite::CSimulatedDeviceChoice::kVariable) != nullptr)
        GTEST_SKIP() << "this run asks for simulated devices";
    CTempEnvironment env;
    CPrivateSoundServer server;
    VIDORA_REQUIRE_SOUND_SERVER(server);
    AddSource(server, CPrivateSoundServer::kMicrophone, "Test-Microphone");
    AddSource(server, "vidora_other_mic", "Other-Microphone");
    ASSERT_TRUE(server.Pactl({"set-default-source", "vidora_other_mic"}));

    // The simulated camera of a run that did not ask for simulated devices.
    Granite::CSimulatedHardware::SetCurrent(nullptr);
    RegisterGraniteCaptureObjects();
    CSimulatedDevices devices;
    devices.hardware = Granite::CSimulatedHardware::Current();
    IVideoCapture* capture = devices.OpenCamera();
    ASSERT_NE(capture, nullptr);
    ASSERT_EQ(capture->setVideoFormat(320, 240, 30), S_OK);
    ASSERT_EQ(capture->start(), S_OK);

    const std::vector<std::string> known{"Other-Microphone", "Test-Microphone"};
    struct Row {
        std::string comms;
        std::vector<std::string> known;
        std::string expected;
    };
    for (const Row& row :
         {Row{"test-microphone", known, "Test-Microphone"}, Row{"", known, "Other-Microphone"},
          Row{"Test-Microphone", {"Other-Microphone"}, "Other-Microphone"}}) {
        CMovieRecording recording;
        ASSERT_EQ(recording.Prepare(capture, env.Path("Video 1.wmv"), true, false, row.comms, row.known),
                  S_OK);
        EXPECT_EQ(recording.MicrophoneName(), row.expected) << "chosen: '" << row.comms << "'";
    }

    capture->stop();
    capture->Release();
    UnregisterGraniteCaptureObjects();
    devices.Unplug();
}

} // namespace
