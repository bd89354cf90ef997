#pragma once
// The file behind a named mutex or event of this user, in the private runtime folder. Processes of the
// user find an object by its name; which of them have it open is told by record locks on the file, which
// the kernel drops when a process ends, however it ends:
//   byte 0: every open handle holds a shared lock; a handle that can take it exclusively is the only one,
//           so the object is new (a leftover file of an ended process counts as new);
//   byte 1: the object's own lock (a mutex's ownership, an event's state changes).
// Locks belong to the open file (not to the process), so two handles in one process see each other as
// two handles, as the program expects. Changes are announced to waiters through file change notifications.
#include <cstdint>
#include <functional>
#include <string>

#include <sys/types.h>

class CNamedObjectFile {
public:
    CNamedObjectFile() = default;
    ~CNamedObjectFile();
    CNamedObjectFile(const CNamedObjectFile&) = delete;
    CNamedObjectFile& operator=(const CNamedObjectFile&) = delete;

    // Opens or creates the file of object `name` of this `kind` ("mutex", "event"). `onFirstOpen` runs while
    // no other handle is open and before another one can be: it sets the new object up and may refuse
    // (false). Returns ERROR_SUCCESS for a new object, ERROR_ALREADY_EXISTS when another handle was open,
    // or the reason no handle was obtained (ERROR_ACCESS_DENIED, ERROR_INVALID_PARAMETER, ...).
    uint32_t Open(const std::string& name, const char* kind, const std::function<bool(int fd)>& onFirstOpen);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

    // Locks or unlocks one byte of the file for this handle. With `wait` the call blocks until it gets it.
    bool LockByte(off_t byte, bool exclusive, bool wait);
    void UnlockByte(off_t byte);

    // A descriptor that becomes readable when the file changes or a handle to it is closed; -1 when change
    // notifications are not available.
    int WatchFd();
    void DrainWatch();
    // Wakes every waiter on this object.
    void Notify();

    // The file name used for an object: letters, digits, "-" and "_" as they are, every other byte as %XX.
    static std::string FileName(const std::string& name, const char* kind);

    // Names longer than this (after encoding) are refused.
    static constexpr size_t kMaxFileName = 240;

private:
    int fd_ = -1;
    int watchFd_ = -1;
    std::string path_;
};
