#include "platform/SpecialFolders.h"

#include "platform/ExecutablePath.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace SpecialFolders {
namespace {
std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::string(v) : std::string();
}

std::string StripSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

std::string Home() {
    std::string home = Env("HOME");
    return home.empty() ? std::string("/") : StripSlash(home);
}

std::string XdgDataHome() {
    std::string v = Env("XDG_DATA_HOME");
    return v.empty() ? Home() + "/.local/share" : StripSlash(v);
}

std::string StandardLocation(QStandardPaths::StandardLocation location, const char* fallbackName) {
    QString p = QStandardPaths::writableLocation(location);
    if (p.isEmpty())
        return Home() + "/" + fallbackName;
    return StripSlash(p.toStdString());
}

std::string PrefixDir() {
    // The executable lives in <prefix>/bin.
    return StripSlash(QDir::cleanPath(QString::fromStdString(GetExecutableDir() + "/..")).toStdString());
}

std::optional<std::string> RawPath(int id) {
    switch (id) {
    case CSIDL_PERSONAL:
        return StandardLocation(QStandardPaths::DocumentsLocation, "Documents");
    case CSIDL_MYPICTURES:
        return StandardLocation(QStandardPaths::PicturesLocation, "Pictures");
    case CSIDL_MYVIDEO:
        return StandardLocation(QStandardPaths::MoviesLocation, "Videos");
    case CSIDL_APPDATA:
        return XdgDataHome();
    case CSIDL_INTERNET_CACHE: {
        std::string v = Env("XDG_CACHE_HOME");
        return v.empty() ? Home() + "/.cache" : StripSlash(v);
    }
    case CSIDL_COMMON_APPDATA: {
        std::string v = Env("VIDORA_COMMON_DATA_DIR");
        return v.empty() ? PrefixDir() + "/share" : StripSlash(v);
    }
    case CSIDL_COMMON_DOCUMENTS: {
        std::string v = Env("VIDORA_COMMON_DOCUMENTS_DIR");
        return v.empty() ? *RawPath(CSIDL_COMMON_APPDATA) + "/Documents" : StripSlash(v);
    }
    case CSIDL_PROGRAM_FILES: {
        std::string v = Env("VIDORA_PROGRAM_FILES_DIR");
        return v.empty() ? PrefixDir() : StripSlash(v);
    }
    case CSIDL_PROGRAM_FILES_COMMON:
        return *RawPath(CSIDL_PROGRAM_FILES) + "/lib";
    case CSIDL_WINDOWS:
        return std::string("/usr");
    case CSIDL_SYSTEM:
        return std::string("/usr/lib");
    default:
        return std::nullopt;
    }
}
} // namespace

bool CreateFolderTree(const std::string& path) {
    if (path.empty())
        return false;
    return QDir().mkpath(QString::fromStdString(path));
}

std::optional<std::string> GetPath(int csidl) {
    bool create = (csidl & CSIDL_FLAG_CREATE) != 0;
    auto path = RawPath(csidl & ~CSIDL_FLAG_CREATE);
    if (path && create && !CreateFolderTree(*path))
        return std::nullopt;
    return path;
}

std::string TempDir() {
    std::string v = Env("TMPDIR");
    return v.empty() ? std::string("/tmp") : StripSlash(v);
}

std::string UserConfigDir() {
    std::string v = Env("XDG_CONFIG_HOME");
    return (v.empty() ? Home() + "/.config" : StripSlash(v)) + "/vidora";
}

bool IsPrivateFolder(bool isDirectory, unsigned mode, unsigned owner, unsigned user) {
    return isDirectory && owner == user && (mode & 0777) == 0700;
}

namespace {
constexpr int kRuntimeAlternatives = 9;

std::mutex g_runtimeLock;
// The fresh folder made when no shared one is private, for the primary location it replaces.
std::string g_freshFor;
std::string g_freshFolder;
std::string g_problem;

// Makes the folder when it is missing (private from the start) or checks the one that is there. A link is
// never followed: lstat sees the link itself.
bool UsePrivateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0) {
        // The umask may have taken bits away; the folder is ours, so it can be put right.
        return chmod(path.c_str(), 0700) == 0;
    }
    if (errno != EEXIST)
        return false;
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return false;
    if (IsPrivateFolder(S_ISDIR(info.st_mode), info.st_mode, info.st_uid, geteuid()))
        return true;
    // Our own folder that others could read but never write into holds nothing of theirs: it is closed
    // again. One that others could write into is never trusted.
    if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return false;
    if (chmod(path.c_str(), 0700) != 0 || lstat(path.c_str(), &info) != 0)
        return false;
    return IsPrivateFolder(S_ISDIR(info.st_mode), info.st_mode, info.st_uid, geteuid());
}
} // namespace

std::string RuntimeDir() {
    std::string v = Env("XDG_RUNTIME_DIR");
    const bool sessionFolder = !v.empty() && v.front() == '/';
    std::string primary =
        sessionFolder ? StripSlash(v) + "/vidora" : TempDir() + "/vidora-" + std::to_string(geteuid());
    std::lock_guard guard(g_runtimeLock);
    g_problem.clear();
    if (UsePrivateFolder(primary))
        return primary;
    if (sessionFolder && errno == ENOENT) {
        // The session's runtime folder itself is missing (an unusual session): make it, then ours in it.
        CreateFolderTree(StripSlash(v));
        if (UsePrivateFolder(primary))
            return primary;
    }
    // Somebody else may have made the folder first. The alternatives are tried in a fixed order, so that
    // every process of this user settles on the same one.
    for (int i = 1; i <= kRuntimeAlternatives; ++i) {
        std::string alternative = primary + "." + std::to_string(i);
        if (UsePrivateFolder(alternative))
            return alternative;
    }
    // A folder of this process alone, made once and kept while it lasts.
    if (g_freshFor != primary || !UsePrivateFolder(g_freshFolder)) {
        std::string pattern = TempDir() + "/vidora-" + std::to_string(geteuid()) + "-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        g_freshFor = primary;
        g_freshFolder = mkdtemp(buffer.data()) != nullptr ? std::string(buffer.data()) : std::string();
    }
    if (g_freshFolder.empty()) {
        g_problem = "No private runtime folder can be made: " + primary +
                    " is not a folder of this user with mode 0700, and " + TempDir() + " cannot be written.";
        return {};
    }
    g_problem = "The runtime folder " + primary + " is not a folder of this user with mode 0700; " +
                g_freshFolder + " is used instead, so this start cannot tell whether Vidora already runs.";
    return g_freshFolder;
}

std::string RuntimeDirProblem() {
    std::lock_guard guard(g_runtimeLock);
    return g_problem;
}

std::string MachineDir() {
    std::string v = Env("VIDORA_MACHINE_DIR");
    return v.empty() ? std::string("/var/lib/vidora") : StripSlash(v);
}

} // namespace SpecialFolders
