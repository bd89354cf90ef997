#include "config/CPrivateTempFolder.h"

#include "platform/CFd.h"
#include "platform/SpecialFolders.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
// A folder others could rename things in (foreign owner, or writable by group or others) cannot hold a
// private folder of ours.
bool IsTrustedParent(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

CPrivateTempFolder::CPrivateTempFolder(std::string name) : name_(std::move(name)) {}

bool CPrivateTempFolder::IsPlainFileName(const std::string& fileName) {
    return !fileName.empty() && fileName != "." && fileName.find('/') == std::string::npos &&
           fileName.find("..") == std::string::npos && fileName.find('\0') == std::string::npos;
}

int CPrivateTempFolder::OpenPrivateFolder(const std::string& path, bool create) {
    if (create && mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return -1;
    // O_NOFOLLOW: a symbolic link planted under the folder's name is refused, not followed.
    CFd fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.Get() < 0)
        return -1;
    struct stat info {};
    if (fstat(fd.Get(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
        return -1;
    if ((info.st_mode & 077) != 0 && fchmod(fd.Get(), 0700) != 0)
        return -1;
    return fd.Release();
}

int CPrivateTempFolder::OpenFolder(std::string& path) {
    std::string runtime = SpecialFolders::RuntimeDir();
    if (IsTrustedParent(runtime)) {
        path = runtime + "/" + name_;
        int fd = OpenPrivateFolder(path, true);
        if (fd >= 0)
            return fd;
    }
    // The runtime folder cannot be used: a folder of our own in the temporary folder, made once and reused
    // while it lasts. Its name is unpredictable, so it is never re-created under the same name.
    if (!fallbackFolder_.empty()) {
        path = fallbackFolder_;
        int fd = OpenPrivateFolder(path, false);
        if (fd >= 0)
            return fd;
        fallbackFolder_.clear();
    }
    std::string pattern = SpecialFolders::TempDir() + "/vidora-" + name_ + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr)
        return -1;
    fallbackFolder_ = buffer.data();
    path = fallbackFolder_;
    return OpenPrivateFolder(path, false);
}

std::string CPrivateTempFolder::WriteFile(const std::string& fileName, const char* data, std::size_t size) {
    if (!IsPlainFileName(fileName))
        return {};
    std::string folder;
    CFd dir(OpenFolder(folder));
    if (dir.Get() < 0)
        return {};
    // Replace an older copy. Whatever sits under the name (a file, or a link someone planted) is removed as
    // an entry of our own folder; a link is never followed. A folder under that name is left alone.
    struct stat old {};
    if (fstatat(dir.Get(), fileName.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(old.st_mode) || unlinkat(dir.Get(), fileName.c_str(), 0) != 0)
            return {};
    }
    CFd file(openat(dir.Get(), fileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.Get() < 0)
        return {};
    bool written = CFd::WriteAll(file.Get(), data, size);
    if (close(file.Release()) != 0)
        written = false;
    if (!written) {
        // A half-written copy would be read as a broken document later; better none at all.
        unlinkat(dir.Get(), fileName.c_str(), 0);
        return {};
    }
    return folder + "/" + fileName;
}
