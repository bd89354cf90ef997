#pragma once
#include <string>

// Expands the path placeholders of stored paths and settings defaults.
class CPathUtilities {
public:
    virtual ~CPathUtilities() = default;
    // "%CSIDL_COMMON_APPDATA%" and "%ProgramFiles%" (names exact), each only when its folder is known;
    // anything else is left as written.
    virtual std::string ExpandPath(const std::string& text);

    // Creates a folder and its missing parents, after dropping one trailing "/" or "\". True when the folder
    // exists afterwards. Relative paths are refused: they would land wherever the process happens to run.
    static bool CreateFolder(const std::string& path);

protected:
    // Replaces every `placeholder` in `text` by the folder when `folder` gives one; queried only when the
    // placeholder occurs, so a folder that would be created on query is not created needlessly.
    template <typename Query>
    static void ReplaceFolder(std::string& text, const char* placeholder, Query folder);
};

#include "platform/TextUtil.h"

template <typename Query>
void CPathUtilities::ReplaceFolder(std::string& text, const char* placeholder, Query folder) {
    if (text.find(placeholder) == std::string::npos)
        return;
    if (auto path = folder())
        text = Text::ReplaceAll(text, placeholder, *path);
}
