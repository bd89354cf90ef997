#include "platform/CNamedObjectFile.h"

#include "platform/HResult.h"
#include "platform/SpecialFolders.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorWriteProtect = 19;
constexpr uint32_t kErrorGenFailure = 31;
constexpr uint32_t kErrorFilenameTooLong = 206;
constexpr off_t kNotifyOffset = 8;

uint32_t ErrorFromErrno(int e) {
    switch (e) {
    case EACCES:
    case EPERM:
    case ELOOP: // a symbolic link planted where an object's file belongs
        return ERROR_ACCESS_DENIED;
    case EROFS:
        return kErrorWriteProtect;
    case ENOENT:
        return kErrorPathNotFound;
    case ENAMETOOLONG:
        return kErrorFilenameTooLong;
    default:
        return kErrorGenFailure;
    }
}
} // namespace

CNamedObjectFile::~CNamedObjectFile() {
    Close();
}

std::string CNamedObjectFile::FileName(const std::string& name, const char* kind) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '_';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out + "." + kind;
}

uint32_t CNamedObjectFile::Open(const std::string& name, const char* kind,
                                const std::function<bool(int fd)>& onFirstOpen) {
    Close();
    if (name.empty())
        return ERROR_INVALID_PARAMETER;
    std::string file = FileName(name, kind);
    if (file.size() > kMaxFileName)
        return kErrorFilenameTooLong;
    const std::string folder = SpecialFolders::RuntimeDir();
    if (folder.empty())
        return kErrorPathNotFound;
    std::string path = folder + "/" + file;

    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return ErrorFromErrno(errno);
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        return ERROR_ACCESS_DENIED;
    }
    fd_ = fd;
    path_ = path;

    if (LockByte(0, true, false)) {
        // No other handle anywhere: a new object, whatever an ended process left in the file.
        if (onFirstOpen && !onFirstOpen(fd_)) {
            Close();
            return kErrorGenFailure;
        }
        // Turning the exclusive lock into a shared one is a single step, so nobody can slip in between.
        if (!LockByte(0, false, false)) {
            Close();
            return kErrorGenFailure;
        }
        return ERROR_SUCCESS;
    }
    if (errno != EAGAIN && errno != EACCES) {
        uint32_t error = ErrorFromErrno(errno);
        Close();
        return error;
    }
    // Another handle is open. Waiting for the shared lock lets a creator finish setting the object up.
    if (!LockByte(0, false, true)) {
        Close();
        return kErrorGenFailure;
    }
    return ERROR_ALREADY_EXISTS;
}

void CNamedObjectFile::Close() {
    if (watchFd_ >= 0)
        close(watchFd_);
    watchFd_ = -1;
    if (fd_ >= 0)
        close(fd_); // drops every lock of this handle; watchers see the close
    fd_ = -1;
    path_.clear();
}

bool CNamedObjectFile::LockByte(off_t byte, bool exclusive, bool wait) {
    if (fd_ < 0)
        return false;
    struct flock lock {};
    lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    for (;;) {
        if (fcntl(fd_, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

void CNamedObjectFile::UnlockByte(off_t byte) {
    if (fd_ < 0)
        return;
    struct flock lock {};
    lock.l_type = F_UNLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    fcntl(fd_, F_OFD_SETLK, &lock);
}

int CNamedObjectFile::WatchFd() {
    if (watchFd_ >= 0 || fd_ < 0)
        return watchFd_;
    int w = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (w < 0)
        return -1;
    if (inotify_add_watch(w, path_.c_str(), IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DONT_FOLLOW) < 0) {
        close(w);
        return -1;
    }
    watchFd_ = w;
    return watchFd_;
}

void CNamedObjectFile::DrainWatch() {
    if (watchFd_ < 0)
        return;
    alignas(inotify_event) char buffer[4096];
    while (read(watchFd_, buffer, sizeof(buffer)) > 0) {
    }
}

void CNamedObjectFile::Notify() {
    if (fd_ < 0)
        return;
    const char mark = 'n';
    (void)!pwrite(fd_, &mark, 1, kNotifyOffset);
}
