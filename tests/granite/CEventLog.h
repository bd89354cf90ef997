#pragma once
// The recorder behind every event sink and listener of the service tests: events come on any thread, and a
// test reads them or waits (at most ten seconds) until what it expects has come.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

template <class Event> class CEventLog {
public:
    void Add(Event event) {
        std::lock_guard guard(lock_);
        events_.push_back(std::move(event));
        lastThread_ = std::this_thread::get_id();
        changed_.notify_all();
    }
    std::vector<Event> Events() const {
        std::lock_guard guard(lock_);
        return events_;
    }
    std::thread::id LastThread() const {
        std::lock_guard guard(lock_);
        return lastThread_;
    }
    void Clear() {
        std::lock_guard guard(lock_);
        events_.clear();
    }
    // Waits until `enough` holds for the events; false after the time-out.
    bool WaitFor(const std::function<bool(const std::vector<Event>&)>& enough) const {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, std::chrono::seconds(10), [&] { return enough(events_); });
    }
    bool WaitFor(const Event& event) const {
        return WaitFor(
            [&](const auto& all) { return std::find(all.begin(), all.end(), event) != all.end(); });
    }
    // Waits until `count` events have come, then gives all there are.
    std::vector<Event> Await(size_t count) const {
        WaitFor([&](const std::vector<Event>& all) { return all.size() >= count; });
        return Events();
    }

private:
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<Event> events_;
    std::thread::id lastThread_;
};
