#include "communicate/CCallingAppRows.h"

#include "communicate/CommunicateWeb.h"
#include "services/CGraniteCommunicationsManager.h"
#include "services/IGraniteCommunicationsManager.h"
#include "ui/CDialogBase.h"

namespace {

constexpr std::array<CCallingAppRows::Row, CCallingAppRows::kRowCount> kRows{{
    {1203, "IDS_STRING_INSTALLSKYPE_URL", 133},
    {1205, "IDS_STRING_INSTALLMSNMESSENGER_URL", 134},
    {1206, "IDS_STRING_INSTALLYAHOO_URL", 136},
    {1207, "IDS_STRING_INSTALLAIM_URL", 135},
    {1208, nullptr, 137},
    {1209, "IDS_STRING_INSTALLTENCENT_URL", 352},
}};

} // namespace

const CCallingAppRows::Row& CCallingAppRows::RowAt(int index) {
    return kRows[static_cast<size_t>(index)];
}

int CCallingAppRows::IndexOfButton(int button) {
    for (int i = 0; i < kRowCount; ++i) {
        if (kRows[static_cast<size_t>(i)].button == button)
            return i;
    }
    return -1;
}

std::vector<std::string> CCallingAppRows::NamesOf(int index) {
    // The three programs the manager finds itself are listed under the same resource texts it uses.
    switch (index) {
    case 0:
        return {"Skype"};
    case 1:
        return {CGraniteCommunicationsManager::LiveMessengerName()};
    case 2:
        return {"Yahoo Messenger", "Yahoo! Messenger"};
    case 3:
        return {"AIM Triton"};
    case 4:
        return {CGraniteCommunicationsManager::CallhubName()};
    case 5:
        return {CGraniteCommunicationsManager::QQName()};
    default:
        return {};
    }
}

bool CCallingAppRows::Find(IGraniteCommunicationsManager& manager, int index, ApplicationInfo* out) {
    for (const std::string& name : NamesOf(index)) {
        if (SUCCEEDED(manager.FindApplicationById(name, out)) ||
            SUCCEEDED(manager.FindApplicationByName(name, out)))
            return true;
    }
    return false;
}

std::string CCallingAppRows::InstallAddress(int index) {
    const Row& row = RowAt(index);
    if (row.installTextId == nullptr)
        return CDialogBase::LoadString(row.installFallback);
    return CommunicateWeb::OEMAddress(row.installTextId, row.installFallback);
}

std::array<int, CCallingAppRows::kRowCount>
CCallingAppRows::UpwardShifts(const std::array<bool, kRowCount>& offered) {
    std::array<int, kRowCount> shifts{};
    int hidden = 0;
    for (int i = 0; i < kRowCount; ++i) {
        shifts[static_cast<size_t>(i)] = hidden * kRowPitch;
        if (!offered[static_cast<size_t>(i)])
            ++hidden;
    }
    return shifts;
}

int CCallingAppRows::LastOffered(const std::array<bool, kRowCount>& offered) {
    for (int i = kRowCount - 1; i >= 0; --i) {
        if (offered[static_cast<size_t>(i)])
            return i;
    }
    return -1;
}
