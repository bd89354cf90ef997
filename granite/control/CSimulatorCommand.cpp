#include "granite/control/CSimulatorCommand.h"

#include "granite/control/CPropertyNames.h"
#include "granite/devices/CSimulatedDeviceCatalog.h"
#include "platform/TextUtil.h"

#include <cctype>

namespace Granite {
namespace {
std::string Lower(const std::string& s) {
    return Text::ToLower(s);
}

// A signed decimal or "0x" hexadecimal number that fits 32 bits.
bool ParseInt(const std::string& text, int32_t& value) {
    std::string t = Lower(Text::Trim(text));
    bool negative = false;
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        t.erase(0, 1);
    }
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && t[1] == 'x') {
        base = 16;
        t.erase(0, 2);
    }
    if (t.empty() || t.size() > 10)
        return false;
    int64_t v = 0;
    for (char c : t) {
        int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                    : (base == 16 && c >= 'a' && c <= 'f')      ? c - 'a' + 10
                                                                : -1;
        if (digit < 0)
            return false;
        v = v * base + digit;
        if (v > 0xFFFFFFFFll)
            return false;
    }
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > static_cast<int64_t>(UINT32_MAX))
        return false;
    value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
}

// A property value: a number or a word for a switch.
bool ParseValue(const std::string& text, int32_t& value) {
    const std::string t = Lower(text);
    if (t == "on" || t == "true" || t == "yes" || t == "closed") {
        value = 1;
        return true;
    }
    if (t == "off" || t == "false" || t == "no" || t == "open") {
        value = 0;
        return true;
    }
    return ParseInt(t, value);
}

bool ParseIndex(const std::string& text, int& index) {
    int32_t v = 0;
    if (!ParseInt(text, v) || v < 1 || v > 99)
        return false;
    index = v;
    return true;
}

// Takes a trailing "<kind> <index>" that names the target device.
bool TakeTarget(std::vector<std::string>& args, size_t minimum, DeviceKind kind, int& index,
                std::string& error) {
    if (args.size() < minimum + 2)
        return true;
    DeviceKind named;
    if (!CSimulatedDeviceCatalog::ParseKind(args[args.size() - 2], named))
        return true;
    if (named != kind) {
        error = "this command works on a " + CSimulatedDeviceCatalog::KindName(kind);
        return false;
    }
    if (!ParseIndex(args.back(), index)) {
        error = "bad " + CSimulatedDeviceCatalog::KindName(kind) + " number \"" + args.back() + "\"";
        return false;
    }
    args.resize(args.size() - 2);
    return true;
}

bool ParseOperation(const std::string& text, int32_t& operation) {
    const std::string t = Lower(text);
    if (t == "create")
        operation = kOperationCreate;
    else if (t == "advise")
        operation = kOperationAdvise;
    else if (t == "register")
        operation = kOperationRegister;
    else if (t == "start")
        operation = kOperationStart;
    else if (!ParseInt(t, operation))
        return false;
    return CFailureTable::IsKnownOperation(operation);
}

std::string Describe(HRESULT hr) {
    switch (hr) {
    case E_DEVICE_NOT_CONNECTED:
        return "no such device is plugged in";
    case E_NOTIMPL:
        return "the device does not have that property";
    case E_ACCESSDENIED:
        return "the device does not allow that now";
    case E_INVALIDARG:
        return "the value is not accepted";
    case E_OUTOFMEMORY:
        return "too many devices are plugged in";
    default:
        return Text::Format("the simulation answered 0x%08X", static_cast<unsigned>(hr));
    }
}
} // namespace

