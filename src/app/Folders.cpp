#include "app/Folders.h"

#include "app/CVidoraSettings.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CResourceLibrary.h"
#include "platform/DebugOutput.h"
#include "platform/SpecialFolders.h"
#include "platform/TextUtil.h"

#include <cerrno>
#include <functional>
#include <memory>

#include <sys/stat.h>

namespace {
constexpr uint32_t kMyVideosNameString = 283;

struct FolderName {
    const char* name;
    int id;
};

const FolderName kFolderNames[] = {
    {"CSIDL_COMMON_APPDATA", CSIDL_COMMON_APPDATA},
    {"CSIDL_APPDATA", CSIDL_APPDATA},
    {"CSIDL_PROGRAM_FILES_COMMON", CSIDL_PROGRAM_FILES_COMMON},
    {"CSIDL_PROGRAM_FILES", CSIDL_PROGRAM_FILES},
    {"CSIDL_MYPICTURES", CSIDL_MYPICTURES},
    {"CSIDL_COMMON_DOCUMENTS", CSIDL_COMMON_DOCUMENTS},
    {"CSIDL_PERSONAL", CSIDL_PERSONAL},
    {"CSIDL_WINDOWS", CSIDL_WINDOWS},
    {"CSIDL_SYSTEM", CSIDL_SYSTEM},
};

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
} // namespace

bool EnsureFolder(const std::string& path) {
    // Only absolute paths: a relative one would grow a folder tree wherever the program was started.
    if (path.empty() || path.front() != '/')
        return false;
    std::string folder = path;
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    if (folder.empty())
        return !path.empty() && IsDirectory(path);
    if (IsDirectory(folder))
        return true;
    size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0)
        EnsureFolder(folder.substr(0, slash));
    if (mkdir(folder.c_str(), 0777) == 0)
        return true;
    return errno == EEXIST && IsDirectory(folder);
}

int ResolveFolderName(const std::string& name) {
    for (const FolderName& f : kFolderNames)
        if (name == f.name)
            return f.id;
    return -1;
}

bool SplitFolderPath(const std::string& text, std::string& name, std::string& rest) {
    if (text.empty() || text.front() != '<')
        return false;
    size_t close = text.find('>', 1);
    if (close == std::string::npos)
        return false;
    name = text.substr(1, close - 1);
    rest = text.substr(close + 1);
    return true;
}

std::optional<std::string> ResolveFolderPath(const std::string& text) {
    std::string name;
    std::string rest;
    if (!SplitFolderPath(text, name, rest))
        return std::nullopt;
    int id = ResolveFolderName(name);
    if (id < 0)
        return std::nullopt;
    std::optional<std::string> folder = SpecialFolders::GetPath(id);
    if (!folder || folder->empty())
        return std::nullopt;
    std::string relative = Text::ReplaceAll(rest, "\\", "/");
    size_t start = relative.find_first_not_of('/');
    relative = start == std::string::npos ? std::string() : relative.substr(start);
    if (relative.empty())
        return *folder;
    return *folder == "/" ? "/" + relative : *folder + "/" + relative;
}

void SetUpFolders(std::string& movieFolder, std::string& photoFolder) {
    // Without the program's OEM information (a tool, a test) a plain one made now gives the built-in
    // defaults for the folders as they are at this moment.
    std::unique_ptr<CVidoraOEMInfo> plain;
    auto* info = dynamic_cast<CVidoraOEMInfo*>(GetOEMInfo());
    if (info == nullptr) {
        plain = std::make_unique<CVidoraOEMInfo>();
        info = plain.get();
    }
    CVidoraOEMInfo& oem = *info;

    // A stored folder is used exactly as stored (only defaults are trimmed), as long as it is an absolute
    // path; anything else is replaced by the default. A default that cannot be made (no home folder to put
    // it in) leaves the folder empty and the store untouched: the capture window reports it when it writes.
    auto setUp = [](const char* valueName, const std::function<std::string()>& defaultFolder,
                    HRESULT (*store)(const std::string&)) {
        std::string folder = CVidoraSettings::ReadRootString(valueName, "");
        if (IsAbsolute(folder)) {
            EnsureFolder(folder);
            return folder;
        }
        if (!folder.empty())
            OutputDebugString(std::string("SetUpFolders: ") + valueName +
                              " is not an absolute path, default used");
        folder = Text::Trim(defaultFolder());
        if (!IsAbsolute(folder))
            return std::string();
        store(folder);
        return folder;
    };
    movieFolder = setUp(
        "MovieFolder",
        [&] {
            oem.SetMyVideosName(CResourceLibrary::Instance().GetString(kMyVideosNameString));
            return oem.GetMovieFolder();
        },
        &CVidoraSettings::SetMovieFolder);
    photoFolder = setUp(
        "PhotoFolder", [&] { return oem.GetPhotoFolder(); }, &CVidoraSettings::SetPhotoFolder);

    std::string modelFolder = CVidoraSettings::ReadRootString("VideoEffectsModelDataFolder", "");
    if (modelFolder.empty()) {
        modelFolder = oem.GetModelDataFolder();
        if (!modelFolder.empty())
            CVidoraSettings::SetVideoEffectsModelDataFolder(modelFolder);
    }
    // An unknown name, or a folder the platform does not have, leaves the value as it is.
    if (std::optional<std::string> resolved = ResolveFolderPath(modelFolder))
        CVidoraSettings::SetVideoEffectsModelDataFolder(*resolved);
}
