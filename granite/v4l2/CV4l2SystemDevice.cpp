#include "granite/v4l2/CV4l2SystemDevice.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace Granite {

CV4l2SystemDevice::~CV4l2SystemDevice() {
    ::close(fd_);
}

int CV4l2SystemDevice::Ioctl(unsigned long request, void* argument) {
    int result = 0;
    do
        result = ::ioctl(fd_, request, argument);
    while (result == -1 && errno == EINTR);
    return result == -1 ? errno : 0;
}

bool CV4l2SystemDevice::WaitForEvent(std::chrono::milliseconds timeout) {
    pollfd p{fd_, POLLPRI, 0};
    const int n = ::poll(&p, 1, static_cast<int>(timeout.count()));
    if (n > 0 && (p.revents & (POLLERR | POLLHUP)) != 0) {
        // Unplugged: let the next ioctl say so (ENODEV) instead of spinning on the error.
        return true;
    }
    return n > 0 && (p.revents & POLLPRI) != 0;
}

std::unique_ptr<IV4l2Device> CV4l2SystemOpener::Open(const std::string& devnode) {
    const int fd = ::open(devnode.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::make_unique<CV4l2SystemDevice>(fd);
}

} // namespace Granite
