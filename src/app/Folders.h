#pragma once
// Where the program keeps its files: the photo and movie capture folders, the effects-model folder, and the
// "<NAME>rest" form that stored folder values may use (a special folder in angle brackets followed by a
// path inside it).
#include <optional>
#include <string>

// Start-up: decides the movie and photo capture folders (stored absolute paths win; otherwise the OEM
// defaults, which are then stored; a folder stays empty when not even the default is an absolute path) and
// turns a stored "<NAME>rest" effects-model folder into a real path.
void SetUpFolders(std::string& movieFolder, std::string& photoFolder);

// Creates a folder and any missing parents. True when the folder exists afterwards; false for a path that
// is not absolute, which is never created.
bool EnsureFolder(const std::string& path);

// The special-folder id of a name of the table ("CSIDL_APPDATA" -> 26; names compare exactly), or -1.
int ResolveFolderName(const std::string& name);

// True when `text` begins with "<" and holds a ">" after it; `name` gets what lies between them, `rest`
// what follows the ">".
bool SplitFolderPath(const std::string& text, std::string& name, std::string& rest);

// "<NAME>rest" as a path: the special folder joined with the rest. The rest is a relative path whose parts
// may be separated by "\" (values written for other systems) or "/"; both become "/". Nothing when the text
// is not of that form, the name is unknown or the platform has no such folder.
std::optional<std::string> ResolveFolderPath(const std::string& text);
