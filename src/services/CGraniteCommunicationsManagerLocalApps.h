#pragma once
// The three calling applications the communications facade looks for itself, in the machine's settings
// rather than through the service. Each probe reads one place of the machine hive and answers the program's
// file when that file exists, in its canonical form; an empty answer means "not installed".
#include <string>

class CGraniteCommunicationsManagerLocalApps {
public:
    // The instant messenger: the program registered for "MSNMSGR.EXE", else the local server of its
    // session-manager class.
    static std::string ProbeLiveMessenger();
    // The QQ client: the path its platform list records.
    static std::string ProbeQQ();
    // The maker's own calling program: the icon path its uninstall entry records.
    static std::string ProbeCallhub();

    // The canonical form of `candidate` when it names an existing regular file by an absolute path (blanks
    // and one pair of surrounding quotes are removed first); empty otherwise.
    static std::string ExistingProgram(const std::string& candidate);
    // The path part of an icon reference "path,index" (everything before the first comma).
    static std::string IconPath(const std::string& displayIcon);
    // The program of a server command line: the quoted first part, or the whole line when it names a file,
    // else the part before the first blank.
    static std::string ProgramOfCommand(const std::string& command);

    // Where the probes look (machine hive, key paths relative to it).
    static constexpr const char* kMessengerAppPathKey =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\MSNMSGR.EXE";
    static constexpr const char* kMessengerProgId = "MSNMessenger.MsgrSessionManager";
    static constexpr const char* kQQKey = "SOFTWARE\\TENCENT\\PLATFORM_TYPE_LIST\\1";
    static constexpr const char* kQQValue = "TypePath";
    static constexpr const char* kCallhubKey =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brenmoor Callhub";
    static constexpr const char* kCallhubValue = "DisplayIcon";
};