bool CSimulatorCommand::Parse(const std::vector<std::string>& input, SimulatorCommand& c,
                              std::string& error) {
    c = SimulatorCommand();
    error.clear();
    if (input.empty()) {
        error = "no command given";
        return false;
    }
    if (input.size() > kMaxArguments) {
        error = "too many arguments";
        return false;
    }
    for (const std::string& a : input) {
        if (a.size() > kMaxArgumentLength || a.find_first_of("\t\r\n") != std::string::npos || a.empty()) {
            error = "an argument is empty, too long or contains a control character";
            return false;
        }
    }
    std::vector<std::string> args = input;
    const std::string verb = Lower(args[0]);
    auto usage = [&](const char* form) {
        error = std::string("usage: vidora-sim ") + form;
        return false;
    };

    if (verb == "list") {
        c.verb = SimulatorCommand::Verb::List;
        return args.size() == 1 ? true : usage("list");
    }
    if (verb == "plug" || verb == "unplug") {
        const bool plug = verb == "plug";
        if (args.size() < 2 || args.size() > 3 || !CSimulatedDeviceCatalog::ParseKind(args[1], c.kind))
            return usage(plug ? "plug camera|microphone|speaker|hid [model]"
                              : "unplug camera|microphone|speaker|hid N");
        c.verb = plug ? SimulatorCommand::Verb::Plug : SimulatorCommand::Verb::Unplug;
        if (plug) {
            if (args.size() == 3) {
                if (!CSimulatedDeviceCatalog::IsModel(c.kind, args[2])) {
                    std::string known;
                    for (const std::string& m : CSimulatedDeviceCatalog::Models(c.kind))
                        known += (known.empty() ? "" : ", ") + m;
                    error = "unknown " + CSimulatedDeviceCatalog::KindName(c.kind) + " model \"" + args[2] +
                            "\" (known: " + known + ")";
                    return false;
                }
                c.text = Lower(args[2]);
            }
            return true;
        }
        if (args.size() != 3 || !ParseIndex(args[2], c.index))
            return usage("unplug camera|microphone|speaker|hid N");
        return true;
    }
    if (verb == "shutter") {
        if (!TakeTarget(args, 2, DeviceKind::Camera, c.index, error))
            return false;
        if (args.size() != 2 || (Lower(args[1]) != "open" && Lower(args[1]) != "closed"))
            return usage("shutter open|closed [camera N]");
        c.verb = SimulatorCommand::Verb::Shutter;
        c.flag = Lower(args[1]) == "closed";
        return true;
    }
    if (verb == "streaming") {
        if (!TakeTarget(args, 2, DeviceKind::Camera, c.index, error))
            return false;
        const std::string what = args.size() >= 2 ? Lower(args[1]) : std::string();
        if (what == "start" && args.size() == 3) {
            c.verb = SimulatorCommand::Verb::StreamStart;
            c.text = args[2];
            return true;
        }
        if (what == "stop" && args.size() == 2) {
            c.verb = SimulatorCommand::Verb::StreamStop;
            return true;
        }
        return usage("streaming start PROGRAM [camera N] | streaming stop [camera N]");
    }
    if (verb == "button") {
        if (!TakeTarget(args, 1, DeviceKind::Camera, c.index, error))
            return false;
        const std::string which = args.size() == 2 ? Lower(args[1]) : std::string("capture");
        if (args.size() > 2 || (which != "capture" && which != "mirror"))
            return usage("button [capture|mirror] [camera N]");
        c.verb = SimulatorCommand::Verb::Button;
        c.flag = which == "mirror";
        return true;
    }
    if (verb == "focus") {
        if (!TakeTarget(args, 2, DeviceKind::Camera, c.index, error))
            return false;
        const std::string state = args.size() == 2 ? Lower(args[1]) : std::string();
        c.verb = SimulatorCommand::Verb::Focus;
        if (state == "settled")
            c.number = FocusState::Settled;
        else if (state == "lost")
            c.number = FocusState::Searching;
        else if (state == "failed")
            c.number = FocusState::Failed;
        else if (state == "fail" || state == "ok")
            c.verb = SimulatorCommand::Verb::FocusFails;
        else
            return usage("focus settled|lost|failed|fail|ok [camera N]");
        c.flag = state == "fail";
        return true;
    }
    if (verb == "scene") {
        if (!TakeTarget(args, 2, DeviceKind::Camera, c.index, error))
            return false;
        const std::string scene = args.size() == 2 ? Lower(args[1]) : std::string();
        if (scene != "normal" && scene != "dark" && scene != "backlit")
            return usage("scene normal|dark|backlit [camera N]");
        c.verb = SimulatorCommand::Verb::Scene;
        c.flag = scene == "dark";
        c.flag2 = scene == "backlit";
        return true;
    }
    if (verb == "motion") {
        const std::string state = args.size() == 2 ? Lower(args[1]) : std::string();
        if (state != "on" && state != "off")
            return usage("motion on|off");
        c.verb = SimulatorCommand::Verb::Motion;
        c.flag = state == "on";
        return true;
    }
    if (verb == "set") {
        // set [KIND [N]] PROPERTY VALUE
        size_t at = 1;
        if (args.size() > at && CSimulatedDeviceCatalog::ParseKind(args[at], c.kind)) {
            ++at;
            if (args.size() > at + 2 && !ParseIndex(args[at++], c.index))
                return usage("set [camera|microphone|speaker|hid [N]] PROPERTY VALUE");
        }
        if (args.size() != at + 2)
            return usage("set [camera|microphone|speaker|hid [N]] PROPERTY VALUE");
        if (!CPropertyNames::Parse(c.kind, args[at], c.number)) {
            error = "unknown " + CSimulatedDeviceCatalog::KindName(c.kind) + " property \"" + args[at] + "\"";
            return false;
        }
        if (!ParseValue(args[at + 1], c.value)) {
            error = "bad value \"" + args[at + 1] + "\" (a number, on or off)";
            return false;
        }
        c.verb = SimulatorCommand::Verb::Set;
        return true;
    }
    if (verb == "option") {
        const std::string which = args.size() == 3 ? Lower(args[1]) : std::string();
        int32_t on = 0;
        if ((which != "echo" && which != "noise") || !ParseValue(args[2], on) || (on != 0 && on != 1))
            return usage("option echo|noise on|off");
        c.verb = SimulatorCommand::Verb::Option;
        c.number = which == "echo" ? kOptionEchoCancellation : kOptionNoiseSuppression;
        c.flag = on != 0;
        return true;
    }
    if (verb == "event") {
        if (!TakeTarget(args, 2, DeviceKind::Camera, c.index, error))
            return false;
        if (args.size() != 2 || !ParseInt(args[1], c.number) || c.number < 0 || c.number > 255)
            return usage("event CODE [camera N]");
        c.verb = SimulatorCommand::Verb::Event;
        return true;
    }
    if (verb == "mic-level") {
        if (!TakeTarget(args, 2, DeviceKind::Microphone, c.index, error))
            return false;
        if (args.size() != 2)
            return usage("mic-level 0..100|auto [microphone N]");
        c.verb = SimulatorCommand::Verb::MicrophoneInput;
        if (Lower(args[1]) == "auto") {
            c.value = -1;
            return true;
        }
        if (!ParseInt(args[1], c.value) || c.value < 0 || c.value > 100)
            return usage("mic-level 0..100|auto [microphone N]");
        return true;
    }
    if (verb == "fail") {
        if (args.size() >= 2 && Lower(args[1]) == "clear") {
            c.verb = SimulatorCommand::Verb::ClearFailures;
            c.number = INT32_MIN; // all
            if (args.size() == 3 && ParseOperation(args[2], c.number))
                return true;
            return args.size() == 2 ? true : usage("fail clear [OPERATION]");
        }
        if (args.size() < 2 || args.size() > 3)
            return usage("fail OPERATION [COUNT|always] | fail clear [OPERATION]");
        if (!ParseOperation(args[1], c.number)) {
            error = "unknown operation \"" + args[1] +
                    "\" (a service operation number, create, advise, "
                    "register or start)";
            return false;
        }
        c.verb = SimulatorCommand::Verb::Fail;
        if (args.size() == 3 && Lower(args[2]) != "always") {
            int32_t times = 0;
            if (!ParseInt(args[2], times) || times < 1 || times > 1000000)
                return usage("fail OPERATION [COUNT|always]");
            c.times = times;
        }
        return true;
    }
    error = "unknown command \"" + args[0] + "\" (try --help)";
    return false;
}

