#include "communicate/CPaneConfigReader.h"

#include "communicate/CProgramFolders.h"
#include "communicate/CToolRegistrationScan.h"
#include "config/COEMInfo.h"
#include "platform/CResourceLibrary.h"

std::vector<const CToolData*> CPaneConfigReader::Section::ShownTools() const {
    std::vector<const CToolData*> shown;
    for (const CToolData& tool : tools) {
        if (tool.shown)
            shown.push_back(&tool);
    }
    return shown;
}

CPaneConfigReader::Options CPaneConfigReader::Options::FromSystem() {
    Options options;
    options.uiLanguage = GetUiLanguage();
    options.facts = CToolShowTest::Facts::FromSystem();
    return options;
}

CPaneConfigReader::CPaneConfigReader(const std::string& fileName, uint32_t resourceId,
                                     const std::string& rootName)
    : CPaneConfigReader(fileName, resourceId, rootName, Options::FromSystem()) {}

CPaneConfigReader::CPaneConfigReader(const std::string& fileName, uint32_t resourceId,
                                     const std::string& rootName, const Options& options) {
    if (COEMInfo* oem = GetOEMInfo())
        path_ = oem->GetConfigFilePath("Config", fileName, resourceId);
    Build(rootName, options);
}

void CPaneConfigReader::Build(const std::string& rootName, const Options& options) {
    document_ = SectionReader::CSectionToolReader::Load(path_, rootName);
    const CProgramFolders folders = CProgramFolders::FromEnvironment();
    if (options.scanForTools) {
        std::vector<const SectionReader::CSection*> tools;
        for (const auto& section : document_) {
            for (const auto& tool : section->Tools())
                tools.push_back(tool.get());
        }
        if (!tools.empty())
            CToolRegistrationScan::FromEnvironment().Register(tools);
    }
    const CToolShowTest showTest(options.facts);
    sections_.reserve(document_.size());
    for (const auto& source : document_) {
        Section section;
        section.source = source.get();
        section.logo = source->GetLogo();
        section.tools.reserve(source->GetCount());
        for (const auto& tool : source->Tools()) {
            CToolData data(*tool, options.uiLanguage, folders);
            data.shown = showTest.Passes(*tool);
            if (data.shown)
                nothingToShow_ = false;
            section.tools.push_back(std::move(data));
        }
        sections_.push_back(std::move(section));
    }
}

const CToolData* CPaneConfigReader::Find(const std::string& id) const {
    for (const Section& section : sections_) {
        for (const CToolData& tool : section.tools) {
            if (tool.GetId() == id)
                return &tool;
        }
    }
    return nullptr;
}
