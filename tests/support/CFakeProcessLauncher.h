#pragma once
#include "platform/IProcessLauncher.h"

#include <mutex>

// A launcher that starts nothing and records what it was asked to start; for tests.
class CFakeProcessLauncher : public IProcessLauncher {
public:
    bool StartDetached(const std::vector<std::string>& argv) override;

    // What the next starts report.
    void SetSucceeds(bool succeeds);
    std::vector<std::vector<std::string>> Started() const;
    void Clear();

private:
    mutable std::mutex lock_;
    bool succeeds_ = true;
    std::vector<std::vector<std::string>> started_;
};
