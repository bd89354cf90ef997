#include "communicate/CommunicateWeb.h"

#include "config/COEMInfo.h"
#include "platform/WebPage.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CDialogBase.h"

namespace CommunicateWeb {

bool Open(const std::string& address) {
    return OpenWebPage(address);
}

bool OpenOrTell(const std::string& address) {
    if (Open(address))
        return true;
    CCustomMessageBoxOK::Show(kCannotOpenText, MessageBoxIcon::Warning);
    return false;
}

std::string OEMAddress(const char* textId, uint32_t fallback) {
    COEMInfo* oem = GetOEMInfo();
    if (oem == nullptr)
        return CDialogBase::LoadString(fallback);
    // The document's texts and the built-in strings may both name the maker's site by placeholder.
    return oem->ExpandText(oem->GetString(fallback, textId));
}

} // namespace CommunicateWeb
