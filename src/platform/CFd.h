#pragma once
// Owns one file descriptor and closes it when it goes; Release hands it back for a close whose result counts.
#include <cstddef>

class CFd {
public:
    explicit CFd(int fd) : fd_(fd) {}
    ~CFd();
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;

    int Get() const { return fd_; }
    int Release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

    // Writes all `size` bytes to `fd`, going on after interruptions; false on any failure.
    static bool WriteAll(int fd, const char* data, std::size_t size);

private:
    int fd_;
};
