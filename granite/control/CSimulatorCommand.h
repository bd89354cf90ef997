#pragma once
// The command language of the vidora-sim tool: parsed by the tool (so that a typing mistake is told at once,
// even when the program is not running) and executed by the running program's control server.
#include "granite/control/CSimulatedDeviceControl.h"

#include <string>
#include <vector>

namespace Granite {

struct SimulatorCommand {
    enum class Verb {
        List,
        Plug,
        Unplug,
        Shutter,
        StreamStart,
        StreamStop,
        Button,
        Focus,
        FocusFails,
        Scene,
        Motion,
        Set,
        Option,
        Event,
        MicrophoneInput,
        Fail,
        ClearFailures,
    };
    Verb verb = Verb::List;
    DeviceKind kind = DeviceKind::Camera;
    int index = 0;      // 1-based device index; 0 = the one in use
    std::string text;   // model, program name
    int32_t number = 0; // property, event code, operation, option, focus state
    int32_t value = 0;  // property value, input level
    bool flag = false;  // shutter closed, mirror button, option on, scene dark, focus fails
    bool flag2 = false; // scene backlit
    int times = -1;     // how often an operation fails; -1 until cleared
};

class CSimulatorCommand {
public:
    // At most this many arguments and this long each: commands are short.
    static constexpr size_t kMaxArguments = 12;
    static constexpr size_t kMaxArgumentLength = 512;

    // Parses the arguments after the program name; false with a one-line error for a malformed command.
    static bool Parse(const std::vector<std::string>& args, SimulatorCommand& command, std::string& error);
    // Carries a command out; false with the reason when the simulation refused it. `output` is what the
    // tool prints.
    static bool Execute(const SimulatorCommand& command, CSimulatedDeviceControl& control,
                        std::string& output);
    static std::string Usage();
};

} // namespace Granite
