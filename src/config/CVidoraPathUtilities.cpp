#include "config/CVidoraPathUtilities.h"

#include "platform/SpecialFolders.h"

#include <optional>

std::string CVidoraPathUtilities::ExpandPath(const std::string& text) {
    std::string result = CPathUtilities::ExpandPath(text);
    ReplaceFolder(result, "%mypictures%",
                  [] { return SpecialFolders::GetPath(CSIDL_MYPICTURES | CSIDL_FLAG_CREATE); });
    ReplaceFolder(result, "%myvideos%", [this]() -> std::optional<std::string> {
        if (auto videos = SpecialFolders::GetPath(CSIDL_MYVIDEO | CSIDL_FLAG_CREATE))
            return videos;
        // No videos folder on this system: a folder of that name inside the documents folder stands in.
        auto documents = SpecialFolders::GetPath(CSIDL_PERSONAL);
        if (!documents || myVideosName_.empty())
            return std::nullopt;
        std::string fallback = *documents + "/" + myVideosName_;
        if (!CreateFolder(fallback))
            return std::nullopt;
        return fallback;
    });
    return result;
}
