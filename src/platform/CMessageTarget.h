#pragma once
// A window as seen from other threads: a handle messages can be posted to without touching the window
// object. Posting stays safe after the window is destroyed; it then fails and the message is dropped.
#include "platform/CMessageQueue.h"

#include <memory>

class CMessageTarget {
public:
    CMessageTarget() = default;
    explicit CMessageTarget(std::shared_ptr<CMessageQueue> queue) : queue_(std::move(queue)) {}

    // True while the window exists (created and not yet destroyed).
    bool IsWindow() const { return queue_ && queue_->IsOpen(); }
    // Any thread; false when the window does not exist.
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return queue_ && queue_->Post(message, wParam, lParam);
    }
    // Any thread; waits for the answer at most timeoutMs (negative: no limit). False when the window does not
    // exist, goes away first or does not answer in time.
    bool SendMessageTimeout(UINT message, WPARAM wParam, LPARAM lParam, int64_t timeoutMs,
                            LRESULT* result = nullptr) const {
        return queue_ && queue_->Send(message, wParam, lParam, timeoutMs, result);
    }
    size_t RemovePostedMessages(UINT message) const { return queue_ ? queue_->Remove(message) : 0; }

    explicit operator bool() const { return static_cast<bool>(queue_); }
    bool operator==(const CMessageTarget& other) const { return queue_ == other.queue_; }

private:
    std::shared_ptr<CMessageQueue> queue_;
};
