#include "config/CVidoraOEMInfo.h"

#include "config/CVidoraOEMReader.h"
#include "config/CVidoraPathUtilities.h"
#include "platform/DebugOutput.h"
#include "platform/TextUtil.h"

CVidoraOEMInfo::CVidoraOEMInfo() {
    pathUtilities_ = std::make_unique<CVidoraPathUtilities>();
}

std::unique_ptr<OEMReader::COEMReader> CVidoraOEMInfo::CreateReader() {
    return std::make_unique<OEMReader::CVidoraOEMReader>();
}

void CVidoraOEMInfo::EnsureLoaded() {
    if (loadComplete_.load(std::memory_order_acquire))
        return;
    std::lock_guard guard(loadLock_);
    if (loadAttempted_)
        return;
    loadAttempted_ = true;
    LoadDocument();
    if (auto* reader = dynamic_cast<OEMReader::CVidoraOEMReader*>(Reader())) {
        photoFolder_ = ResolveDocumentFolder(reader->GetPicturesFolder());
        movieFolder_ = ResolveDocumentFolder(reader->GetVideosFolder());
    }
    loadComplete_.store(true, std::memory_order_release);
}

std::string CVidoraOEMInfo::ResolveDocumentFolder(const std::string& text) {
    if (text.empty())
        return {};
    // Documents written for other systems separate folders with "\"; here that would be part of a name.
    std::string path = ExpandPath(Text::ReplaceAll(text, "\\", "/"));
    if (path.empty() || path.front() != '/') {
        OutputDebugString("CVidoraOEMInfo: OEM folder is not an absolute path, built-in folder used");
        return {};
    }
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    // A folder that cannot be created stays in use: the capture window reports the failure when it writes.
    if (!CPathUtilities::CreateFolder(path))
        OutputDebugString("CVidoraOEMInfo: OEM folder could not be created");
    return path;
}

std::string CVidoraOEMInfo::BuiltInFolder(const std::string& placeholder, const std::string& name) {
    std::string path = ExpandPath(placeholder + "/" + name);
    // A placeholder that could not be expanded (the user's folder cannot be made: a full or read-only
    // home) leaves a relative path, which would put the folder wherever the program happens to run.
    if (path.empty() || path.front() != '/') {
        OutputDebugString("CVidoraOEMInfo: no built-in folder for " + placeholder);
        return {};
    }
    CPathUtilities::CreateFolder(path);
    return path;
}

std::string CVidoraOEMInfo::GetRegistryPath() {
    EnsureLoaded();
    std::string path = COEMInfo::GetRegistryPath();
    return path.empty() ? std::string(kDefaultRegistryPath) : path;
}

std::string CVidoraOEMInfo::ApplyBuiltInPlaceholders(const std::string& text) {
    EnsureLoaded();
    std::string result = COEMInfo::ApplyBuiltInPlaceholders(text);
    if (result.find('%') == std::string::npos)
        return result;
    result = Text::ReplaceAll(result, "%product%", "Vidora\u00AE");
    result = Text::ReplaceAll(result, "%appname%", "Vidora");
    result = Text::ReplaceAll(result, "%web:product%", std::string(kCompanyWebAddress) + "/vidora");
    result = Text::ReplaceAll(result, "%captureWindow%", "SnapDesk");
    result = Text::ReplaceAll(result, "%aCompanyProduct%", "Brenmoor\u00AE Vidora\u00AE");
    result = Text::ReplaceAll(result, "%productNoR%", "Vidora");
    return result;
}

std::string CVidoraOEMInfo::GetPhotoFolder() {
    EnsureLoaded();
    return photoFolder_.empty() ? BuiltInFolder("%mypictures%", kCaptureFolderName) : photoFolder_;
}

std::string CVidoraOEMInfo::GetMovieFolder() {
    EnsureLoaded();
    return movieFolder_.empty() ? BuiltInFolder("%myvideos%", kCaptureFolderName) : movieFolder_;
}

std::string CVidoraOEMInfo::GetModelDataFolder() {
    EnsureLoaded();
    return BuiltInFolder("%CSIDL_COMMON_APPDATA%", "Brenmoor/Vidora/ModelData");
}

void CVidoraOEMInfo::SetMyVideosName(const std::string& name) {
    EnsureLoaded();
    static_cast<CVidoraPathUtilities&>(*pathUtilities_).SetMyVideosName(name);
}
