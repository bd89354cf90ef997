#include "granite/comms/CProcessSnapshot.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <string_view>
#include <sys/stat.h>

namespace Granite {

namespace {

// Enough for a command name and a program path; the rest of a long command line is not needed.
constexpr size_t kMaxReadBytes = 4096;

bool ReadSmallFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text->resize(kMaxReadBytes);
    in.read(text->data(), static_cast<std::streamsize>(text->size()));
    text->resize(static_cast<size_t>(in.gcount()));
    return true;
}

bool IsNumber(const char* name) {
    if (*name == '\0')
        return false;
    for (const char* p = name; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return false;
    }
    return true;
}

} // namespace

std::vector<ProcessInfo> CProcessSnapshot::Read(const std::string& procRoot, uid_t uid) {
    std::vector<ProcessInfo> processes;
    DIR* dir = ::opendir(procRoot.c_str());
    if (dir == nullptr)
        return processes;
    while (dirent* item = ::readdir(dir)) {
        if (!IsNumber(item->d_name) || std::string(item->d_name).size() > 9)
            continue;
        const std::string base = procRoot + "/" + item->d_name;
        struct stat info {};
        if (::stat(base.c_str(), &info) != 0 || info.st_uid != uid)
            continue;
        ProcessInfo process;
        process.pid = std::stoi(item->d_name);
        std::string comm;
        if (ReadSmallFile(base + "/comm", &comm)) {
            while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\0'))
                comm.pop_back();
            process.comm = comm;
        }
        std::string cmdline;
        if (ReadSmallFile(base + "/cmdline", &cmdline)) {
            std::string first = cmdline.substr(0, cmdline.find('\0'));
            size_t slash = first.rfind('/');
            process.program = slash == std::string::npos ? first : first.substr(slash + 1);
        }
        if (process.comm.empty() && process.program.empty())
            continue; // gone while we looked, or a kernel thread
        processes.push_back(std::move(process));
    }
    ::closedir(dir);
    std::sort(processes.begin(), processes.end(),
              [](const ProcessInfo& a, const ProcessInfo& b) { return a.pid < b.pid; });
    return processes;
}

int32_t CProcessSnapshot::Find(const std::vector<ProcessInfo>& processes,
                               const std::vector<std::string>& names) {
    for (const ProcessInfo& process : processes) {
        for (const std::string& name : names) {
            if (name.empty())
                continue;
            if (process.program == name ||
                std::string_view(process.comm) == std::string_view(name).substr(0, 15))
                return process.pid;
        }
    }
    return 0;
}

} // namespace Granite
