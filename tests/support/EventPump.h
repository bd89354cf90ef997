#pragma once
// Running the test thread's event loop: delivering what it posted itself, and waiting (boundedly) for what
// comes from another thread, process or bus.
#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>

// Delivers what this thread posted (window messages, deferred deletes) without waiting for anything.
inline void Pump() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Runs the event loop until `done` holds or `timeoutMs` has passed. Only for what really crosses from
// another thread or process; a check that nothing arrives passes a short time.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Lets what is already queued on this thread, and what that posts in turn, be delivered.
inline void DrainEvents() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}
