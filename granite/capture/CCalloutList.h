#pragma once
// Targets that are called from other threads (event sinks, frame listeners), with the guarantee the capture
// objects promise their callers: when Remove returns, no call on the target is running and none will start.
// No lock is held while a target is called. A target may remove itself from inside its own call; Remove
// then returns at once and the entry goes when that call ends.
#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

namespace Granite {

template <class T> class CCalloutList {
public:
    // False when the key is already in use.
    bool Add(uint32_t key, T* target) {
        std::lock_guard guard(lock_);
        if (FindLocked(key) != entries_.end())
            return false;
        Entry& entry = entries_.emplace_back();
        entry.key = key;
        entry.target = target;
        return true;
    }

    // Takes the target out and waits for its calls in flight; null when the key is unknown.
    T* Remove(uint32_t key) {
        std::unique_lock guard(lock_);
        auto it = FindLocked(key);
        if (it == entries_.end() || it->removed)
            return nullptr;
        it->removed = true;
        ++it->waiting;
        const std::thread::id me = std::this_thread::get_id();
        done_.wait(guard, [&] {
            return std::all_of(it->callers.begin(), it->callers.end(), [&](auto id) { return id == me; });
        });
        --it->waiting;
        T* target = it->target;
        if (it->callers.empty())
            entries_.erase(it);
        return target;
    }

    // Takes every target out, for an owner being destroyed (nobody calls any more then).
    std::vector<T*> TakeAll() {
        std::lock_guard guard(lock_);
        std::vector<T*> targets;
        for (const Entry& e : entries_) {
            if (!e.removed)
                targets.push_back(e.target);
        }
        entries_.clear();
        return targets;
    }

    // The key of a target; false when it is not in the list.
    bool KeyOf(const T* target, uint32_t* key) const {
        std::lock_guard guard(lock_);
        for (const Entry& e : entries_) {
            if (e.target == target && !e.removed) {
                *key = e.key;
                return true;
            }
        }
        return false;
    }

    size_t Size() const {
        std::lock_guard guard(lock_);
        return static_cast<size_t>(
            std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.removed; }));
    }

    // Calls `call(target)` for every target, without the lock.
    template <class F> void ForEach(F&& call) {
        const std::thread::id me = std::this_thread::get_id();
        std::unique_lock guard(lock_);
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->removed) {
                ++it;
                continue;
            }
            it->callers.push_back(me);
            guard.unlock();
            call(it->target);
            guard.lock();
            it->callers.erase(std::find(it->callers.begin(), it->callers.end(), me));
            if (it->removed) {
                done_.notify_all();
                if (it->callers.empty() && it->waiting == 0) {
                    it = entries_.erase(it);
                    continue;
                }
            }
            ++it;
        }
    }

private:
    struct Entry {
        uint32_t key = 0;
        T* target = nullptr;
        bool removed = false;
        int waiting = 0;                      // Remove calls waiting for this entry
        std::vector<std::thread::id> callers; // threads calling the target now
    };

    typename std::list<Entry>::iterator FindLocked(uint32_t key) {
        return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.key == key; });
    }

    mutable std::mutex lock_;
    std::condition_variable done_;
    std::list<Entry> entries_; // a list: entries keep their place while a call runs without the lock
};

} // namespace Granite
