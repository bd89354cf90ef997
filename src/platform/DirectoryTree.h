#pragma once
#include <string>

// Deletes the folder `path` with everything in it. Symbolic links are never followed: a link inside the
// tree is removed itself, never what it points to, and a `path` that is itself a link is refused. Folders
// nested deeper than kMaxTreeDepth are left alone. True when the folder is gone afterwards.
bool RemoveDirectoryTree(const std::string& path);

inline constexpr int kMaxTreeDepth = 256;
