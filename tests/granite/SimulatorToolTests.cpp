// The vidora-sim tool: its command language, and the real tool run as a child process against a service
// in this process. The test thread pumps no events while the tool runs: the control server must answer
// from its own thread.
#include "GraniteServiceFixture.h"
#include "ProgramRun.h"
#include "granite/control/CSimulatorCommand.h"
#include "granite/control/CSimulatorControlServer.h"

using namespace Granite;

namespace {
ProgramRun RunTool(const QStringList& args) {
    return RunProgram(QStringLiteral(VIDORA_BIN_DIR "/vidora-sim"), args);
}

bool ParseFails(const std::vector<std::string>& args, const std::string& expected) {
    SimulatorCommand command;
    std::string error;
    const bool parsed = CSimulatorCommand::Parse(args, command, error);
    return !parsed && error.find(expected) != std::string::npos;
}
} // namespace

TEST(SimulatorCommand, ParsesTargetsNamesAndValues) {
    SimulatorCommand c;
    std::string error;
    ASSERT_TRUE(CSimulatorCommand::Parse({"set", "camera", "2", "auto-focus", "off"}, c, error)) << error;
    EXPECT_EQ(c.verb, SimulatorCommand::Verb::Set);
    EXPECT_EQ(c.index, 2);
    EXPECT_EQ(c.number, 99);
    EXPECT_EQ(c.value, 0);
    ASSERT_TRUE(CSimulatorCommand::Parse({"set", "microphone", "volume", "0x20"}, c, error)) << error;
    EXPECT_EQ(c.kind, DeviceKind::Microphone);
    EXPECT_EQ(c.index, 0);
    EXPECT_EQ(c.value, 32);
    ASSERT_TRUE(CSimulatorCommand::Parse({"set", "pan", "-4"}, c, error)) << error;
    EXPECT_EQ(c.value, -4);
    ASSERT_TRUE(CSimulatorCommand::Parse({"shutter", "closed", "camera", "3"}, c, error)) << error;
    EXPECT_TRUE(c.flag);
    EXPECT_EQ(c.index, 3);
    ASSERT_TRUE(CSimulatorCommand::Parse({"streaming", "start", "setup.exe"}, c, error)) << error;
    EXPECT_EQ(c.text, "setup.exe");
    ASSERT_TRUE(CSimulatorCommand::Parse({"fail", "start", "2"}, c, error)) << error;
    EXPECT_EQ(c.number, 9);
    EXPECT_EQ(c.times, 2);
    ASSERT_TRUE(CSimulatorCommand::Parse({"fail", "create"}, c, error)) << error;
    EXPECT_EQ(c.times, -1);
    for (const char* how : {"fail", "ok"}) {
        ASSERT_TRUE(CSimulatorCommand::Parse({"focus", how, "camera", "2"}, c, error)) << error;
        EXPECT_EQ(c.verb, SimulatorCommand::Verb::FocusFails);
        EXPECT_EQ(c.flag, std::string(how) == "fail");
        EXPECT_EQ(c.index, 2);
    }
}

TEST(SimulatorCommand, RejectsMalformedCommandsWithAReason) {
    EXPECT_TRUE(ParseFails({}, "no command"));
    EXPECT_TRUE(ParseFails({"dance"}, "unknown command"));
    EXPECT_TRUE(ParseFails({"shutter", "ajar"}, "usage"));
    EXPECT_TRUE(ParseFails({"shutter", "open", "microphone", "1"}, "works on a camera"));
    EXPECT_TRUE(ParseFails({"unplug", "camera"}, "usage"));
    EXPECT_TRUE(ParseFails({"unplug", "camera", "0"}, "usage"));
    EXPECT_TRUE(ParseFails({"plug", "camera", "deluxe"}, "unknown camera model"));
    EXPECT_TRUE(ParseFails({"set", "sharpness", "3"}, "unknown camera property"));
    EXPECT_TRUE(ParseFails({"set", "zoom", "lots"}, "bad value"));
    EXPECT_TRUE(ParseFails({"set", "zoom", "99999999999"}, "bad value"));
    EXPECT_TRUE(ParseFails({"fail", "8"}, "unknown operation"));
    EXPECT_TRUE(ParseFails({"fail", "15", "0"}, "usage"));
    EXPECT_TRUE(ParseFails({"mic-level", "101"}, "usage"));
    EXPECT_TRUE(ParseFails({"streaming", "start", "a\tb"}, "control character"));
    EXPECT_TRUE(ParseFails(std::vector<std::string>(20, "list"), "too many"));
}

TEST(SimulatorTool, WithoutARunningProgramExitsWithOneAndUsageErrorsWithTwo) {
    CTempEnvironment env;
    ProgramRun run = RunTool({"list"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("not running"), std::string::npos) << run.err;
    run = RunTool({"shutter", "sideways"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("usage"), std::string::npos);
    run = RunTool({});
    EXPECT_EQ(run.exitCode, 2);
    run = RunTool({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("streaming start PROGRAM"), std::string::npos);
}

class SimulatorToolWithService : public GraniteServiceFixture {};

TEST_F(SimulatorToolWithService, ChangesTheDevicesOfTheRunningProgram) {
    ASSERT_EQ(service->AttachVideoDevice(Camera(2)), S_OK); // the camera "the program" uses
    ASSERT_EQ(service->SubscribeVideoEvent(Camera(2), CamEvent::ShutterClosed, 0), S_OK);

    ProgramRun run = RunTool({"shutter", "closed"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_TRUE(sink.WaitForCount("camera-event", 1));
    EXPECT_EQ(sink.Named("camera-event")[0].id, Camera(2)) << "camera commands go to the camera in use";

    run = RunTool({"streaming", "start", "setup.exe", "camera", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::string application, executable;
    ASSERT_EQ(service->GetDeviceStrings(Camera(0), 0, &application, &executable), S_OK);
    EXPECT_EQ(application, "setup.exe");

    run = RunTool({"set", "camera", "1", "zoom", "250"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(CameraNumber(Camera(0), 20), 250);
    run = RunTool({"set", "camera", "1", "zoom", "9999"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("not accepted"), std::string::npos) << run.err;
    run = RunTool({"set", "camera", "2", "zoom", "200"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("does not have"), std::string::npos) << run.err;

    run = RunTool({"focus", "fail", "camera", "2"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no automatic focus"), std::string::npos) << run.err;
    run = RunTool({"focus", "fail", "camera", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    run = RunTool({"motion", "on"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(hardware->SceneMotion());
    run = RunTool({"motion", "off"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(hardware->SceneMotion());
    EXPECT_EQ(RunTool({"motion", "sometimes"}).exitCode, 2);

    run = RunTool({"plug", "camera", "basic"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_TRUE(sink.WaitForCount("arrived", 1));
    run = RunTool({"unplug", "camera", "9"});
    EXPECT_EQ(run.exitCode, 1);

    run = RunTool({"fail", "14", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    Variant v;
    EXPECT_EQ(service->GetVideoProperty(Camera(0), 8, &v), E_FAIL);
    EXPECT_EQ(service->GetVideoProperty(Camera(0), 8, &v), S_OK);

    run = RunTool({"list"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(
        run.out.find("camera 1: Brenmoor Vidora Pro Webcam (full, pid 0x0a5d), shutter open, streamed by "
                     "setup.exe, focus fails"),
        std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("camera 4: Brenmoor Vidora Webcam #2"), std::string::npos) << run.out;
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
