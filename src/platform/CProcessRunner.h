#pragma once
#include "platform/IProcessLauncher.h"

// The real launcher: the program is started directly (a name without "/" is looked up in PATH), with the
// current directory and environment of this process, and left to run on its own.
class CProcessRunner : public IProcessLauncher {
public:
    bool StartDetached(const std::vector<std::string>& argv) override;
};
