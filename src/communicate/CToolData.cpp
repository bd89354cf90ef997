#include "communicate/CToolData.h"

#include "communicate/CProgramFolders.h"
#include "config/CSection.h"
#include "platform/CRegistry.h"
#include "platform/TextUtil.h"
#include "ui/CDialogBase.h"

#include <sys/stat.h>

namespace {

constexpr uint32_t kOutsideFoldersText = 1900;
constexpr uint32_t kCommandLineText = 1901;
constexpr uint32_t kBadExecutableText = 1902;

std::string Select(const std::unique_ptr<SectionReader::CSectionText>& text, int32_t language) {
    return text ? text->SelectText(language) : std::string();
}

// The recorded path of a tool: a text value of its key in the user's or the machine-wide settings. Any other
// branch records nothing.
std::string ReadRecordedPath(const SectionReader::CSection& tool) {
    if ((tool.registryBranch != Hive::CurrentUser && tool.registryBranch != Hive::LocalMachine) ||
        tool.registryKey.empty())
        return {};
    RegValue value;
    if (FAILED(CRegistry::Instance().QueryValue(tool.registryBranch, tool.registryKey, tool.registryValue,
                                                value)))
        return {};
    if ((value.type != REG_SZ && value.type != REG_EXPAND_SZ) || value.text.size() > CToolData::kMaxPathBytes)
        return {};
    return Text::Trim(value.text);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

} // namespace

CToolData::CToolData(const SectionReader::CSection& section, int32_t uiLanguage,
                     const CProgramFolders& folders)
    : tool(&section) {
    label = Select(section.name, uiLanguage);
    std::string path = ReadRecordedPath(section);
    if (!path.empty()) {
        if (CProgramFolders::HasShellSyntax(path)) {
            refusal = Refusal::CommandLine;
            refusedText = path;
        } else if (section.registryInformation == SectionReader::REGINFO_DIRECTORY) {
            if (CProgramFolders::IsPlainFileName(section.executable)) {
                path += "/" + section.executable;
            } else {
                refusal = Refusal::BadExecutableName;
                refusedText = section.executable;
            }
        }
    }
    if (!path.empty() && refusal == Refusal::None) {
        const std::string expanded = CProgramFolders::ExpandVariables(path);
        const std::string clean = CProgramFolders::CleanAbsolutePath(expanded);
        if (clean.empty() || !folders.IsAllowed(clean)) {
            refusal = Refusal::OutsideProgramFolders;
            refusedText = expanded;
        } else if (Exists(clean)) {
            installed = true;
            command = clean;
        }
    }

    // A tool the document gives no name at all is still listed, under its identifier.
    if (label.empty())
        label = section.id;
    if (installed) {
        if (section.installed) {
            const std::string name = Select(section.installed->name, uiLanguage);
            if (!name.empty())
                label = name;
        }
        return;
    }
    if (refusal == Refusal::None)
        command = section.downloadLink;
    if (section.uninstalled) {
        const std::string name = Select(section.uninstalled->name, uiLanguage);
        if (!name.empty())
            label = name;
        prompt = Select(section.uninstalled->prompt, uiLanguage);
    }
}

const std::string& CToolData::GetId() const {
    static const std::string none;
    return tool != nullptr ? tool->id : none;
}

std::string CToolData::RefusalMessage() const {
    uint32_t id = 0;
    switch (refusal) {
    case Refusal::None:
        return {};
    case Refusal::OutsideProgramFolders:
        id = kOutsideFoldersText;
        break;
    case Refusal::CommandLine:
        id = kCommandLineText;
        break;
    case Refusal::BadExecutableName:
        id = kBadExecutableText;
        break;
    }
    return Text::ReplaceAll(CDialogBase::LoadString(id), "{program}", refusedText);
}
