#pragma once
// The one recorder behind every event sink and listener of the service tests: events are added on whatever
// thread raises them, and a test reads them or waits (with a generous time-out) until what it expects has
// come. The sinks only turn their interface's calls into events of their own kind.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

template <class Event> class CEventLog {
public:
    using Predicate = std::function<bool(const std::vector<Event>&)>;

    void Add(Event event) {
        {
            std::lock_guard guard(lock_);
            events_.push_back(std::move(event));
            lastThread_ = std::this_thread::get_id();
        }
        changed_.notify_all();
    }
    std::vector<Event> Events() const {
        std::lock_guard guard(lock_);
        return events_;
    }
    // The thread the latest event arrived on.
    std::thread::id LastThread() const {
        std::lock_guard guard(lock_);
        return lastThread_;
    }
    void Clear() {
        std::lock_guard guard(lock_);
        events_.clear();
    }
    // Waits until `enough` holds for the events; false after the time-out.
    bool WaitFor(const Predicate& enough,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, timeout, [&] { return enough(events_); });
    }
    // Waits until an event equal to `event` has come.
    bool WaitFor(const Event& event, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        return WaitFor(
            [&](const std::vector<Event>& all) {
                return std::find(all.begin(), all.end(), event) != all.end();
            },
            timeout);
    }
    // Waits until `count` events have come, then gives all there are.
    std::vector<Event> Await(size_t count,
                             std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        WaitFor([&](const std::vector<Event>& all) { return all.size() >= count; }, timeout);
        return Events();
    }

private:
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<Event> events_;
    std::thread::id lastThread_;
};
