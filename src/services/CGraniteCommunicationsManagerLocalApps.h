#pragma once
// The three calling applications the communications facade looks for itself instead of asking the service.
// On this desktop a program is installed when the desktop knows it or the shell would find it:
//   1. a desktop entry of one of the application's desktop ids in the "applications" folder of
//      XDG_DATA_HOME or of XDG_DATA_DIRS (searched in that order, the first entry of an id wins), that is
//      not hidden, whose TryExec (when given) is installed and whose Exec starts a program that is found
//      (by its absolute path, or on PATH); an Exec that only starts another program ("env", "flatpak",
//      a shell, an interpreter) does not count, since the application could not be started by itself;
//   2. else one of the application's program names on PATH.
// The answer is the program's file in canonical form; empty means "not installed". The program is started
// by itself, without arguments, from its path (never through a shell or the desktop's file opener).
#include "platform/HResult.h"

#include <string>
#include <vector>

class CGraniteCommunicationsManagerLocalApps {
public:
    struct LocalApp {
        std::vector<std::string> desktopIds; // "qq.desktop"
        std::vector<std::string> programs;   // program names looked for on PATH
    };
    // Where the probes look.
    struct Places {
        std::vector<std::string> dataDirs; // XDG_DATA_HOME first, then XDG_DATA_DIRS
        std::string path;                  // PATH
        static Places FromEnvironment();
    };

    // The instant messenger, the QQ client and the maker's own calling program, in the list's order.
    static const LocalApp& LiveMessenger();
    static const LocalApp& QQ();
    static const LocalApp& Callhub();

    static std::string Find(const LocalApp& app, const Places& places);
    static std::string ProbeLiveMessenger() { return Find(LiveMessenger(), Places::FromEnvironment()); }
    static std::string ProbeQQ() { return Find(QQ(), Places::FromEnvironment()); }
    static std::string ProbeCallhub() { return Find(Callhub(), Places::FromEnvironment()); }

    // Starts a found program through the process launcher: S_OK once it runs, E_FAIL when there is no
    // program or it cannot be started.
    static HRESULT Launch(const std::string& program);

    // The program of a desktop entry's text: its Exec's program, found as described above; empty when the
    // entry does not count.
    static std::string ProgramOfDesktopEntry(const std::string& text, const std::string& path);
    // The executable file a program name stands for: itself when it holds a "/" and is absolute, else the
    // first match in the folders of `path`; empty when none is an executable regular file.
    static std::string FindProgram(const std::string& program, const std::string& path);

    // Desktop entries larger than this are not read.
    static constexpr size_t kMaxEntryBytes = 256 * 1024;
};
