#pragma once
// Holds a process-wide "running" flag for the length of a command: a second request while the first is
// handled (a nested event loop, a message box) finds the flag set and is ignored.
class RibbonReentryGuard {
public:
    explicit RibbonReentryGuard(bool& flag) : flag_(flag), entered_(!flag) {
        if (entered_)
            flag_ = true;
    }
    ~RibbonReentryGuard() {
        if (entered_)
            flag_ = false;
    }
    RibbonReentryGuard(const RibbonReentryGuard&) = delete;
    RibbonReentryGuard& operator=(const RibbonReentryGuard&) = delete;
    bool Entered() const { return entered_; }

private:
    bool& flag_;
    bool entered_;
};
