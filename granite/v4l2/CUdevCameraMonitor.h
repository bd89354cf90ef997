#pragma once
// Video device arrivals and removals from udev, on a thread of its own. The subscription is made before
// the caller's list is taken, so a camera plugged in meanwhile is not missed (the list ignores one it has).
#include <functional>
#include <memory>
#include <string>
#include <thread>

struct udev;
struct udev_monitor;

namespace Granite {

class CUdevCameraMonitor {
public:
    using Changed = std::function<void(const std::string& node, bool added)>;
    // Null when udev cannot be reached; `list` then has not run.
    static std::unique_ptr<CUdevCameraMonitor> Start(Changed changed, const std::function<void()>& list);
    ~CUdevCameraMonitor();
    CUdevCameraMonitor(const CUdevCameraMonitor&) = delete;
    CUdevCameraMonitor& operator=(const CUdevCameraMonitor&) = delete;

private:
    CUdevCameraMonitor(udev* context, udev_monitor* monitor, int wakeFd, Changed changed);
    void Run();

    udev* context_;
    udev_monitor* monitor_;
    int wakeFd_; // an eventfd that ends the thread
    Changed changed_;
    std::thread thread_;
};

} // namespace Granite
