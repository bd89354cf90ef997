#include "app/CVidoraSettings.h"

#include "config/COEMInfo.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"
#include "platform/TextUtil.h"

namespace {
// Capture folders are stored only as absolute paths: a relative one would depend on the folder the program
// happens to be started in.
bool IsAbsoluteFolder(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

std::string Join(const std::string& a, const std::string& b) {
    return a + "\\" + b;
}

HRESULT WriteCameraNumber(const std::string& cameraName, const char* name, uint32_t value) {
    if (cameraName.empty())
        return S_OK;
    return Settings::WriteNumber(CVidoraSettings::GetCameraKey(cameraName), name, value);
}

uint32_t ReadCameraNumber(const std::string& cameraName, const char* name, uint32_t defaultValue) {
    if (cameraName.empty())
        return defaultValue;
    uint32_t value = defaultValue;
    Settings::ReadNumber(CVidoraSettings::GetCameraKey(cameraName), name, &value, defaultValue);
    return value;
}

enum class SeedKind { Number, String };
struct SeedEntry {
    const char* name;
    SeedKind kind;
    const char* builtIn;
};

const SeedEntry kSeedTable[] = {
    {"ShadeFirstTimeUse", SeedKind::Number, "1"},
    {"ShowSysTrayIcon", SeedKind::Number, "1"},
    {"VIVFirstTimeUse", SeedKind::Number, "1"},
    {"CalibrationLastRun", SeedKind::String, "0:0:0"},
    {"CheckUpdatesLastRun", SeedKind::String, "0:0:0"},
    {"VideoEffectsCategory", SeedKind::String, "avatars"},
    {"VideoEffectsModelXML", SeedKind::String, CVidoraSettings::kModelXmlDefault},
    {"VideoEffectsModelDataFolder", SeedKind::String, CVidoraSettings::kModelFolderDefault},
    {"PrivacyShadeFilename", SeedKind::String, CVidoraSettings::kShadeFileDefault},
    {"PrivacyShadeBrowseFolder", SeedKind::String, CVidoraSettings::kShadeFolderDefault},
    {"PrivacyShadeBrowseFolderDefault", SeedKind::String, CVidoraSettings::kShadeFolderDefault},
};
} // namespace

std::string CVidoraSettings::GetSettingsRoot() {
    COEMInfo* oem = GetOEMInfo();
    std::string root = oem != nullptr ? oem->GetRegistryPath() : std::string();
    return root.empty() ? std::string(CVidoraOEMInfo::kDefaultRegistryPath) : root;
}

uint32_t CVidoraSettings::ReadRootNumber(const char* name, uint32_t defaultValue) {
    uint32_t value = defaultValue;
    Settings::ReadNumber(GetSettingsRoot(), name, &value, defaultValue);
    return value;
}

HRESULT CVidoraSettings::WriteRootNumber(const char* name, uint32_t value) {
    return Settings::WriteNumber(GetSettingsRoot(), name, value);
}

std::string CVidoraSettings::ReadRootString(const char* name, const std::string& defaultValue) {
    std::string value = defaultValue;
    Settings::ReadString(GetSettingsRoot(), name, &value, defaultValue);
    return value;
}

HRESULT CVidoraSettings::WriteRootString(const char* name, const std::string& value) {
    return Settings::WriteString(GetSettingsRoot(), name, value.c_str());
}

std::string CVidoraSettings::ExpandDefaultPath(const std::string& text) {
    std::string percent = Text::ReplaceAll(Text::ReplaceAll(text, "<", "%"), ">", "%");
    COEMInfo* oem = GetOEMInfo();
    return oem != nullptr ? oem->ExpandPath(percent) : percent;
}

// clang-format off
uint32_t CVidoraSettings::GetShadeFirstTimeUse() { return ReadRootNumber("ShadeFirstTimeUse", 1); }
HRESULT CVidoraSettings::SetShadeFirstTimeUse(uint32_t v) { return WriteRootNumber("ShadeFirstTimeUse", v); }
uint32_t CVidoraSettings::GetShowSysTrayIcon() { return ReadRootNumber("ShowSysTrayIcon", 1); }
HRESULT CVidoraSettings::SetShowSysTrayIcon(uint32_t v) { return WriteRootNumber("ShowSysTrayIcon", v); }
uint32_t CVidoraSettings::GetVIVFirstTimeUse() { return ReadRootNumber("VIVFirstTimeUse", 1); }
HRESULT CVidoraSettings::SetVIVFirstTimeUse(uint32_t v) { return WriteRootNumber("VIVFirstTimeUse", v); }
std::string CVidoraSettings::GetCalibrationLastRun() {
    const std::string never = "0:0:0";
    const std::string run = ReadRootString("CalibrationLastRun", never);
    return run != never ? run : ReadRootString("CalibrationLastRan", never);
}
HRESULT CVidoraSettings::SetCalibrationLastRun(const std::string& v) { return WriteRootString("CalibrationLastRun", v); }
std::string CVidoraSettings::GetCheckUpdatesLastRun() { return ReadRootString("CheckUpdatesLastRun", "0:0:0"); }
HRESULT CVidoraSettings::SetCheckUpdatesLastRun(const std::string& v) { return WriteRootString("CheckUpdatesLastRun", v); }
std::string CVidoraSettings::GetVideoEffectsCategory() { return ReadRootString("VideoEffectsCategory", "avatars"); }
std::string CVidoraSettings::GetVideoEffectsModelXML() {
    return ReadRootString("VideoEffectsModelXML", ExpandDefaultPath(kModelXmlDefault));
}
std::string CVidoraSettings::GetVideoEffectsModelDataFolder() {
    return ReadRootString("VideoEffectsModelDataFolder", ExpandDefaultPath(kModelFolderDefault));
}
HRESULT CVidoraSettings::SetVideoEffectsModelDataFolder(const std::string& v) {
    return WriteRootString("VideoEffectsModelDataFolder", v);
}
std::string CVidoraSettings::GetPrivacyShadeFilename() {
    return ReadRootString("PrivacyShadeFilename", ExpandDefaultPath(kShadeFileDefault));
}
HRESULT CVidoraSettings::SetPrivacyShadeFilename(const std::string& v) { return WriteRootString("PrivacyShadeFilename", v); }
std::string CVidoraSettings::GetPrivacyShadeBrowseFolder() {
    return ReadRootString("PrivacyShadeBrowseFolder", ExpandDefaultPath(kShadeFolderDefault));
}
HRESULT CVidoraSettings::SetPrivacyShadeBrowseFolder(const std::string& v) {
    return WriteRootString("PrivacyShadeBrowseFolder", v);
}
std::string CVidoraSettings::GetPrivacyShadeBrowseFolderDefault() {
    return ReadRootString("PrivacyShadeBrowseFolderDefault", ExpandDefaultPath(kShadeFolderDefault));
}
HRESULT CVidoraSettings::SetPrivacyShadeBrowseFolderDefault(const std::string& v) {
    return WriteRootString("PrivacyShadeBrowseFolderDefault", v);
}
uint32_t CVidoraSettings::GetFirstLaunch() { return ReadRootNumber("FirstLaunch", 1); }
uint32_t CVidoraSettings::GetOEMSetDefDev() { return ReadRootNumber("OEMSetDefDev", 0); }
HRESULT CVidoraSettings::SetOEMSetDefDev(uint32_t v) { return WriteRootNumber("OEMSetDefDev", v); }
std::string CVidoraSettings::GetWebUnzipPath() { return ReadRootString("WebUnzipPath", ""); }
std::string CVidoraSettings::GetPhotoFolder() { return ReadRootString("PhotoFolder", ""); }
HRESULT CVidoraSettings::SetPhotoFolder(const std::string& v) {
    return IsAbsoluteFolder(v) ? WriteRootString("PhotoFolder", v) : E_FAIL;
}
std::string CVidoraSettings::GetMovieFolder() { return ReadRootString("MovieFolder", ""); }
HRESULT CVidoraSettings::SetMovieFolder(const std::string& v) {
    return IsAbsoluteFolder(v) ? WriteRootString("MovieFolder", v) : E_FAIL;
}
uint32_t CVidoraSettings::GetShadeBehavior() { return ReadRootNumber("ShadeBehavior", 1); }
HRESULT CVidoraSettings::SetShadeBehavior(uint32_t v) { return WriteRootNumber("ShadeBehavior", v); }
uint32_t CVidoraSettings::GetPrivacyShadeToggleOpen() { return ReadRootNumber("PrivacyShadeToggleOpen", 1); }
HRESULT CVidoraSettings::SetPrivacyShadeToggleOpen(uint32_t v) { return WriteRootNumber("PrivacyShadeToggleOpen", v); }
uint32_t CVidoraSettings::GetAlwaysOnTop() { return ReadRootNumber("AlwaysOnTop", 1); }
HRESULT CVidoraSettings::SetAlwaysOnTop(uint32_t v) { return WriteRootNumber("AlwaysOnTop", v); }
uint32_t CVidoraSettings::GetPhotoMovieAutoPreview() { return ReadRootNumber("PhotoMovieAutoPreview", 0); }
HRESULT CVidoraSettings::SetPhotoMovieAutoPreview(uint32_t v) { return WriteRootNumber("PhotoMovieAutoPreview", v); }
uint32_t CVidoraSettings::GetGalleryView() { return ReadRootNumber("GalleryView", 0); }
HRESULT CVidoraSettings::SetGalleryView(uint32_t v) { return WriteRootNumber("GalleryView", v); }
uint32_t CVidoraSettings::GetSnapDeskGalleryOpen() { return ReadRootNumber("SnapDeskGalleryOpen", 1); }
HRESULT CVidoraSettings::SetSnapDeskGalleryOpen(uint32_t v) { return WriteRootNumber("SnapDeskGalleryOpen", v); }
uint32_t CVidoraSettings::GetSnapDeskCaptureXRes() { return ReadRootNumber("SnapDeskCaptureXRes", 320); }
HRESULT CVidoraSettings::SetSnapDeskCaptureXRes(uint32_t v) { return WriteRootNumber("SnapDeskCaptureXRes", v); }
uint32_t CVidoraSettings::GetSnapDeskCaptureYRes() { return ReadRootNumber("SnapDeskCaptureYRes", 240); }
HRESULT CVidoraSettings::SetSnapDeskCaptureYRes(uint32_t v) { return WriteRootNumber("SnapDeskCaptureYRes", v); }
uint32_t CVidoraSettings::GetMovieIncludeAudio() { return ReadRootNumber("MovieIncludeAudio", 1); }
HRESULT CVidoraSettings::SetMovieIncludeAudio(uint32_t v) { return WriteRootNumber("MovieIncludeAudio", v); }
uint32_t CVidoraSettings::GetUseMovieTimpstamp() { return ReadRootNumber("UseMovieTimpstamp", 0); }
HRESULT CVidoraSettings::SetUseMovieTimpstamp(uint32_t v) { return WriteRootNumber("UseMovieTimpstamp", v); }
uint32_t CVidoraSettings::GetUseMovieCountdown() { return ReadRootNumber("UseMovieCountdown", 0); }
HRESULT CVidoraSettings::SetUseMovieCountdown(uint32_t v) { return WriteRootNumber("UseMovieCountdown", v); }
uint32_t CVidoraSettings::GetMovieCountdown() { return ReadRootNumber("MovieCountdown", 3); }
HRESULT CVidoraSettings::SetMovieCountdown(uint32_t v) { return WriteRootNumber("MovieCountdown", v); }
uint32_t CVidoraSettings::GetUseMovieDuration() { return ReadRootNumber("UseMovieDuration", 0); }
HRESULT CVidoraSettings::SetUseMovieDuration(uint32_t v) { return WriteRootNumber("UseMovieDuration", v); }
uint32_t CVidoraSettings::GetMovieDuration() { return ReadRootNumber("MovieDuration", 60); }
HRESULT CVidoraSettings::SetMovieDuration(uint32_t v) { return WriteRootNumber("MovieDuration", v); }
uint32_t CVidoraSettings::GetUsePhotoCountdown() { return ReadRootNumber("UsePhotoCountdown", 0); }
HRESULT CVidoraSettings::SetUsePhotoCountdown(uint32_t v) { return WriteRootNumber("UsePhotoCountdown", v); }
uint32_t CVidoraSettings::GetPhotoCountdown() { return ReadRootNumber("PhotoCountdown", 3); }
HRESULT CVidoraSettings::SetPhotoCountdown(uint32_t v) { return WriteRootNumber("PhotoCountdown", v); }
uint32_t CVidoraSettings::GetUsePhotoTimpstamp() { return ReadRootNumber("UsePhotoTimpstamp", 0); }
HRESULT CVidoraSettings::SetUsePhotoTimpstamp(uint32_t v) { return WriteRootNumber("UsePhotoTimpstamp", v); }
uint32_t CVidoraSettings::GetJPEGQuality() { return ReadRootNumber("JPEGQuality", 95); }
HRESULT CVidoraSettings::SetJPEGQuality(uint32_t v) { return WriteRootNumber("JPEGQuality", v); }
uint32_t CVidoraSettings::GetUseMotionDetection() { return ReadRootNumber("UseMotionDetection", 0); }
HRESULT CVidoraSettings::SetUseMotionDetection(uint32_t v) { return WriteRootNumber("UseMotionDetection", v); }
uint32_t CVidoraSettings::GetMotionDuration() { return ReadRootNumber("MotionDuration", 60); }
HRESULT CVidoraSettings::SetMotionDuration(uint32_t v) { return WriteRootNumber("MotionDuration", v); }
uint32_t CVidoraSettings::GetMotionSensitivity() { return ReadRootNumber("MotionSensitivity", 40); }
HRESULT CVidoraSettings::SetMotionSensitivity(uint32_t v) { return WriteRootNumber("MotionSensitivity", v); }
std::string CVidoraSettings::GetVideoCallingIMApp() { return ReadRootString("VideoCallingIMApp", ""); }
HRESULT CVidoraSettings::SetVideoCallingIMApp(const std::string& v) { return WriteRootString("VideoCallingIMApp", v); }
uint32_t CVidoraSettings::GetDontWarnUVC() { return ReadRootNumber("DontWarnUVC", 0); }
HRESULT CVidoraSettings::SetDontWarnUVC(uint32_t v) { return WriteRootNumber("DontWarnUVC", v); }
uint32_t CVidoraSettings::GetPictureIndex() { return ReadRootNumber("PictureIndex", 1); }
HRESULT CVidoraSettings::SetPictureIndex(uint32_t v) { return WriteRootNumber("PictureIndex", v); }
uint32_t CVidoraSettings::GetMovieIndex() { return ReadRootNumber("MovieIndex", 1); }
HRESULT CVidoraSettings::SetMovieIndex(uint32_t v) { return WriteRootNumber("MovieIndex", v); }
uint32_t CVidoraSettings::GetMotionIndex() { return ReadRootNumber("MotionIndex", 1); }
HRESULT CVidoraSettings::SetMotionIndex(uint32_t v) { return WriteRootNumber("MotionIndex", v); }
std::string CVidoraSettings::GetEmailClient() { return ReadRootString("EmailClient", ""); }
HRESULT CVidoraSettings::SetEmailClient(const std::string& v) { return WriteRootString("EmailClient", v); }
// clang-format on

void CVidoraSettings::GetRibbonPos(int32_t& x, int32_t& y) {
    x = static_cast<int32_t>(ReadRootNumber("RibbonXPos", 0xFFFFFFFFu));
    y = static_cast<int32_t>(ReadRootNumber("RibbonYPos", 0xFFFFFFFFu));
}

HRESULT CVidoraSettings::SetRibbonPos(int32_t x, int32_t y) {
    HRESULT hr = WriteRootNumber("RibbonXPos", static_cast<uint32_t>(x));
    HRESULT hr2 = WriteRootNumber("RibbonYPos", static_cast<uint32_t>(y));
    return FAILED(hr) ? hr : hr2;
}

void CVidoraSettings::GetSnapDeskCapturePos(int32_t& x, int32_t& y) {
    x = static_cast<int32_t>(ReadRootNumber("SnapDeskCaptureXPos", 0));
    y = static_cast<int32_t>(ReadRootNumber("SnapDeskCaptureYPos", 0));
}

HRESULT CVidoraSettings::SetSnapDeskCapturePos(int32_t x, int32_t y) {
    HRESULT hr = WriteRootNumber("SnapDeskCaptureXPos", static_cast<uint32_t>(x));
    HRESULT hr2 = WriteRootNumber("SnapDeskCaptureYPos", static_cast<uint32_t>(y));
    return FAILED(hr) ? hr : hr2;
}

// The camera's key is one key below "Cameras" whatever its name holds: a "\\" in the name (the key
// separator) is written "%5C", and "%" itself "%25", so two names never share a key.
std::string CVidoraSettings::GetCameraKey(const std::string& cameraName) {
    std::string escaped;
    escaped.reserve(cameraName.size());
    for (char c : cameraName) {
        if (c == '%')
            escaped += "%25";
        else if (c == '\\')
            escaped += "%5C";
        else
            escaped += c;
    }
    return Join(Join(GetSettingsRoot(), "Cameras"), escaped);
}

uint32_t CVidoraSettings::GetSTMode(const std::string& cameraName) {
    return ReadCameraNumber(cameraName, "STMode", 5);
}

uint32_t CVidoraSettings::GetPreviousSTMode(const std::string& cameraName) {
    return ReadCameraNumber(cameraName, "PreviousSTMode", 5);
}

HRESULT CVidoraSettings::SetSTMode(const std::string& cameraName, uint32_t mode) {
    if (cameraName.empty())
        return S_OK;
    HRESULT hr = WriteCameraNumber(cameraName, "PreviousSTMode", GetSTMode(cameraName));
    HRESULT hr2 = WriteCameraNumber(cameraName, "STMode", mode);
    return FAILED(hr) ? hr : hr2;
}

uint32_t CVidoraSettings::GetSTOption(const std::string& cameraName) {
    return ReadCameraNumber(cameraName, "STOption", 2);
}

HRESULT CVidoraSettings::SetSTOption(const std::string& cameraName, uint32_t option) {
    return WriteCameraNumber(cameraName, "STOption", option);
}

HRESULT CVidoraSettings::SetSTAppUI(uint16_t productId, uint32_t value) {
    std::string name = Text::Format("ST2AppUI_%04X", productId);
    return Settings::WriteNumber(kSunTuneKey, name.c_str(), value, true);
}

HRESULT CVidoraSettings::MarkCameraAttached(uint16_t productId) {
    std::string key =
        Text::Format("%s\\%s\\0x%04x", GetSettingsRoot().c_str(), "Cameras\\Attached", productId);
    return Settings::WriteNumber(key, "", 1);
}

std::vector<uint32_t> CVidoraSettings::GetAttachedCameras() {
    std::vector<std::string> names;
    std::vector<uint32_t> ids;
    if (FAILED(CRegistry::Instance().EnumSubKeys(Hive::CurrentUser,
                                                 Join(GetSettingsRoot(), "Cameras\\Attached"), names)))
        return ids;
    for (const auto& name : names)
        ids.push_back(static_cast<uint32_t>(Text::ParseIntAutoBase(name)));
    return ids;
}

HRESULT CVidoraSettings::MarkFeatureSeen(const std::string& name) {
    return Settings::WriteNumber(Join(GetSettingsRoot(), "Features"), name.c_str(), 1);
}

bool CVidoraSettings::IsFeatureSeen(const std::string& name) {
    uint32_t value = 0;
    Settings::ReadNumber(Join(GetSettingsRoot(), "Features"), name.c_str(), &value, 0);
    return value > 0;
}

void CVidoraSettings::SeedDefaults() {
    const std::string root = GetSettingsRoot();
    CRegistry& registry = CRegistry::Instance();
    if (FAILED(registry.CreateKey(Hive::CurrentUser, root, Settings::kDefaultKeyClass, false)))
        return;
    COEMInfo* oem = GetOEMInfo();
    for (const SeedEntry& entry : kSeedTable) {
        RegValue existing;
        if (SUCCEEDED(registry.QueryValue(Hive::CurrentUser, root, entry.name, existing))) {
            bool rightType = entry.kind == SeedKind::Number
                                 ? existing.type == REG_DWORD
                                 : (existing.type == REG_SZ || existing.type == REG_EXPAND_SZ);
            if (rightType)
                continue;
        }
        std::string text = entry.builtIn;
        if (oem != nullptr) {
            std::string oemDefault = oem->GetDefaultRegistryValue(entry.name);
            if (!oemDefault.empty())
                text = oemDefault;
        }
        if (entry.kind == SeedKind::Number)
            Settings::WriteNumber(root, entry.name, static_cast<uint32_t>(Text::ParseLeadingDecimal(text)));
        else
            Settings::WriteString(root, entry.name, ExpandDefaultPath(text).c_str());
    }
}
