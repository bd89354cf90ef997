#pragma once
// The calling-applications list ("callingapps.xml"): which video-calling programs may be offered, in which
// system languages and on which operating-system types. An unreadable document, or one with another root,
// gives an empty list, which allows every program.
#include "config/CApp.h"

#include <memory>
#include <string>
#include <vector>

namespace AppsReader {

class CAppsReader {
public:
    CAppsReader(const std::string& path, const std::string& rootName);

    // The first program whose id equals `name` without regard to case; null when absent.
    const CApp* Find(const std::string& name) const;
    size_t GetCount() const { return apps_.size(); }
    const CApp* GetAt(size_t index) const { return index < apps_.size() ? apps_[index].get() : nullptr; }

private:
    std::vector<std::unique_ptr<CApp>> apps_;
};

} // namespace AppsReader
