#pragma once
// Finds the programs of tool documents on this computer and records where they are, the way an installer
// would: under the tool's RegistryBranch/RegistryKey/RegistryValue, the program's full path (or its folder
// for RegistryInformation "Directory"). A program is found when a program folder (CProgramFolders, PATH's
// first) holds an executable file of the tool's Executable name, or when a desktop entry of the applications
// folders starts a program of that name (a flatpak entry: the app whose --command it is, through its
// exported launcher). Only programs inside the program folders are recorded.
//
// Records are only written below the program's own tools key of the user's settings (ToolsKey(), e.g.
// "Software\Brenmoor\Vidora10\Tools\Cutter"): a tool document comes from a folder anyone who can write
// beside the program may fill, and must not be able to change other settings through the scan. A tool whose
// key lies elsewhere (its own installer may record it there) is read by CToolData but never recorded here.
//
// A record that names an existing path is left alone (the user or an administrator may have pointed a tool
// at another copy); a missing record, or one whose path is gone, is replaced by what is found.
#include "communicate/CProgramFolders.h"

#include <string>
#include <utility>
#include <vector>

namespace SectionReader {
class CSection;
}

class CToolRegistrationScan {
public:
    // Desktop entries read at most, and the folder depth looked into below each applications folder.
    static constexpr size_t kMaxEntries = 5000;
    static constexpr int kMaxDepth = 3;

    CToolRegistrationScan(CProgramFolders folders, std::vector<std::string> applicationFolders);
    // The program folders and the applications folders of XDG_DATA_HOME and XDG_DATA_DIRS as they are now.
    static CToolRegistrationScan FromEnvironment();

    // The full path of the program named `executable` (a plain file name); "" when it is not found.
    std::string Locate(const std::string& executable) const;
    // Records the programs found for `tools`; the number of records written.
    int Register(const std::vector<const SectionReader::CSection*>& tools) const;

    // The key of the user's settings below which tools are recorded. A tool's key must lie strictly below
    // it (case ignored) and name every part of its path (no empty, "." or ".." parts).
    static std::string ToolsKey();

private:
    void ReadDesktopEntries() const;
    std::string FindInFolders(const std::string& name) const;
    std::string ProgramOfExec(const std::vector<std::string>& argv, std::string* name) const;

    CProgramFolders folders_;
    std::vector<std::string> applicationFolders_;
    // Program name -> full path of what desktop entries start, read on the first Locate.
    mutable bool entriesRead_ = false;
    mutable std::vector<std::pair<std::string, std::string>> entryPrograms_;
};
