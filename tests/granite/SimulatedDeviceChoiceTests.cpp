// Choosing the simulated devices with VIDORA_SIMULATED_DEVICES.
#include "granite/devices/CSimulatedDeviceChoice.h"
#include "granite/devices/CSimulatedHardware.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

using namespace Granite;

namespace {
std::vector<DeviceRequest> ParseOk(const std::string& text) {
    std::vector<DeviceRequest> devices;
    std::string error;
    EXPECT_TRUE(CSimulatedDeviceChoice::Parse(text, devices, error)) << text << ": " << error;
    EXPECT_EQ(error, "");
    return devices;
}

std::string ParseError(const std::string& text) {
    std::vector<DeviceRequest> devices{{DeviceKind::Hid, "standard"}};
    std::string error;
    EXPECT_FALSE(CSimulatedDeviceChoice::Parse(text, devices, error)) << text;
    EXPECT_EQ(devices, CSimulatedDeviceChoice::Defaults()) << "a bad list gives the default set: " << text;
    return error;
}
} // namespace

TEST(SimulatedDeviceChoice, AcceptsKindsModelsCountsBlanksAndAnyCase) {
    EXPECT_EQ(ParseOk("camera:full,camera:basic,microphone,speaker"),
              (std::vector<DeviceRequest>{{DeviceKind::Camera, "full"},
                                          {DeviceKind::Camera, "basic"},
                                          {DeviceKind::Microphone, "standard"},
                                          {DeviceKind::Speaker, "standard"}}));
    EXPECT_EQ(ParseOk(" Camera : PTZ * 2 , mic,HID "),
              (std::vector<DeviceRequest>{{DeviceKind::Camera, "ptz"},
                                          {DeviceKind::Camera, "ptz"},
                                          {DeviceKind::Microphone, "standard"},
                                          {DeviceKind::Hid, "standard"}}));
    EXPECT_EQ(ParseOk("camera"), (std::vector<DeviceRequest>{{DeviceKind::Camera, "full"}}));
    EXPECT_TRUE(ParseOk("none").empty());
    EXPECT_TRUE(ParseOk("  ").empty());
}

TEST(SimulatedDeviceChoice, MalformedListsSayWhatIsWrongAndGiveTheDefaultSet) {
    EXPECT_NE(ParseError("camera,,speaker").find("item 2 is empty"), std::string::npos);
    EXPECT_NE(ParseError("camera:deluxe").find("unknown camera model"), std::string::npos);
    EXPECT_NE(ParseError("projector").find("unknown device kind"), std::string::npos);
    EXPECT_NE(ParseError("camera:").find("no model"), std::string::npos);
    EXPECT_NE(ParseError("camera*0").find("bad count"), std::string::npos);
    EXPECT_NE(ParseError("camera*x").find("bad count"), std::string::npos);
    EXPECT_NE(ParseError("camera*1000").find("bad count"), std::string::npos);
    EXPECT_NE(ParseError("camera*9,mic*9").find("more than 16"), std::string::npos);
    EXPECT_NE(ParseError("none,camera").find("none"), std::string::npos);
    EXPECT_NE(ParseError("microphone:full").find("unknown microphone model"), std::string::npos);
    EXPECT_NE(ParseError(std::string(2000, 'c')).find("too long"), std::string::npos);
    // Control characters never reach the message as they are.
    const std::string error = ParseError(std::string("cam\x1b[2Jera"));
    EXPECT_EQ(error.find('\x1b'), std::string::npos);
}

TEST(SimulatedDeviceChoice, TheEnvironmentChoosesTheHardwareAndABadValueStillGivesDevices) {
    CTempEnvironment env;
    unsetenv(CSimulatedDeviceChoice::kVariable);
    env.SetEnv(CSimulatedDeviceChoice::kVariable, "camera:basic,speaker");
    CSimulatedHardware::SetCurrent(nullptr);
    auto hardware = CSimulatedHardware::Current();
    EXPECT_EQ(hardware->Count(DeviceKind::Camera), 1);
    EXPECT_EQ(hardware->Count(DeviceKind::Microphone), 0);
    EXPECT_EQ(hardware->Count(DeviceKind::Speaker), 1);

    env.SetEnv(CSimulatedDeviceChoice::kVariable, "camera:basic,,");
    CSimulatedHardware::SetCurrent(nullptr);
    hardware = CSimulatedHardware::Current();
    EXPECT_EQ(hardware->Count(DeviceKind::Camera), 1);
    EXPECT_EQ(hardware->Count(DeviceKind::Microphone), 1);
    EXPECT_EQ(hardware->Count(DeviceKind::Speaker), 1);
    std::string id;
    ASSERT_TRUE(hardware->IdAt(DeviceKind::Camera, 0, id));
    EXPECT_NE(id.find("pid_0a5d"), std::string::npos) << "the default camera is the full model";
    CSimulatedHardware::SetCurrent(nullptr);
}
