#include "granite/service/CServiceWorker.h"

namespace Granite {

CServiceWorker::CServiceWorker() : state_(std::make_shared<State>()) {
    thread_ = std::thread(&CServiceWorker::Run, state_);
    threadId_ = thread_.get_id();
}

CServiceWorker::~CServiceWorker() {
    Stop();
}

bool CServiceWorker::Post(Task task) {
    {
        std::lock_guard guard(state_->lock);
        if (state_->stopping)
            return false;
        state_->queue.push_back(std::move(task));
    }
    state_->wake.notify_one();
    return true;
}

uint64_t CServiceWorker::PostDelayed(std::chrono::milliseconds delay, Task task) {
    uint64_t id = 0;
    {
        std::lock_guard guard(state_->lock);
        if (state_->stopping)
            return 0;
        id = state_->nextId++;
        state_->timed.emplace(Clock::now() + delay, std::make_pair(id, std::move(task)));
    }
    state_->wake.notify_one();
    return id;
}

void CServiceWorker::Cancel(uint64_t id) {
    std::lock_guard guard(state_->lock);
    for (auto it = state_->timed.begin(); it != state_->timed.end(); ++it) {
        if (it->second.first == id) {
            state_->timed.erase(it);
            return;
        }
    }
}

void CServiceWorker::Stop() {
    {
        std::lock_guard guard(state_->lock);
        state_->stopping = true;
        state_->queue.clear();
        state_->timed.clear();
    }
    state_->wake.notify_all();
    if (!thread_.joinable())
        return;
    if (IsWorkerThread())
        thread_.detach(); // the loop holds its own share of the state and ends after this task
    else
        thread_.join();
}

bool CServiceWorker::IsWorkerThread() const {
    return threadId_ == std::this_thread::get_id();
}

std::thread::id CServiceWorker::ThreadId() const {
    return threadId_;
}

void CServiceWorker::Run(std::shared_ptr<State> state) {
    std::unique_lock guard(state->lock);
    while (!state->stopping) {
        if (!state->queue.empty()) {
            Task task = std::move(state->queue.front());
            state->queue.pop_front();
            guard.unlock();
            task();
            task = nullptr; // whatever the task held is released outside the lock
            guard.lock();
            continue;
        }
        if (!state->timed.empty()) {
            auto first = state->timed.begin();
            if (first->first <= Clock::now()) {
                Task task = std::move(first->second.second);
                state->timed.erase(first);
                guard.unlock();
                task();
                task = nullptr;
                guard.lock();
                continue;
            }
            const Clock::time_point due = first->first;
            state->wake.wait_until(guard, due);
            continue;
        }
        state->wake.wait(guard);
    }
}

} // namespace Granite
