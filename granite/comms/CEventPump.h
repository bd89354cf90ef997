#pragma once
// The thread of a stand-in service on which all its own work runs and from which its connected event sinks
// are called: events posted from any thread, jobs run after a delay, and a periodic tick. No lock is held
// while a sink or a job runs.
//
// Unadvise guarantees that, once it returns, the sink is not being called and will not be called again
// (called on the pump's own thread, from inside that sink, the running call simply finishes). Stop() ends
// the thread; jobs and events still queued are dropped.
#include "platform/HResult.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace Granite {

template <class Sink> class CEventPump {
public:
    using Clock = std::chrono::steady_clock;
    using Event = std::function<void(Sink&)>;
    using Job = std::function<void()>;

    CEventPump() = default;
    ~CEventPump() { Stop(); }
    CEventPump(const CEventPump&) = delete;
    CEventPump& operator=(const CEventPump&) = delete;

    // Starts the thread; `tick` runs on it every `interval` (and at once when RequestTick is called).
    void Start(Job tick, std::chrono::milliseconds interval) {
        std::lock_guard<std::mutex> guard(lock_);
        if (thread_.joinable() || stopped_)
            return;
        tick_ = std::move(tick);
        interval_ = interval;
        nextTick_ = Clock::now() + interval_;
        thread_ = std::thread([this] { Loop(); });
    }

    void Stop() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            stopped_ = true;
            events_.clear();
            jobs_.clear();
            sinks_.clear();
        }
        wake_.notify_all();
        if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
            thread_.join();
        else if (thread_.joinable())
            thread_.detach(); // stopped from its own job: the loop ends by itself
    }

    void SetInterval(std::chrono::milliseconds interval) {
        {
            std::lock_guard<std::mutex> guard(lock_);
            interval_ = interval;
            nextTick_ = Clock::now() + interval_;
        }
        wake_.notify_all();
    }

    void RequestTick() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            tickRequested_ = true;
        }
        wake_.notify_all();
    }

    // Any thread: `event` will be called with every sink connected when its turn comes.
    void Post(Event event) {
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (stopped_)
                return;
            events_.push_back(std::move(event));
        }
        wake_.notify_all();
    }

    // Any thread: runs `job` on the pump's thread after `delay`. Jobs due at the same time run in the
    // order they were given.
    void RunAfter(std::chrono::milliseconds delay, Job job) {
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (stopped_)
                return;
            jobs_.emplace(Clock::now() + delay, std::move(job));
        }
        wake_.notify_all();
    }

    HRESULT Advise(Sink* sink, uint32_t* cookie) {
        if (sink == nullptr || cookie == nullptr)
            return E_POINTER;
        std::lock_guard<std::mutex> guard(lock_);
        if (stopped_)
            return E_FAIL;
        uint32_t c = nextCookie_++;
        if (c == 0xFEFEFEFEu || c == 0)
            c = nextCookie_++;
        sinks_.emplace_back(c, sink);
        *cookie = c;
        return S_OK;
    }

    HRESULT Unadvise(uint32_t cookie) {
        std::unique_lock<std::mutex> guard(lock_);
        bool found = false;
        for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
            if (it->first == cookie) {
                sinks_.erase(it);
                found = true;
                break;
            }
        }
        if (std::this_thread::get_id() != thread_.get_id())
            callDone_.wait(guard, [&] { return inCall_ != cookie; });
        return found ? S_OK : E_INVALIDARG;
    }

    size_t SinkCount() const {
        std::lock_guard<std::mutex> guard(lock_);
        return sinks_.size();
    }
    bool IsPumpThread() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    void Loop() {
        std::unique_lock<std::mutex> guard(lock_);
        while (!stopped_) {
            if (!events_.empty()) {
                Event event = std::move(events_.front());
                events_.pop_front();
                Deliver(event, guard);
                continue;
            }
            auto now = Clock::now();
            if (!jobs_.empty() && jobs_.begin()->first <= now) {
                Job job = std::move(jobs_.begin()->second);
                jobs_.erase(jobs_.begin());
                guard.unlock();
                job();
                guard.lock();
                continue;
            }
            if (tickRequested_ || now >= nextTick_) {
                tickRequested_ = false;
                nextTick_ = now + interval_;
                Job tick = tick_;
                guard.unlock();
                if (tick)
                    tick();
                guard.lock();
                continue;
            }
            auto until = nextTick_;
            if (!jobs_.empty() && jobs_.begin()->first < until)
                until = jobs_.begin()->first;
            // Wake early for anything that is due before `until`, including jobs and a shorter interval
            // that arrived while waiting.
            wake_.wait_until(guard, until, [&] {
                return stopped_ || tickRequested_ || !events_.empty() || nextTick_ < until ||
                       (!jobs_.empty() && jobs_.begin()->first < until);
            });
        }
    }

    // Calls every connected sink in turn; one that is disconnected meanwhile is skipped.
    void Deliver(const Event& event, std::unique_lock<std::mutex>& guard) {
        std::vector<uint32_t> cookies;
        for (const auto& [cookie, sink] : sinks_)
            cookies.push_back(cookie);
        for (uint32_t cookie : cookies) {
            Sink* sink = nullptr;
            for (const auto& [c, s] : sinks_) {
                if (c == cookie)
                    sink = s;
            }
            if (sink == nullptr || stopped_)
                continue;
            inCall_ = cookie;
            guard.unlock();
            event(*sink);
            guard.lock();
            inCall_ = 0;
            callDone_.notify_all();
        }
    }

    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable callDone_;
    std::thread thread_;
    bool stopped_ = false;
    std::deque<Event> events_;
    std::multimap<Clock::time_point, Job> jobs_;
    Job tick_;
    std::chrono::milliseconds interval_{1000};
    Clock::time_point nextTick_{};
    bool tickRequested_ = false;
    std::vector<std::pair<uint32_t, Sink*>> sinks_;
    uint32_t nextCookie_ = 1;
    uint32_t inCall_ = 0;
};

} // namespace Granite
