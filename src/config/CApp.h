#pragma once
// One calling program of the calling-applications list: whether it is offered at all, and in which system
// languages and on which operating-system types.
#include "config/COSes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace AppsReader {

class CApp {
public:
    std::string id;
    bool shown = false;
    // Null when the document gives no "Countries": no language restriction. Empty: no language passes.
    std::unique_ptr<std::vector<int32_t>> countries;
    // Null when the document gives no "OSes".
    std::unique_ptr<COSes> oses;

    bool IsCountryAllowed(int32_t languageId) const;
};

} // namespace AppsReader
