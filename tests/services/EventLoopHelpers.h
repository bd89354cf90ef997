#pragma once
// Running the message loop in the facade tests, for events posted from service threads.
#include <QCoreApplication>

#include <chrono>
#include <functional>

// Runs the message loop until `done` holds or five seconds have passed (events from other threads).
inline bool RunUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Lets events already queued on this thread be delivered.
inline void DrainEvents() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}
