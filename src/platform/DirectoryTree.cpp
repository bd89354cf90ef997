#include "platform/DirectoryTree.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kOpenDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool RemoveContents(int dirFd, int depth);

// Removes one entry of the folder `dirFd`; a folder is emptied first. Working relative to open folders,
// with no link followed, keeps a folder swapped for a link meanwhile from leading anywhere else.
bool RemoveEntry(int dirFd, const char* name, int depth) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (unlinkat(dirFd, name, 0) == 0 || errno == ENOENT)
            return true;
        if (errno != EISDIR && errno != EPERM)
            return false;
        int child = openat(dirFd, name, kOpenDirFlags);
        if (child < 0) {
            if (errno == ENOENT)
                return true;
            if (errno == ELOOP || errno == ENOTDIR)
                continue; // replaced by a link or a file meanwhile: unlink that
            return false;
        }
        bool emptied = depth < kMaxTreeDepth && RemoveContents(child, depth + 1);
        close(child);
        if (!emptied)
            return false;
        if (unlinkat(dirFd, name, AT_REMOVEDIR) == 0 || errno == ENOENT)
            return true;
        if (errno != ENOTEMPTY && errno != EEXIST)
            return false;
    }
    return false;
}

bool RemoveContents(int dirFd, int depth) {
    // Passes repeat until a pass finds nothing: entries created while we delete are taken too.
    for (int pass = 0; pass < 4; ++pass) {
        int listFd = dup(dirFd);
        if (listFd < 0)
            return false;
        DIR* dir = fdopendir(listFd);
        if (dir == nullptr) {
            close(listFd);
            return false;
        }
        rewinddir(dir);
        bool any = false;
        bool ok = true;
        while (dirent* e = readdir(dir)) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
                continue;
            any = true;
            if (!RemoveEntry(dirFd, e->d_name, depth))
                ok = false;
        }
        closedir(dir);
        if (!ok)
            return false;
        if (!any)
            return true;
    }
    return false;
}
} // namespace

bool RemoveDirectoryTree(const std::string& path) {
    if (path.empty())
        return false;
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    if (trimmed == "/")
        return false;
    size_t slash = trimmed.rfind('/');
    std::string parent = slash == std::string::npos ? "." : (slash == 0 ? "/" : trimmed.substr(0, slash));
    std::string name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return false;

    int parentFd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return false;
    struct stat st {};
    bool removed = false;
    if (fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        removed = errno == ENOENT;
    } else if (S_ISDIR(st.st_mode)) {
        int dirFd = openat(parentFd, name.c_str(), kOpenDirFlags);
        if (dirFd >= 0) {
            bool emptied = RemoveContents(dirFd, 1);
            close(dirFd);
            removed = emptied && (unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT);
        }
    }
    close(parentFd);
    return removed;
}
