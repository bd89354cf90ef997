#include "settings/CSunTuneRules.h"

#include "app/CVidoraSettings.h"
#include "platform/TextUtil.h"
#include "services/IGraniteDeviceManager.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

struct OpenNotifications {
    std::mutex lock;
    std::vector<std::string> ids;
};

OpenNotifications& Open() {
    static OpenNotifications open;
    return open;
}

bool SameId(const std::string& a, const std::string& b) {
    return Text::EqualsNoCase(a, b);
}

} // namespace

std::string CSunTuneRules::CameraName(IGraniteDeviceManager* dm, const std::string& deviceId) {
    VideoDeviceInfo info;
    return SUCCEEDED(dm->FindVideoDevice(deviceId, &info)) ? info.name : std::string();
}

int32_t CSunTuneRules::StoredMode(const std::string& cameraName) {
    uint32_t stored = CVidoraSettings::GetSTMode(cameraName);
    return stored > static_cast<uint32_t>(kModeDefault) ? kModeAuto : static_cast<int32_t>(stored);
}

int32_t CSunTuneRules::ModeForSwitchingOn(const std::string& cameraName) {
    const int32_t stored = StoredMode(cameraName);
    if (stored != kModeOff)
        return stored;
    // A previous mode of 0 (switched off twice) or a value no camera knows would leave SunTune off.
    const uint32_t previous = CVidoraSettings::GetPreviousSTMode(cameraName);
    if (CVidoraSettings::GetSTOption(cameraName) != 0 && previous > 4 && previous < 9)
        return static_cast<int32_t>(previous);
    return kModeAuto;
}

int32_t CSunTuneRules::ApplyStoredChoice(IGraniteDeviceManager* dm, const std::string& deviceId,
                                         const std::string& cameraName) {
    if (!dm)
        return -1;
    if (CVidoraSettings::GetSTOption(cameraName) == 1) {
        dm->SetSunTuneModeOf(deviceId, kModeDefault);
        CVidoraSettings::SetSTMode(cameraName, kModeDefault);
        return kModeDefault;
    }
    int32_t mode = StoredMode(cameraName);
    dm->SetSunTuneModeOf(deviceId, mode);
    return mode;
}

std::optional<SunTuneOffer> CSunTuneRules::ArrivalCheck(IGraniteDeviceManager* dm,
                                                        const std::string& deviceId) {
    if (!dm || deviceId.empty() || IsNotificationOpen(deviceId))
        return std::nullopt;
    std::string holder;
    std::string executable;
    if (FAILED(dm->GetDeviceStringsOf(deviceId, 0, holder, executable)))
        return std::nullopt;
    int32_t noNotification = 0;
    dm->GetVideoDeviceValue(deviceId, kNoNotification, &noNotification, 0);
    if (noNotification != 0)
        return std::nullopt;
    int32_t mode = 0;
    if (FAILED(dm->GetSunTuneModeOf(deviceId, &mode)) || mode != kModeDefault)
        return std::nullopt;
    // Both readings count as "open" / "off" when the camera cannot tell.
    int32_t shade = 0;
    dm->GetMechanicalPrivacyShadeOf(deviceId, &shade);
    if (shade != 0)
        return std::nullopt;
    int32_t videoMute = 0;
    dm->GetVideoMute(&videoMute);
    if (videoMute != 0)
        return std::nullopt;

    SunTuneOffer offer;
    offer.deviceId = deviceId;
    offer.cameraName = CameraName(dm, deviceId);
    offer.cameraKey = CVidoraSettings::GetCameraKey(offer.cameraName);
    offer.recommendedMode = kModeAuto;
    return offer;
}

void CSunTuneRules::EndOfStream(IGraniteDeviceManager* dm, const std::string& deviceId) {
    if (!dm)
        return;
    const std::string cameraName = CameraName(dm, deviceId);
    int32_t mode = 0;
    if (SUCCEEDED(dm->GetSunTuneModeOf(deviceId, &mode)) && CVidoraSettings::GetSTOption(cameraName) == 1) {
        dm->SetSunTuneModeOf(deviceId, kModeDefault);
        CVidoraSettings::SetSTMode(cameraName, kModeDefault);
        dm->FireSeverityChanged(deviceId, kModeDefault, mode);
    }
    dm->SetVideoDeviceValue(deviceId, kNoNotification, 0);
    int32_t returnToDefault = 0;
    dm->GetVideoDeviceValue(deviceId, kReturnToDefault, &returnToDefault, 0);
    if (returnToDefault != 0) {
        dm->SetSunTuneModeOf(deviceId, kModeDefault);
        CVidoraSettings::SetSTMode(cameraName, kModeDefault);
        dm->FireSeverityChanged(deviceId, kModeDefault, kModeOff);
        dm->SetVideoDeviceValue(deviceId, kReturnToDefault, 0);
    }
}

void CSunTuneRules::OnRibbonClosing(IGraniteDeviceManager* dm) {
    if (!dm)
        return;
    const int count = dm->GetVideoDeviceCount();
    for (int i = 0; i < count; ++i) {
        VideoDeviceInfo info;
        if (FAILED(dm->GetVideoDevice(i, &info)))
            continue;
        int32_t mode = 0;
        if (FAILED(dm->GetSunTuneModeOf(info.id, &mode)))
            continue;
        dm->SetSunTuneModeOf(info.id, kModeOff);
        CVidoraSettings::SetSTAppUI(static_cast<uint16_t>(info.productId), 0);
    }
}

void CSunTuneRules::MarkNotificationOpen(const std::string& deviceId) {
    std::lock_guard guard(Open().lock);
    auto& ids = Open().ids;
    if (std::none_of(ids.begin(), ids.end(), [&](const std::string& id) { return SameId(id, deviceId); }))
        ids.push_back(deviceId);
}

void CSunTuneRules::MarkNotificationClosed(const std::string& deviceId) {
    std::lock_guard guard(Open().lock);
    auto& ids = Open().ids;
    ids.erase(
        std::remove_if(ids.begin(), ids.end(), [&](const std::string& id) { return SameId(id, deviceId); }),
        ids.end());
}

bool CSunTuneRules::IsNotificationOpen(const std::string& deviceId) {
    std::lock_guard guard(Open().lock);
    const auto& ids = Open().ids;
    return std::any_of(ids.begin(), ids.end(), [&](const std::string& id) { return SameId(id, deviceId); });
}
