#include "control/CPropertyNames.h"

#include "platform/TextUtil.h"

#include <cctype>
#include <utility>

namespace Granite {
namespace {
using Entry = std::pair<const char*, int32_t>;

const std::vector<Entry>& Table(DeviceKind kind) {
    static const std::vector<Entry> camera = {
        {"video-mute", CamProp::VideoMute},
        {"brightness", CamProp::Brightness},
        {"contrast", CamProp::Contrast},
        {"saturation", CamProp::Saturation},
        {"white-balance", CamProp::WhiteBalance},
        {"auto-white-balance", CamProp::AutoWhiteBalance},
        {"zoom", CamProp::Zoom},
        {"pan", CamProp::Pan},
        {"tilt", CamProp::Tilt},
        {"auto-exposure", CamProp::AutoExposure},
        {"exposure", CamProp::Exposure},
        {"gain", CamProp::Gain},
        {"mirror-horizontal", CamProp::MirrorHorizontal},
        {"mirror-vertical", CamProp::MirrorVertical},
        {"low-light-boost", CamProp::LowLightBoost},
        {"color-boost", CamProp::ColorBoost},
        {"power-line", CamProp::PowerLineFrequency},
        {"face-tracking", CamProp::FaceTracking},
        {"suntune", CamProp::SunTuneMode},
        {"suntune-a", CamProp::SunTuneA},
        {"suntune-b", CamProp::SunTuneB},
        {"suntune-c", CamProp::SunTuneC},
        {"suntune-d", CamProp::SunTuneD},
        {"shutter", CamProp::PrivacyShutter},
        {"low-light-scene", CamProp::LowLightScene},
        {"backlit-scene", CamProp::BacklitScene},
        {"led", CamProp::LedMode},
        {"led-legacy", CamProp::LedModeLegacy},
        {"backlight", CamProp::Backlight},
        {"auto-focus", CamProp::AutoFocus},
        {"focus", CamProp::Focus},
        {"focus-status", CamProp::FocusStatus},
    };
    static const std::vector<Entry> microphone = {
        {"volume", MicProp::Volume}, {"level", MicProp::Level}, {"mute", MicProp::Mute}};
    static const std::vector<Entry> speaker = {{"volume", SpeakerProp::Volume}, {"mute", SpeakerProp::Mute}};
    static const std::vector<Entry> hid = {
        {"report", HidProp::Report}, {"switch", HidProp::Switch}, {"number", HidProp::Number}};
    switch (kind) {
    case DeviceKind::Camera:
        return camera;
    case DeviceKind::Microphone:
        return microphone;
    case DeviceKind::Speaker:
        return speaker;
    case DeviceKind::Hid:
        return hid;
    }
    return hid;
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
    for (const auto& [name, value] : Table(kind)) {
        if (t == name) {
            number = value;
            return true;
        }
    }
    return ParseNumber(t, number);
}

std::vector<std::string> CPropertyNames::Names(DeviceKind kind) {
    std::vector<std::string> names;
    for (const auto& [name, value] : Table(kind))
        names.emplace_back(name);
    return names;
}

} // namespace Granite
