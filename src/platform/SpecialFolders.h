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
// The user's private runtime folder: $XDG_RUNTIME_DIR/vidora, else $TMPDIR/vidora-<uid> (TMPDIR defaults to
// /tmp). Named objects, the instance socket and volatile settings live there, so the folder must belong to
// this user and be closed to everybody else (mode 0700), whoever created it; one of this user that others
// may read but not write is closed again. A folder that is not private (another user made it first, or
// others may write into it) is passed over for the first private one of "<folder>.1" to
// "<folder>.9", which every process of the user finds the same way; when none of them is private either, a
// fresh folder of this process alone stands in, and RuntimeDirProblem() says so. "" when not even that
// could be made.
std::string RuntimeDir();
// Why the runtime folder in use is not the usual one; empty when it is.
std::string RuntimeDirProblem();
// True when a folder's status shows a directory (not a link) that belongs to `user` with mode 0700.
bool IsPrivateFolder(bool isDirectory, unsigned mode, unsigned owner, unsigned user);
std::string MachineDir(); // $VIDORA_MACHINE_DIR, else /var/lib/vidora

// Creates a folder and its missing parents; true when it exists afterwards.
bool CreateFolderTree(const std::string& path);

} // namespace SpecialFolders
