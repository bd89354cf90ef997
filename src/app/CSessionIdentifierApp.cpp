#include "app/CSessionIdentifierApp.h"

#include "platform/CProcessTable.h"
#include "platform/DebugOutput.h"
#include "platform/TextUtil.h"

#include <algorithm>

CSessionIdentifierApp::CSessionIdentifierApp(std::string procRoot)
    : procRoot_(std::move(procRoot)), version_(CSystemInfo::Instance().GetVersion()) {}

bool CSessionIdentifierApp::EnumerateSessionProcesses() {
    // A failed enumeration must not leave an earlier table behind to be mistaken for the current one.
    sessionProcesses_.clear();
    enumeratedCount_ = 0;
    if (version_.major <= 4 || version_.minor == 0)
        return false;

    CProcessTable table(procRoot_);
    if (!table.Refresh())
        return false;
    std::optional<uid_t> self = table.OwnerOf("self");
    if (!self) {
        OutputDebugString("GetCurrentSessionID failed");
        return false;
    }
    enumeratedCount_ = table.Processes().size();
    for (const ProcessEntry& p : table.Processes())
        if (p.uid == *self)
            sessionProcesses_.push_back(static_cast<uint32_t>(p.pid));
    return true;
}

int CSessionIdentifierApp::IsPIDInCurrentSession(uint32_t pid) {
    if (!EnumerateSessionProcesses())
        OutputDebugString(
            "CSessionIdentifierApp::IsPIDInCurrentSession , EnumerateSessionProcesses() failed");
    OutputDebugString(
        Text::Format("Checking if Camera PID  %d is in current session", static_cast<int>(pid)));
    if (std::find(sessionProcesses_.begin(), sessionProcesses_.end(), pid) == sessionProcesses_.end())
        return 0;
    OutputDebugString(Text::Format("Found Camera PID  %d in current session", static_cast<int>(pid)));
    return 1;
}
