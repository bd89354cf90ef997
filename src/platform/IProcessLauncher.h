#pragma once
// Starting other programs. Every program starts from an argument list; nothing goes through a shell. The
// process-wide launcher is the real one unless a test installs another.
#include <string>
#include <vector>

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // Starts argv[0] with the arguments argv[1..] as a process of its own that outlives this one; nothing of
    // it is kept. True when the program was started.
    virtual bool StartDetached(const std::vector<std::string>& argv) = 0;
};

// The process-wide launcher. SetProcessLauncher(nullptr) restores the real one; the caller keeps ownership.
IProcessLauncher& GetProcessLauncher();
void SetProcessLauncher(IProcessLauncher* launcher);
