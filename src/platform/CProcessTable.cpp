#include "platform/CProcessTable.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include <dirent.h>

CProcessTable::CProcessTable(std::string procRoot) : procRoot_(std::move(procRoot)) {}

std::optional<uid_t> CProcessTable::OwnerOf(const std::string& entry) const {
    std::ifstream in(procRoot_ + "/" + entry + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Uid:", 0) != 0)
            continue;
        // "Uid:\treal\teffective\tsaved\tfilesystem"
        std::istringstream fields(line.substr(4));
        long long real = -1;
        long long effective = -1;
        if (!(fields >> real >> effective) || effective < 0)
            return std::nullopt;
        return static_cast<uid_t>(effective);
    }
    return std::nullopt;
}

bool CProcessTable::Refresh() {
    processes_.clear();
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(procRoot_.c_str()), closedir);
    if (!dir)
        return false;
    while (dirent* e = readdir(dir.get())) {
        const char* name = e->d_name;
        char* end = nullptr;
        long pid = std::strtol(name, &end, 10);
        if (*name < '1' || *name > '9' || end == nullptr || *end != '\0' || pid <= 0)
            continue;
        if (auto uid = OwnerOf(name))
            processes_.push_back(ProcessEntry{static_cast<pid_t>(pid), *uid});
    }
    return true;
}
