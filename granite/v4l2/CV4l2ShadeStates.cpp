#include "granite/v4l2/CV4l2ShadeStates.h"

#include "platform/TextUtil.h"

namespace Granite {

CV4l2ShadeStates& CV4l2ShadeStates::Process() {
    static CV4l2ShadeStates states;
    return states;
}

std::string CV4l2ShadeStates::KeyOf(const std::string& idOrPath) {
    return Text::ToLower(Text::CameraDevicePart(idOrPath));
}

CV4l2ShadeStates::Flag CV4l2ShadeStates::FlagOf(const std::string& idOrPath) {
    const std::string key = KeyOf(idOrPath);
    std::lock_guard guard(lock_);
    if (Flag flag = flags_[key].lock())
        return flag;
    // Cameras come and go for as long as the program runs: flags nobody holds any more are dropped.
    std::erase_if(flags_, [](const auto& entry) { return entry.second.expired(); });
    Flag flag = std::make_shared<std::atomic<bool>>(false);
    flags_[key] = flag;
    return flag;
}

std::function<bool()> CV4l2ShadeStates::QueryFor(const std::string& capturePath) {
    if (capturePath.empty())
        return {};
    return [flag = FlagOf(capturePath)] { return flag->load(std::memory_order_relaxed); };
}

} // namespace Granite
