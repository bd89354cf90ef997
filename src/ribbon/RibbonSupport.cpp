#include "ribbon/RibbonSupport.h"

#include "app/CVidoraApp.h"
#include "config/COEMInfo.h"
#include "services/ApplicationInfo.h"
#include "ui/CDialogBase.h"

namespace RibbonSupport {

bool OEMSwitch(const std::string& name, bool defaultValue) {
    COEMInfo* oem = GetOEMInfo();
    return oem != nullptr ? oem->IsFeatureEnabled(name, defaultValue) : defaultValue;
}

std::string OEMTextOr(const std::string& id, uint32_t fallbackId) {
    COEMInfo* oem = GetOEMInfo();
    std::string text = oem != nullptr ? oem->ExpandText(oem->GetText(id)) : std::string();
    return text.empty() ? Str(fallbackId) : text;
}

std::string Str(uint32_t id) {
    return CDialogBase::LoadString(id);
}

std::string Cut(const std::string& text, size_t maxChars) {
    return ApplicationInfo::CutToCodePoints(text, maxChars);
}

bool StartedHidden() {
    CVidoraApp* app = CVidoraApp::Instance();
    return app != nullptr && app->startHidden != 0;
}

} // namespace RibbonSupport
