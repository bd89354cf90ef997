#include "granite/control/CPropertyNames.h"

#include "platform/TextUtil.h"

#include <cctype>

namespace Granite {
namespace {

// The names people type are the names in the service's property table; identity values are not typed.
template <class F> void ForEachProperty(DeviceKind kind, F&& visit) {
    auto walk = [&](const auto& table) {
        for (const DeviceProperty::Info& info : table) {
            if (info.kind != DeviceProperty::Kind::Identity)
                visit(info);
        }
    };
    switch (kind) {
    case DeviceKind::Camera:
        walk(DeviceProperty::Camera::kAll);
        return;
    case DeviceKind::Microphone:
        walk(DeviceProperty::Microphone::kAll);
        return;
    case DeviceKind::Speaker:
        walk(DeviceProperty::Speaker::kAll);
        return;
    case DeviceKind::Hid:
        walk(DeviceProperty::Hid::kAll);
        return;
    }
}

bool ParseNumber(const std::string& text, int32_t& number) {
    if (text.empty() || text.size() > 6)
        return false;
    size_t i = 0;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        i = 2;
    }
    int32_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        int digit = c >= '0' && c <= '9' ? c - '0' : (base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1);
        if (digit < 0)
            return false;
        value = value * base + digit;
    }
    number = value;
    return true;
}
} // namespace

bool CPropertyNames::Parse(DeviceKind kind, const std::string& text, int32_t& number) {
    const std::string t = Text::ToLower(Text::Trim(text));
    bool found = false;
    ForEachProperty(kind, [&](const DeviceProperty::Info& info) {
        if (!found && t == info.name) {
            number = info.value;
            found = true;
        }
    });
    return found || ParseNumber(t, number);
}

std::vector<std::string> CPropertyNames::Names(DeviceKind kind) {
    std::vector<std::string> names;
    ForEachProperty(kind, [&](const DeviceProperty::Info& info) { names.emplace_back(info.name); });
    return names;
}

} // namespace Granite
