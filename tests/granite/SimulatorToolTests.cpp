// The vidora-sim tool: its command language, and the real tool run as a child process against a service in
// this process, whose control server must answer from its own thread (the test thread pumps no events).
#include "GraniteServiceFixture.h"
#include "ProgramRun.h"
#include "granite/control/CSimulatorCommand.h"
#include "granite/control/CSimulatorControlServer.h"

using namespace Granite;

namespace {
ProgramRun RunTool(const QStringList& args) {
    return RunProgram(QStringLiteral(VIDORA_BIN_DIR "/vidora-sim"), args);
}
} // namespace

TEST(SimulatorCommand, RejectsMalformedCommandsWithAReason) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "no command"},
        {{"dance"}, "unknown command"},
        {{"shutter", "ajar"}, "usage"},
        {{"shutter", "open", "microphone", "1"}, "works on a camera"},
        {{"unplug", "camera", "0"}, "usage"},
        {{"plug", "camera", "deluxe"}, "unknown camera model"},
        {{"set", "sharpness", "3"}, "unknown camera property"},
        {{"set", "zoom", "99999999999"}, "bad value"},
        {{"fail", "8"}, "unknown operation"},
        {{"mic-level", "101"}, "usage"},
        {{"streaming", "start", "a\tb"}, "control character"},
        {std::vector<std::string>(20, "list"), "too many"},
    };
    for (const auto& [args, expected] : cases) {
        SimulatorCommand command;
        std::string error;
        EXPECT_FALSE(CSimulatorCommand::Parse(args, command, error)) << expected;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
}

TEST(SimulatorTool, WithoutARunningProgramExitsWithOneAndUsageErrorsWithTwo) {
    CTempEnvironment env;
    const ProgramRun list = RunTool({"list"}), usage = RunTool({"shutter", "sideways"}),
                     help = RunTool({"--help"});
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_NE(list.err.find("not running"), std::string::npos) << list.err;
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(RunTool({}).exitCode, 2);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("streaming start PROGRAM"), std::string::npos);
}

class SimulatorToolWithService : public GraniteServiceFixture {};

TEST_F(SimulatorToolWithService, ChangesTheDevicesOfTheRunningProgram) {
    ASSERT_EQ(service->AttachVideoDevice(Camera(2)), S_OK); // the camera "the program" uses
    ASSERT_EQ(service->SubscribeVideoEvent(Camera(2), CamEvent::ShutterClosed, 0), S_OK);
    const struct {
        QStringList args;
        int exitCode;
        const char* says;
    } runs[] = {
        {{"shutter", "closed"}, 0, ""},
        {{"streaming", "start", "setup.exe", "camera", "1"}, 0, ""},
        {{"set", "camera", "1", "zoom", "0xfa"}, 0, ""},
        {{"set", "camera", "1", "zoom", "9999"}, 1, "not accepted"},
        {{"set", "camera", "2", "zoom", "200"}, 1, "does not have"},
        {{"focus", "fail", "camera", "2"}, 1, "no automatic focus"},
        {{"focus", "fail", "camera", "1"}, 0, ""},
        {{"motion", "on"}, 0, ""},
        {{"plug", "camera", "basic"}, 0, ""},
        {{"unplug", "camera", "9"}, 1, ""},
    };
    for (const auto& r : runs) {
        const ProgramRun run = RunTool(r.args);
        EXPECT_EQ(run.exitCode, r.exitCode) << r.args.join(' ').toStdString() << ": " << run.err;
        EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
    }
    ASSERT_TRUE(sink.WaitForCount("camera-event", 1));
    EXPECT_EQ(sink.Named("camera-event")[0].id, Camera(2)) << "camera commands go to the camera in use";
    std::string application, executable;
    ASSERT_EQ(service->GetDeviceStrings(Camera(0), 0, &application, &executable), S_OK);
    EXPECT_EQ(application, "setup.exe");
    EXPECT_EQ(CameraNumber(Camera(0), 20), 250);
    EXPECT_TRUE(hardware->SceneMotion());
    ASSERT_TRUE(sink.WaitForCount("arrived", 1));
    ASSERT_EQ(RunTool({"fail", "14", "1"}).exitCode, 0);
    Variant v;
    EXPECT_EQ(service->GetVideoProperty(Camera(0), 8, &v), E_FAIL);
    EXPECT_EQ(service->GetVideoProperty(Camera(0), 8, &v), S_OK);
    const ProgramRun list = RunTool({"list"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(
        list.out.find("camera 1: Brenmoor Vidora Pro Webcam (full, pid 0x0a5d), shutter open, streamed by "
                      "setup.exe, focus fails"),
        std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("camera 4: Brenmoor Vidora Webcam #2"), std::string::npos) << list.out;
}

TEST(SimulatorToolServer, ReplacesASocketLeftBehindAndGoesWithTheLastService) {
    CTempEnvironment env;
    auto hardware = std::make_shared<CSimulatedHardware>();
    env.WriteFile("runtime/vidora/simulator.sock", "left behind by a program that died");
    {
        auto server = CSimulatorControlServer::Acquire(hardware);
        ASSERT_TRUE(server && server->IsListening());
        EXPECT_EQ(CSimulatorControlServer::Acquire(hardware), server) << "one server per process";
        ProgramRun run = RunTool({"mic-level", "30"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
    }
    EXPECT_EQ(RunTool({"list"}).exitCode, 1) << "the server went with its last holder";
}
