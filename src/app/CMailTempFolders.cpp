#include "app/CMailTempFolders.h"

#include "platform/CFd.h"
#include "platform/DirectoryTree.h"
#include "platform/SpecialFolders.h"
#include "platform/TextUtil.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kOpenDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr const char* kRecordPrefix = "vidora-mail ";
// A record is one short line; anything longer is not ours.
constexpr std::size_t kMaxRecordBytes = 128;

std::string RootPath() {
    const std::string runtime = SpecialFolders::RuntimeDir();
    return runtime.empty() ? std::string() : runtime + "/mail";
}

// The record file of the folder `name` in `rootFd`; "" when the entry is not a folder of this user, or the
// record is missing, a link or not a plain short file.
std::string ReadRecord(int rootFd, const char* name) {
    struct stat info {};
    if (fstatat(rootFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != geteuid())
        return {};
    CFd folder(openat(rootFd, name, kOpenDirFlags));
    if (folder.Get() < 0)
        return {};
    CFd record(openat(folder.Get(), CMailTempFolders::kRecordFileName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (record.Get() < 0 || fstat(record.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > kMaxRecordBytes)
        return {};
    char buffer[kMaxRecordBytes + 1] = {};
    ssize_t n = read(record.Get(), buffer, kMaxRecordBytes);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

bool ProcessIsAlive(long pid) {
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}
bool WriteRecord(int fd) {
    const std::string record = CMailTempFolders::OwnRecord();
    return CFd::WriteAll(fd, record.data(), record.size());
}
} // namespace

std::string CMailTempFolders::Root() {
    return RootPath();
}

bool CMailTempFolders::IsFolderName(const std::string& name) {
    const std::size_t baseLength = std::strlen(kBaseName);
    if (name.size() <= baseLength || !Text::EqualsNoCase(name.substr(0, baseLength), kBaseName))
        return false;
    for (std::size_t i = baseLength; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

std::string CMailTempFolders::OwnRecord() {
    // The process id alone could name a later process that got the same id; the random part cannot.
    static const std::string record = [] {
        std::random_device device;
        const unsigned long long token = (static_cast<unsigned long long>(device()) << 32) ^ device();
        return Text::Format("%s%ld %016llx\n", kRecordPrefix, static_cast<long>(getpid()), token);
    }();
    return record;
}

long CMailTempFolders::RecordedProcess(const std::string& record) {
    const std::size_t prefixLength = std::strlen(kRecordPrefix);
    if (record.compare(0, prefixLength, kRecordPrefix) != 0)
        return 0;
    const char* start = record.c_str() + prefixLength;
    char* end = nullptr;
    errno = 0;
    long pid = std::strtol(start, &end, 10);
    if (errno != 0 || end == start || *end != ' ' || pid <= 0)
        return 0;
    return pid;
}

int CMailTempFolders::OpenRoot() {
    const std::string root = RootPath();
    if (root.empty())
        return -1;
    if (mkdir(root.c_str(), 0700) != 0 && errno != EEXIST)
        return -1;
    // O_NOFOLLOW: a link planted under the folder's name is refused, not followed.
    CFd fd(open(root.c_str(), kOpenDirFlags));
    struct stat info {};
    if (fd.Get() < 0 || fstat(fd.Get(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
        return -1;
    // Others able to write into it could swap our folders for their own: never trusted. Our own folder that
    // others may only read (the umask) is closed again.
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return -1;
    if ((info.st_mode & 077) != 0 && fchmod(fd.Get(), 0700) != 0)
        return -1;
    return fd.Release();
}

std::string CMailTempFolders::CreateNext() {
    CFd root(OpenRoot());
    if (root.Get() < 0)
        return {};
    for (int number = 1; number <= kHighestNumber; ++number) {
        const std::string name = Text::Format("%s%04d", kBaseName, number);
        // mkdir never follows a link and fails when anything of that name is there: the folder is new.
        if (mkdirat(root.Get(), name.c_str(), 0700) != 0) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        CFd folder(openat(root.Get(), name.c_str(), kOpenDirFlags));
        bool recorded = folder.Get() >= 0 && fchmod(folder.Get(), 0700) == 0;
        if (recorded) {
            CFd record(openat(folder.Get(), kRecordFileName,
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            recorded = record.Get() >= 0 && WriteRecord(record.Get());
            if (recorded)
                recorded = close(record.Release()) == 0;
        }
        if (!recorded) {
            // A folder without its record would never be cleaned up; it goes at once.
            if (folder.Get() >= 0)
                unlinkat(folder.Get(), kRecordFileName, 0);
            unlinkat(root.Get(), name.c_str(), AT_REMOVEDIR);
            return {};
        }
        return RootPath() + "/" + name;
    }
    return {};
}

int CMailTempFolders::RemoveStale() {
    return Remove(Which::Stale);
}

int CMailTempFolders::RemoveOwn() {
    return Remove(Which::Own);
}

int CMailTempFolders::Remove(Which which) {
    const std::string rootPath = RootPath();
    // Without a root folder there is nothing of ours; one that cannot be trusted is not searched.
    struct stat info {};
    if (rootPath.empty() || lstat(rootPath.c_str(), &info) != 0)
        return 0;
    CFd root(OpenRoot());
    if (root.Get() < 0)
        return 0;
    std::vector<std::string> doomed;
    {
        int listFd = dup(root.Get());
        DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
        if (dir == nullptr) {
            if (listFd >= 0)
                close(listFd);
            return 0;
        }
        const std::string own = OwnRecord();
        while (dirent* entry = readdir(dir)) {
            if (!IsFolderName(entry->d_name))
                continue;
            const std::string record = ReadRecord(root.Get(), entry->d_name);
            const long pid = RecordedProcess(record);
            if (pid == 0)
                continue; // not made by this program
            const bool mine = record == own;
            // A folder of another running process (a program started beside this one with another runtime
            // folder setting would not meet it here, but a copy still sending mail would) is left to it.
            const bool stale = !mine && (pid == static_cast<long>(getpid()) || !ProcessIsAlive(pid));
            if ((which == Which::Own && mine) || (which == Which::Stale && stale))
                doomed.push_back(entry->d_name);
        }
        closedir(dir);
    }
    int removed = 0;
    for (const std::string& name : doomed) {
        if (RemoveDirectoryTree(rootPath + "/" + name))
            ++removed;
    }
    return removed;
}
