#pragma once
// One tool document of the communicate window ("EditTools.xml", "VLogTools.xml", ...) with what the window
// needs of each of its tools. The document is the file of that name in the "Config" folder beside the
// executable, else the built-in XML resource. Tools whose installation is not recorded yet are looked for
// on this computer first (CToolRegistrationScan), so tools installed since the last look are found.
#include "communicate/CToolData.h"
#include "communicate/CToolShowTest.h"
#include "config/CSectionToolReader.h"

#include <cstdint>
#include <string>
#include <vector>

class CPaneConfigReader {
public:
    struct Section {
        // The document's section (owned by the reader).
        const SectionReader::CSectionToolReader* source = nullptr;
        // The section's "Logo" text.
        std::string logo;
        // Every tool of the section, in document order; `shown` tells which pass the show test.
        std::vector<CToolData> tools;

        // The tools that pass the show test, in document order.
        std::vector<const CToolData*> ShownTools() const;
    };

    struct Options {
        int32_t uiLanguage = 1033;
        CToolShowTest::Facts facts;
        // Look for tools whose installation is not recorded (and record what is found).
        bool scanForTools = true;

        // The user-interface language, the system's facts, scanning on.
        static Options FromSystem();
    };

    CPaneConfigReader(const std::string& fileName, uint32_t resourceId, const std::string& rootName);
    CPaneConfigReader(const std::string& fileName, uint32_t resourceId, const std::string& rootName,
                      const Options& options);
    CPaneConfigReader(const CPaneConfigReader&) = delete;
    CPaneConfigReader& operator=(const CPaneConfigReader&) = delete;

    // True while no tool of the document passes the show test (an unreadable document included).
    bool NothingToShow() const { return nothingToShow_; }
    // Every section of the document in document order, also those without a shown tool.
    const std::vector<Section>& Sections() const { return sections_; }
    // The first tool (sections and tools in document order) whose identifier equals `id` exactly; null when
    // none.
    const CToolData* Find(const std::string& id) const;
    // Where the document was read from ("" when there was none).
    const std::string& DocumentPath() const { return path_; }

private:
    void Build(const std::string& rootName, const Options& options);

    std::string path_;
    SectionReader::SectionList document_;
    std::vector<Section> sections_;
    bool nothingToShow_ = true;
};
