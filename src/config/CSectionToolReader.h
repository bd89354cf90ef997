#pragma once
// One "Section" of a tool document: its logo and its tools in document order. Load reads a whole document
// into a list of sections.
//
// Every tool becomes a settings lookup and a link in the communicate window, so a document is read up to
// limits far above what a real one holds (a handful of tools): its first kMaxSections sections and its first
// kMaxTools tools, counted over the whole document in document order. Whatever follows is ignored.
#include "config/CSection.h"

#include <memory>
#include <string>
#include <vector>

namespace SectionReader {

class CSectionToolReader;
using SectionList = std::vector<std::unique_ptr<CSectionToolReader>>;

class CSectionToolReader {
public:
    static constexpr size_t kMaxSections = 64;
    static constexpr size_t kMaxTools = 256;

    // Reads the section's logo and its first `maxTools` tools.
    CSectionToolReader(const CXMLParser& xml, XmlNode section, size_t maxTools = kMaxTools);

    const std::string& GetLogo() const { return logo_; }
    size_t GetCount() const { return tools_.size(); }
    const CSection* GetAt(size_t index) const {
        return index < tools_.size() ? tools_[index].get() : nullptr;
    }
    const std::vector<std::unique_ptr<CSection>>& Tools() const { return tools_; }

    // The sections of the document at `path` whose root element is named `rootName` exactly. "Section"
    // and "Tool" elements are found without regard to case. A document that cannot be read, or has another
    // root, gives an empty list.
    static SectionList Load(const std::string& path, const std::string& rootName);

private:
    std::string logo_;
    std::vector<std::unique_ptr<CSection>> tools_;
};

} // namespace SectionReader