bool CSimulatorCommand::Execute(const SimulatorCommand& c, CSimulatedDeviceControl& control,
                                std::string& output) {
    using Verb = SimulatorCommand::Verb;
    HRESULT hr = S_OK;
    output.clear();
    const std::string kind = CSimulatedDeviceCatalog::KindName(c.kind);
    switch (c.verb) {
    case Verb::List:
        output = control.Describe();
        return true;
    case Verb::Plug: {
        std::string id;
        hr = control.Plug(c.kind, c.text, &id);
        if (SUCCEEDED(hr))
            output = "plugged in " + kind + " " + id + "\n";
        break;
    }
    case Verb::Unplug:
        hr = control.Unplug(c.kind, c.index);
        if (SUCCEEDED(hr))
            output = "unplugged " + kind + " " + std::to_string(c.index) + "\n";
        break;
    case Verb::Shutter:
        hr = control.SetShutter(c.flag, c.index);
        break;
    case Verb::StreamStart:
        hr = control.StartStreaming(c.text, c.index);
        if (hr == E_ACCESSDENIED) {
            output = "another program already streams from that camera\n";
            return false;
        }
        break;
    case Verb::StreamStop:
        hr = control.StopStreaming(c.index);
        if (hr == S_FALSE)
            output = "nobody was streaming\n";
        break;
    case Verb::Button:
        hr = control.PressButton(c.index, c.flag);
        break;
    case Verb::Focus:
        hr = control.ReportFocus(c.number, c.index);
        break;
    case Verb::FocusFails:
        hr = control.SetFocusFails(c.flag, c.index);
        if (hr == E_NOTIMPL) {
            output = "that camera has no automatic focus\n";
            return false;
        }
        break;
    case Verb::Scene:
        hr = control.SetScene(c.flag, c.flag2, c.index);
        break;
    case Verb::Motion:
        control.SetSceneMotion(c.flag);
        break;
    case Verb::Set:
        hr = control.SetProperty(c.kind, c.index, c.number, Variant::FromI4(c.value));
        break;
    case Verb::Option:
        hr = control.SetGlobalOption(c.number, c.flag);
        if (hr == E_NOTIMPL) {
            output = "there is no microphone, so there are no audio options\n";
            return false;
        }
        break;
    case Verb::Event:
        hr = control.RaiseCameraEvent(c.number, c.index);
        break;
    case Verb::MicrophoneInput:
        hr = control.SetMicrophoneInput(c.value, c.index);
        break;
    case Verb::Fail:
        hr = control.FailOperation(c.number, c.times);
        break;
    case Verb::ClearFailures:
        if (c.number == INT32_MIN)
            control.ClearFailures();
        else
            control.ClearFailure(c.number);
        break;
    }
    if (FAILED(hr)) {
        output = Describe(hr) + "\n";
        return false;
    }
    return true;
}

