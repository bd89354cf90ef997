#pragma once
// The mail programs installed on this desktop: the freedesktop desktop entries of the applications folders
// that declare themselves handlers of mailto addresses (x-scheme-handler/mailto in MimeType). Of two entries
// with the same desktop id the one of the more important folder wins, even when it hides the program
// (Hidden=true) or keeps it out of menus (NoDisplay=true); entries that are not applications, have no Name or
// Exec, name a TryExec program that is not installed, or are not well-formed are left out.
#include <cstdint>
#include <string>
#include <vector>

struct MailProgram {
    std::string desktopId; // "org.example.Mail.desktop"; a sub-folder "a/b.desktop" gives "a-b.desktop"
    std::string name;      // the Name in the user's language, else the untranslated one
    std::string file;      // where the entry was read from
};

class CMailProgramFinder {
public:
    // Entries read at most per search, and the folder depth looked into below each applications folder.
    static constexpr size_t kMaxEntries = 5000;
    static constexpr int kMaxDepth = 3;

    // `applicationFolders`, most important first; `locale` as "de_DE" for translated names (empty: none).
    CMailProgramFinder(std::vector<std::string> applicationFolders, std::string locale);

    // The applications folders of XDG_DATA_HOME and XDG_DATA_DIRS (with their usual defaults), most
    // important first; relative paths in those variables are ignored.
    static std::vector<std::string> DesktopFolders();

    // The mail programs, ordered by name without regard to case; a name is listed once (the more important
    // folder's entry).
    std::vector<MailProgram> Find() const;

private:
    std::vector<std::string> folders_;
    std::string locale_;
};
