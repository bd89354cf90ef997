#pragma once
// One tool of a tool document ("Tool" element): how it is named, how the program finds out whether it is
// installed, where it is downloaded and where it is offered. Missing parts stay empty (texts), null (objects
// and lists) or at their initial values.
#include "config/COSes.h"
#include "config/CSectionText.h"
#include "platform/CRegistry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace SectionReader {

using AppsReader::COSes;

// How "RegistryInformation" says the recorded value is meant.
enum RegistryInformation : int32_t { REGINFO_EXECUTABLE = 0, REGINFO_DIRECTORY = 1 };
enum UninstalledTask : int32_t { TASK_PROMPT_TEXT = 0, TASK_LAUNCH_LINK = 1 };
enum InstalledTask : int32_t { TASK_LAUNCH_EXECUTABLE = 0 };

class CSection {
public:
    // What to offer while the tool is not installed.
    struct Uninstalled {
        // A document that names no task gets the download link opened.
        UninstalledTask task = TASK_LAUNCH_LINK;
        std::unique_ptr<CSectionText> name;
        std::unique_ptr<CSectionText> prompt;
    };
    // What to offer once it is installed.
    struct Installed {
        InstalledTask task = TASK_LAUNCH_EXECUTABLE;
        std::unique_ptr<CSectionText> name;
    };

    // Reads a "Tool" element. Child names are compared exactly; the texts of "RegistryBranch",
    // "RegistryInformation" and "Task" without regard to case, and an unknown one leaves its field as it was.
    CSection(const CXMLParser& xml, XmlNode tool);

    std::string id;
    std::string url;
    std::unique_ptr<CSectionText> name;
    // Tools register per user here, so a document that names no branch means the user's settings.
    Hive registryBranch = Hive::CurrentUser;
    std::string registryKey;
    std::string registryValue;
    RegistryInformation registryInformation = REGINFO_EXECUTABLE;
    std::string executable;
    std::string downloadLink;
    std::unique_ptr<Uninstalled> uninstalled;
    std::unique_ptr<Installed> installed;
    std::unique_ptr<std::vector<int32_t>> cameras;
    std::unique_ptr<std::vector<int32_t>> countries;
    std::unique_ptr<std::vector<int32_t>> osCountries;
    std::unique_ptr<COSes> oses;

    // "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER" or "HKEY_CURRENT_CONFIG" without regard to case.
    static bool BranchFromText(const std::string& text, Hive& branch);
};

} // namespace SectionReader
