// Choosing the simulated devices with VIDORA_SIMULATED_DEVICES.
#include "granite/devices/CSimulatedDeviceChoice.h"
#include "granite/devices/CSimulatedHardware.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

using namespace Granite;

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
        // Control characters never reach the message as they are.
        {"cam\x1b[2Jera", ""},
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
