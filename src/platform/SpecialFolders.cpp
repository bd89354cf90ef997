#include "platform/SpecialFolders.h"

#include "platform/ExecutablePath.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

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

std::string RuntimeDir() {
    std::string v = Env("XDG_RUNTIME_DIR");
    std::string dir = v.empty() ? "/tmp/vidora-" + std::to_string(getuid()) : StripSlash(v) + "/vidora";
    // Private to the user: named objects and volatile settings live here.
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        CreateFolderTree(dir);
    return dir;
}

std::string MachineDir() {
    std::string v = Env("VIDORA_MACHINE_DIR");
    return v.empty() ? std::string("/var/lib/vidora") : StripSlash(v);
}

} // namespace SpecialFolders
