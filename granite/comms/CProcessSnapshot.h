#pragma once
// The processes one user runs, as the proc file system shows them: each one's kernel command name and the
// file name of the program it was started as. Used to tell which calling programs run.
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace Granite {

struct ProcessInfo {
    int32_t pid = 0;
    std::string comm;    // the kernel's command name (cut to 15 bytes)
    std::string program; // the file name of the first command-line argument, without its folder
};

class CProcessSnapshot {
public:
    // The processes of `uid` under `procRoot` (the proc file system's mount point, or a test's folder), in
    // process id order. Processes that end meanwhile are left out.
    static std::vector<ProcessInfo> Read(const std::string& procRoot, uid_t uid);
    // The lowest process id that runs under one of `names`; 0 for none.
    static int32_t Find(const std::vector<ProcessInfo>& processes, const std::vector<std::string>& names);
};

} // namespace Granite