std::string CSimulatorCommand::Usage() {
    std::string names;
    for (const std::string& n : CPropertyNames::Names(DeviceKind::Camera))
        names += (names.empty() ? "" : ", ") + n;
    return "usage: vidora-sim COMMAND [ARGUMENTS]\n"
           "Changes the simulated devices of the running Vidora program, as the world outside would.\n"
           "\n"
           "  list                                  the devices, their state and the failures in force\n"
           "  plug camera [full|basic|ptz|minimal]  plug in a device (also microphone, speaker, hid)\n"
           "  unplug camera N                       unplug the N-th device of a kind (from 1)\n"
           "  shutter open|closed                   the camera's privacy shutter\n"
           "  streaming start PROGRAM               another program (e.g. setup.exe) streams from the "
           "camera\n"
           "  streaming stop                        it stops\n"
           "  button [capture|mirror]               press a button on the camera\n"
           "  focus settled|lost|failed             the camera's automatic focus reports\n"
           "  focus fail|ok                         from now on its searches fail, or settle again\n"
           "  scene normal|dark|backlit             what the camera's sensor sees\n"
           "  motion on|off                         someone walks through the pictures (motion detection)\n"
           "  set [KIND [N]] PROPERTY VALUE         change a property as another program would\n"
           "  option echo|noise on|off              the global audio options\n"
           "  event CODE                            raise a camera event by its code\n"
           "  mic-level 0..100|auto                 what the microphone hears\n"
           "  fail OPERATION [COUNT|always]         make a service operation fail (a number, create,\n"
           "                                        advise, register or start)\n"
           "  fail clear [OPERATION]                stop failing\n"
           "\n"
           "Camera commands work on the camera the program uses unless \"camera N\" follows them;\n"
           "mic-level likewise takes \"microphone N\". Values: numbers (0x.. hexadecimal) or on/off.\n"
           "Camera properties: " +
           names +
           ".\n"
           "\n"
           "Exit status: 0 done, 1 the program is not running or refused the command, 2 usage error.\n";
}

} // namespace Granite
