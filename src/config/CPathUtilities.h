#pragma once
#include <string>

// Expands the path placeholders of stored paths and settings defaults.
class CPathUtilities {
public:
    virtual ~CPathUtilities() = default;
    // "%CSIDL_COMMON_APPDATA%" and "%ProgramFiles%", each only when its folder is known.
    virtual std::string ExpandPath(const std::string& text);
};
