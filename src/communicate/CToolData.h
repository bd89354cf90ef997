#pragma once
// What the communicate window shows and does for one tool of a tool document: its label, the program or
// address opened when it is clicked, the prompt shown instead when there is neither, and whether it is
// installed.
//
// Installation is read from the settings store: the tool's RegistryBranch (HKEY_CURRENT_USER: the user's
// settings, HKEY_LOCAL_MACHINE: the machine-wide settings; any other branch records nothing), key and value
// hold the program's full path, or its folder when RegistryInformation is "Directory" (the Executable name
// is then appended). $VAR and ${VAR} in the recorded path are replaced by the environment's values (an unset
// variable stays as written); nothing else is interpreted. The tool is installed when that path exists.
//
// Vidora starts only programs from the folders programs are installed in (CProgramFolders). A recorded path
// elsewhere, a recorded value that is a command line rather than a path (shell syntax such as ";", "|",
// "$(...)", quotes or redirections), or an Executable that is not a plain file name makes the tool refused:
// it shows as not installed, nothing is started, and opening it gives RefusalMessage().
//
// There is no "%ProgramFiles%" and no second (32-bit/64-bit) view of the settings here: a path is read
// once, from the one store of its branch.
#include <cstdint>
#include <string>

namespace SectionReader {
class CSection;
}
class CProgramFolders;

class CToolData {
public:
    enum class Refusal {
        None,
        OutsideProgramFolders, // the recorded program is not in a program folder
        CommandLine,           // the recorded value is a command line, not a path
        BadExecutableName,     // "Executable" is not a plain file name
    };

    // Reads the tool's installation record and picks its texts in `uiLanguage`.
    CToolData(const SectionReader::CSection& tool, int32_t uiLanguage, const CProgramFolders& folders);

    // The document's tool (owned by the document).
    const SectionReader::CSection* tool = nullptr;
    // Installed: the Installed record's name, else the tool's Name. Not installed: the Uninstalled record's
    // name, else the tool's Name.
    std::string label;
    // Installed: the program's full path. Not installed: the download link. Refused: empty.
    std::string command;
    // Not installed: the Uninstalled record's prompt text.
    std::string prompt;
    bool installed = false;
    // Set by the pane reader: the tool passes the show test.
    bool shown = false;
    Refusal refusal = Refusal::None;
    // The path or value that was refused.
    std::string refusedText;

    const std::string& GetId() const;
    // A sentence for the user saying why the tool is not started; "" when it is not refused.
    std::string RefusalMessage() const;

    // The longest recorded path that is read, in bytes.
    static constexpr size_t kMaxPathBytes = 4095;
};
