#pragma once
// The picture mute of each real camera, where the capture of that camera's picture reads it for every
// frame. One flag per camera, found by the device service's id of the camera or by a capture path that names
// the same camera (both name it by what comes before their last backslash, ignoring case), so either side
// may come first. The service's cameras keep the flags current (CV4l2Cameras); a flag lives as long as a
// camera or a capture holds it, so a capture whose camera was unplugged, or whose device service is gone,
// reads a cleared flag.
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace Granite {

class CV4l2ShadeStates {
public:
    using Flag = std::shared_ptr<std::atomic<bool>>;

    // The process's flags.
    static CV4l2ShadeStates& Process();

    // The flag of the camera that `idOrPath` names: the same one for as long as anybody holds it.
    Flag FlagOf(const std::string& idOrPath);
    // True while the camera the capture path names is muted; empty for an empty path. One atomic read a call.
    std::function<bool()> QueryFor(const std::string& capturePath);

private:
    static std::string KeyOf(const std::string& idOrPath);

    std::mutex lock_;
    std::map<std::string, std::weak_ptr<std::atomic<bool>>> flags_;
};

} // namespace Granite
