#pragma once
// Finds the video-calling and messaging programs installed for this user from the freedesktop desktop
// entries in the applications folders of XDG_DATA_HOME and XDG_DATA_DIRS, and the one the user's
// mimeapps.list files make the handler of a calling address scheme.
#include <string>
#include <vector>

class CDesktopEntry;

namespace Granite {

struct CallingProgram {
    std::string desktopId;   // "org.example.Chat.desktop"
    std::string desktopFile; // where the entry was read from
    std::string id;          // the entry's untranslated Name
    std::string name;        // the Name in the user's language
    std::string description; // the Comment in the user's language
    std::string icon;
    std::string exec;    // the Exec value, string escapes undone
    std::string program; // the program Exec starts, as found on PATH (or as written when not found)
    std::vector<std::string> processNames; // names it runs under
    bool video = false;
    bool messaging = false;
    bool missing = false; // its program (or TryExec) is not installed: it cannot be started
};

class CCallingProgramScanner {
public:
    struct Folders {
        std::vector<std::string> dataDirs;   // XDG_DATA_HOME first, then XDG_DATA_DIRS, most important first
        std::vector<std::string> configDirs; // XDG_CONFIG_HOME first, then XDG_CONFIG_DIRS
        std::vector<std::string> desktops;   // XDG_CURRENT_DESKTOP, lower case, for "<desktop>-mimeapps.list"
        std::string path;                    // PATH, for finding programs
        std::string locale;                  // the message locale for translated names
    };
    static Folders FromEnvironment();

    // Entries read at most per scan, and the folder depth looked into below each applications folder.
    static constexpr size_t kMaxEntries = 5000;
    static constexpr int kMaxDepth = 3;

    explicit CCallingProgramScanner(Folders folders);

    // The installed calling programs, ordered by name (case ignored). An entry hidden by the user, not an
    // application, not shown in menus, without a Name or Exec, or malformed is left out; of two entries with
    // the same desktop id or the same untranslated Name the more important folder's wins.
    std::vector<CallingProgram> Scan() const;

    // The desktop id of `programs` that the user's mimeapps lists name first for a calling scheme (in the
    // order of CallingSchemes()); empty when they name none of them.
    std::string DefaultDesktopId(const std::vector<CallingProgram>& programs) const;

    static const std::vector<std::string>& CallingSchemes();
    // Programs that only start another one ("env", "flatpak", shells, interpreters): their name says
    // nothing about which calling program runs.
    static bool IsLauncher(const std::string& baseName);
    // The executable file a program name stands for: itself when it contains "/", else the first match on
    // `path`; empty when none is executable.
    static std::string FindProgram(const std::string& program, const std::string& path);

private:
    bool Read(const CDesktopEntry& entry, const std::string& file, const std::string& desktopId,
              CallingProgram* program) const;
    std::vector<std::string> MimeappsFiles() const;

    Folders folders_;
};

} // namespace Granite
