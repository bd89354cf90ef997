#include "support/CFakeProcessLauncher.h"

bool CFakeProcessLauncher::StartDetached(const std::vector<std::string>& argv) {
    std::lock_guard guard(lock_);
    started_.push_back(argv);
    return succeeds_;
}

void CFakeProcessLauncher::SetSucceeds(bool succeeds) {
    std::lock_guard guard(lock_);
    succeeds_ = succeeds;
}

std::vector<std::vector<std::string>> CFakeProcessLauncher::Started() const {
    std::lock_guard guard(lock_);
    return started_;
}

void CFakeProcessLauncher::Clear() {
    std::lock_guard guard(lock_);
    started_.clear();
}
