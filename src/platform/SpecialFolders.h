#pragma once
// The platform's special folders, found in the XDG base and user directories. Every location can be moved
// with an environment variable (see the README), so tests and users can relocate them.
#include <optional>
#include <string>

// Ids of the special folders the program asks for (the other platform's numbering, kept for stored paths).
enum : int {
    CSIDL_PERSONAL = 5, // documents
    CSIDL_APPDATA = 26,
    CSIDL_COMMON_APPDATA = 35,
    CSIDL_WINDOWS = 36,
    CSIDL_SYSTEM = 37,
    CSIDL_PROGRAM_FILES = 38,
    CSIDL_MYPICTURES = 39,
    CSIDL_PROGRAM_FILES_COMMON = 43,
    CSIDL_COMMON_DOCUMENTS = 46,
    CSIDL_MYVIDEO = 14,
    CSIDL_INTERNET_CACHE = 32,
    CSIDL_FLAG_CREATE = 0x8000,
};

namespace SpecialFolders {

// The folder's path without a trailing "/", or nothing when the id is unknown or (with CSIDL_FLAG_CREATE)
// the folder could not be created.
std::optional<std::string> GetPath(int csidl);

// Folders that are not special-folder ids.
std::string TempDir();       // $TMPDIR, else /tmp
std::string UserConfigDir(); // $XDG_CONFIG_HOME/vidora
std::string RuntimeDir();    // $XDG_RUNTIME_DIR/vidora, else /tmp/vidora-<uid>; created 0700
std::string MachineDir();    // $VIDORA_MACHINE_DIR, else /var/lib/vidora

// Creates a folder and its missing parents; true when it exists afterwards.
bool CreateFolderTree(const std::string& path);

} // namespace SpecialFolders
