#pragma once
// Waiting for things that happen on streaming threads, with generous time limits and no fixed sleeps:
// event values raised into a test sink, and frames a capture hands to its listeners.
#include "CCaptureTestSink.h"
#include "granite/capture/IFrameSource.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class CCountdown {
public:
    void Tick() {
        {
            std::lock_guard guard(lock_);
            ++count_;
        }
        changed_.notify_all();
    }
    uint64_t Count() const {
        std::lock_guard guard(lock_);
        return count_;
    }
    // True once at least `count` ticks were seen.
    bool WaitFor(uint64_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, timeout, [&] { return count_ >= count; });
    }

private:
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    uint64_t count_ = 0;
};

// Counts the events of a sink.
inline void CountEvents(CCaptureTestSink* sink, CCountdown* countdown) {
    sink->onEvent = [countdown](uint32_t) { countdown->Tick(); };
}

// Counts a capture's frames.
class CFrameCounter final : public Granite::IFrameListener {
public:
    void OnFrame(GstSample*) override { frames.Tick(); }
    void OnSourceStopped(HRESULT) override {}
    CCountdown frames;
};
