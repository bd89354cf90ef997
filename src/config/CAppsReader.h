#pragma once
// The calling-applications list ("callingapps.xml"): which video-calling programs may be offered, in which
// system languages and on which operating-system types. An unreadable document, or one with another root,
// gives an empty list, which allows every program.
#include "config/CApp.h"
#include "config/CXMLParser.h"

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
    // Whether the document was read and its root element had the expected name (an empty list from a
    // readable document still counts).
    bool RootFound() const { return rootFound_; }

    // The lists the calling-applications list and the tool documents share. `list` is the element that
    // holds the entries ("Countries", "Cameras", "OSes"); null gives null (no restriction). Entries are the
    // children named `itemName` without regard to case. Numbers take their base from their prefix (0x: hex,
    // leading 0: octal); a text that is not a number reads as 0.
    static std::unique_ptr<std::vector<int32_t>> ReadNumberList(const CXMLParser& xml, XmlNode list,
                                                                const char* itemName);
    // "OS" entries: "2K", "XP" or "Vista" without regard to case; other texts are skipped.
    static std::unique_ptr<COSes> ReadOSes(const CXMLParser& xml, XmlNode list);

private:
    std::vector<std::unique_ptr<CApp>> apps_;
    bool rootFound_ = false;
};

} // namespace AppsReader
