#include "settings/CCallingProgramNames.h"

#include "platform/TextUtil.h"
#include "services/IGraniteCommunicationsManager.h"

namespace {
constexpr const char* kDroppedWord = "Triton";
}

std::string CCallingProgramNames::Shown(const std::string& name) {
    return Text::Trim(Text::ReplaceAll(name, kDroppedWord, ""));
}

bool CCallingProgramNames::Same(const std::string& a, const std::string& b) {
    return Text::EqualsNoCase(Shown(a), Shown(b));
}

int CCallingProgramNames::Find(const std::vector<std::string>& entries, const std::string& stored) {
    if (Shown(stored).empty())
        return -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (Same(entries[i], stored))
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<std::string> CCallingProgramNames::ReadyPrograms(IGraniteCommunicationsManager* manager) {
    std::vector<std::string> names;
    if (manager == nullptr)
        return names;
    manager->RefreshApplications();
    const int32_t count = manager->GetApplicationCount();
    for (int32_t i = 0; i < count; ++i) {
        ApplicationInfo application;
        if (FAILED(manager->GetApplication(i, &application)) || !IsVideoCallCandidate(*manager, application))
            continue;
        const std::string shown = Shown(application.name);
        if (!shown.empty() && Find(names, shown) < 0)
            names.push_back(shown);
    }
    return names;
}
