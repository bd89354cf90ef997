#pragma once
// A folder only the current user can reach, for files the program writes and later reads back or hands to
// another program. It is "<runtime folder>/<name>" (mode 0700, owned by us, never a symbolic link); when the
// runtime folder itself cannot be trusted, a fresh folder made with mkdtemp in the temporary folder is used
// and reused while it lasts. Files are created exclusively and never through a symbolic link.
#include <string>

class CPrivateTempFolder {
public:
    explicit CPrivateTempFolder(std::string name);

    // Writes `data` to the file `fileName` in the folder, replacing an older file of ours there. Returns the
    // file's path, or "" when the name is not a plain file name or the folder or the file cannot be made.
    std::string WriteFile(const std::string& fileName, const char* data, std::size_t size);

    // A plain file name: not empty, no "/", not "." or "..", no ".." anywhere, no NUL.
    static bool IsPlainFileName(const std::string& fileName);

private:
    // Opens the folder (creating it when missing and asked to) and checks that it is ours and private;
    // -1 when it cannot be trusted.
    static int OpenPrivateFolder(const std::string& path, bool create);
    int OpenFolder(std::string& path);

    std::string name_;
    std::string fallbackFolder_;
};
