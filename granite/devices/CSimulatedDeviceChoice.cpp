#include "granite/devices/CSimulatedDeviceChoice.h"

#include "granite/devices/CSimulatedDeviceCatalog.h"
#include "platform/DebugOutput.h"
#include "platform/TextUtil.h"

#include <cstdlib>

namespace Granite {
namespace {
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return parts;
}

bool ParseCount(const std::string& text, int& count) {
    if (text.empty() || text.size() > 3)
        return false;
    count = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        count = count * 10 + (c - '0');
    }
    return count >= 1;
}

std::string Quoted(const std::string& s) {
    // Shown in a message: keep it short and printable.
    std::string out;
    for (char c : s.substr(0, 40))
        out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
    return "\"" + out + (s.size() > 40 ? "...\"" : "\"");
}
} // namespace

std::vector<DeviceRequest> CSimulatedDeviceChoice::Defaults() {
    return {{DeviceKind::Camera, "full"},
            {DeviceKind::Microphone, "standard"},
            {DeviceKind::Speaker, "standard"}};
}

bool CSimulatedDeviceChoice::Parse(const std::string& text, std::vector<DeviceRequest>& devices,
                                   std::string& error) {
    auto fail = [&](std::string message) {
        error = std::move(message);
        devices = Defaults();
        return false;
    };
    error.clear();
    std::vector<DeviceRequest> parsed;
    const std::string whole = Text::Trim(text);
    if (whole.empty() || Text::EqualsNoCase(whole, "none")) {
        devices.clear();
        return true;
    }
    if (whole.size() > 1024)
        return fail("the list is too long");
    int position = 0;
    for (const std::string& raw : Split(whole, ',')) {
        ++position;
        const std::string item = Text::ToLower(Text::Trim(raw));
        if (item.empty())
            return fail("item " + std::to_string(position) + " is empty");
        if (item == "none")
            return fail("\"none\" cannot be combined with devices");
        std::string body = item;
        int count = 1;
        if (size_t star = item.find('*'); star != std::string::npos) {
            body = Text::Trim(item.substr(0, star));
            if (!ParseCount(Text::Trim(item.substr(star + 1)), count))
                return fail("item " + Quoted(raw) + " has a bad count (expected a number from 1)");
        }
        std::string kindText = body;
        std::string model;
        if (size_t colon = body.find(':'); colon != std::string::npos) {
            kindText = Text::Trim(body.substr(0, colon));
            model = Text::Trim(body.substr(colon + 1));
            if (model.empty())
                return fail("item " + Quoted(raw) + " names no model after \":\"");
        }
        DeviceKind kind;
        if (!CSimulatedDeviceCatalog::ParseKind(kindText, kind))
            return fail("unknown device kind in " + Quoted(raw) +
                        " (expected camera, microphone, speaker or hid)");
        if (model.empty())
            model = CSimulatedDeviceCatalog::Models(kind).front();
        if (!CSimulatedDeviceCatalog::IsModel(kind, model)) {
            std::string known;
            for (const std::string& m : CSimulatedDeviceCatalog::Models(kind))
                known += (known.empty() ? "" : ", ") + m;
            return fail("unknown " + CSimulatedDeviceCatalog::KindName(kind) + " model in " + Quoted(raw) +
                        " (expected " + known + ")");
        }
        if (static_cast<int>(parsed.size()) + count > kMaxDevices)
            return fail("more than " + std::to_string(kMaxDevices) + " devices");
        for (int i = 0; i < count; ++i)
            parsed.push_back({kind, model});
    }
    devices = std::move(parsed);
    return true;
}

std::vector<DeviceRequest> CSimulatedDeviceChoice::FromEnvironment() {
    const char* value = std::getenv(kVariable);
    if (value == nullptr)
        return Defaults();
    std::vector<DeviceRequest> devices;
    std::string error;
    if (!Parse(value, devices, error))
        ReportToStderr(std::string(kVariable) + ": " + error +
                       "; using one full camera, one microphone and "
                       "one speaker instead");
    return devices;
}

} // namespace Granite
