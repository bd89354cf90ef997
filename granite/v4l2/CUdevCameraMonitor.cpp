#include "granite/v4l2/CUdevCameraMonitor.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace Granite {

std::unique_ptr<CUdevCameraMonitor> CUdevCameraMonitor::Start(Changed changed,
                                                              const std::function<void()>& list) {
    udev* context = udev_new();
    if (context == nullptr)
        return nullptr;
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
    const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (monitor == nullptr || wakeFd < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "video4linux", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        if (wakeFd >= 0)
            ::close(wakeFd);
        if (monitor != nullptr)
            udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    std::unique_ptr<CUdevCameraMonitor> watcher(
        new CUdevCameraMonitor(context, monitor, wakeFd, std::move(changed)));
    list();
    watcher->thread_ = std::thread([raw = watcher.get()] { raw->Run(); });
    return watcher;
}

CUdevCameraMonitor::CUdevCameraMonitor(udev* context, udev_monitor* monitor, int wakeFd, Changed changed)
    : context_(context), monitor_(monitor), wakeFd_(wakeFd), changed_(std::move(changed)) {}

CUdevCameraMonitor::~CUdevCameraMonitor() {
    const uint64_t one = 1;
    if (::write(wakeFd_, &one, sizeof(one)) < 0) {
        // The eventfd cannot be full after one write; nothing else can go wrong here.
    }
    if (thread_.joinable())
        thread_.join();
    ::close(wakeFd_);
    udev_monitor_unref(monitor_);
    udev_unref(context_);
}

void CUdevCameraMonitor::Run() {
    pollfd fds[2] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return; // nothing more will come; the list keeps what it has
        }
        if ((fds[1].revents & POLLIN) != 0)
            return;
        if ((fds[0].revents & POLLIN) == 0)
            continue;
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (device == nullptr)
            continue;
        const char* action = udev_device_get_action(device);
        const char* name = udev_device_get_sysname(device);
        if (action != nullptr && name != nullptr && std::strncmp(name, "video", 5) == 0) {
            if (std::strcmp(action, "add") == 0)
                changed_(name, true);
            else if (std::strcmp(action, "remove") == 0)
                changed_(name, false);
        }
        udev_device_unref(device);
    }
}

} // namespace Granite
