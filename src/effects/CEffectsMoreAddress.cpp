#include "effects/CEffectsMoreAddress.h"

#include "platform/TextUtil.h"
#include "services/IGraniteDeviceManager.h"

#include <QLocale>

namespace {

std::string Upper(const std::string& text) {
    return QString::fromStdString(text).toUpper().toStdString();
}

} // namespace

std::string CEffectsMoreAddress::Build(const std::string& language, const std::string& country, int category,
                                       const std::optional<Camera>& camera) {
    std::string address = kListingPage;
    address += Text::Format("/%s/%s", Upper(language).c_str(), Upper(country).c_str());
    address += ",CRID=2366";
    address += Text::Format(",effecttype=%d", category == 0 ? kAvatarsType : kOtherType);
    if (camera) {
        address += Text::Format(",PID=%04x%04x", static_cast<unsigned>(camera->info1),
                                static_cast<unsigned>(camera->info3));
    }
    address += ",ad=Vidora";
    address += Text::Format(",version=%d-%d-%d", 11, 0, 0);
    return address;
}

std::string CEffectsMoreAddress::Build(int category, IGraniteDeviceManager* devices) {
    std::string language, country;
    SystemLocale(language, country);
    return Build(language, country, category, EffectsCamera(devices));
}

std::optional<CEffectsMoreAddress::Camera>
CEffectsMoreAddress::EffectsCamera(IGraniteDeviceManager* devices) {
    if (devices == nullptr)
        return std::nullopt;
    VideoDeviceInfo info;
    std::string id;
    bool found = SUCCEEDED(devices->GetServiceText66(id)) && SUCCEEDED(devices->FindVideoDevice(id, &info));
    if (!found) {
        int index = -1;
        found = SUCCEEDED(devices->GetSelectedVideoDeviceIndex(&index)) &&
                SUCCEEDED(devices->GetVideoDevice(index, &info));
    }
    if (!found)
        return std::nullopt;
    return Camera{info.productId, info.revision};
}

void CEffectsMoreAddress::SystemLocale(std::string& language, std::string& country) {
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C || locale.territory() == QLocale::AnyTerritory) {
        language = "EN";
        country = "US";
        return;
    }
    language = QLocale::languageToCode(locale.language(), QLocale::ISO639Part1).toStdString();
    country = QLocale::territoryToCode(locale.territory()).toStdString();
    if (language.empty())
        language = "EN";
}
