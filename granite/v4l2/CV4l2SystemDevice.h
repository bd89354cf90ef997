#pragma once
// The real device layer: a device node opened read-write and non-blocking, its ioctls retried when a
// signal interrupts them, its events waited for with poll (POLLPRI).
#include "granite/v4l2/IV4l2Device.h"

namespace Granite {

class CV4l2SystemDevice : public IV4l2Device {
public:
    explicit CV4l2SystemDevice(int fd) : fd_(fd) {}
    ~CV4l2SystemDevice() override;
    CV4l2SystemDevice(const CV4l2SystemDevice&) = delete;
    CV4l2SystemDevice& operator=(const CV4l2SystemDevice&) = delete;

    int Ioctl(unsigned long request, void* argument) override;
    bool WaitForEvent(std::chrono::milliseconds timeout) override;

private:
    int fd_;
};

class CV4l2SystemOpener : public IV4l2DeviceOpener {
public:
    std::unique_ptr<IV4l2Device> Open(const std::string& devnode) override;
};

} // namespace Granite
