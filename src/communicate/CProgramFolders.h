#pragma once
// The folders tools are started from, and the checks a recorded program path must pass before it is. A
// program counts as installed in a program folder when it lies directly in one of the folders of PATH,
// ~/.local/bin, /usr/local/bin, /usr/bin, /snap/bin or a flatpak exports/bin folder (the user's and the
// system's), or anywhere below /opt. Paths are compared after "." and ".." are resolved by their text, so
// "/usr/bin/../../tmp/x" is not in /usr/bin.
#include <string>
#include <vector>

class CProgramFolders {
public:
    // `folders`: programs directly inside count; `trees`: programs anywhere below count. Both absolute.
    CProgramFolders(std::vector<std::string> folders, std::vector<std::string> trees);

    // From PATH, HOME and XDG_DATA_HOME as they are now. Relative PATH entries (and the empty one, which
    // means the current folder) are left out.
    static CProgramFolders FromEnvironment();

    // Whether `path` (absolute) names a program inside the program folders.
    bool IsAllowed(const std::string& path) const;
    // The folders in the order programs are looked up (PATH's first).
    const std::vector<std::string>& Folders() const { return folders_; }

    // Whether a recorded value reads as a shell command line rather than a path: it holds one of
    // ; | & < > ` " ' \ * ? newline, or a "$" that does not start $NAME or ${NAME}.
    static bool HasShellSyntax(const std::string& text);
    // A plain file name: not empty, no "/", not "." or "..", no shell syntax.
    static bool IsPlainFileName(const std::string& name);
    // Replaces $NAME and ${NAME} by the environment's values; an unset variable stays as written.
    static std::string ExpandVariables(const std::string& text);
    // "/a/./b/../c" -> "/a/c"; "" for a path that is not absolute.
    static std::string CleanAbsolutePath(const std::string& path);

private:
    std::vector<std::string> folders_;
    std::vector<std::string> trees_;
};
