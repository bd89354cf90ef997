#pragma once
// Timed waits on a condition variable, timed on the steady clock but slept on the system clock in short
// slices. libstdc++ sleeps a steady-clock wait in pthread_cond_clockwait, which the thread sanitizer of our
// tool chain does not intercept: it then loses track of the waiting thread taking its lock back and reports
// races that are none. Sleeping through pthread_cond_timedwait keeps it informed; the slices limit what a
// jump of the wall clock can do to one slice.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace TimedWait {

constexpr std::chrono::milliseconds kSlice{50};

// Waits until `deadline` or a wake-up, whichever comes first (spurious wake-ups included, as with
// wait_until); at most one slice.
inline void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                      std::chrono::steady_clock::time_point deadline) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline)
        return;
    const auto slice = std::min<std::chrono::steady_clock::duration>(deadline - now, kSlice);
    cv.wait_until(lock, std::chrono::system_clock::now() +
                            std::chrono::duration_cast<std::chrono::system_clock::duration>(slice));
}

// Waits until `done()` holds or `deadline` has passed; the last value of `done()`.
template <class Predicate>
bool WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
               std::chrono::steady_clock::time_point deadline, Predicate done) {
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        WaitUntil(cv, lock, deadline);
    }
    return true;
}

template <class Rep, class Period, class Predicate>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
             std::chrono::duration<Rep, Period> timeout, Predicate done) {
    return WaitUntil(cv, lock,
                     std::chrono::steady_clock::now() +
                         std::chrono::duration_cast<std::chrono::steady_clock::duration>(timeout),
                     done);
}

} // namespace TimedWait
