#include "platform/CFd.h"

#include <cerrno>

#include <sys/types.h>
#include <unistd.h>

CFd::~CFd() {
    if (fd_ >= 0)
        close(fd_);
}

bool CFd::WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
