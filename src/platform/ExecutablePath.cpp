#include "platform/ExecutablePath.h"

#include <climits>
#include <unistd.h>

namespace {
std::string g_override;
}

std::string GetExecutableDir() {
    if (!g_override.empty())
        return g_override;
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
        return ".";
    std::string path(buffer, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

void SetExecutableDirForTests(const std::string& dir) {
    g_override = dir;
}
