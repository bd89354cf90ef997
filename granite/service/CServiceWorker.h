#pragma once
// The service's own thread: runs queued work in order, and timed work when it is due. Events reach their
// sinks from here, never from the thread of the caller whose action caused them.
//
// Stop() discards what is still queued and ends the thread; called on the worker itself (the last reference
// of a service dropped from inside an event), the thread is let go and ends after the current task.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace Granite {

class CServiceWorker {
public:
    using Task = std::function<void()>;
    using Clock = std::chrono::steady_clock;

    CServiceWorker();
    ~CServiceWorker();
    CServiceWorker(const CServiceWorker&) = delete;
    CServiceWorker& operator=(const CServiceWorker&) = delete;

    // Queues a task; false once stopped.
    bool Post(Task task);
    // Queues a task to run after `delay`; returns its id (0 once stopped).
    uint64_t PostDelayed(std::chrono::milliseconds delay, Task task);
    // Drops a timed task that has not run yet.
    void Cancel(uint64_t id);
    void Stop();
    bool IsWorkerThread() const;
    std::thread::id ThreadId() const;

private:
    struct State {
        std::mutex lock;
        std::condition_variable wake;
        std::deque<Task> queue;
        std::multimap<Clock::time_point, std::pair<uint64_t, Task>> timed;
        uint64_t nextId = 1;
        bool stopping = false;
    };
    static void Run(std::shared_ptr<State> state);

    std::shared_ptr<State> state_;
    std::thread thread_;
    std::thread::id threadId_; // kept apart from thread_, which a detach clears
};

} // namespace Granite
