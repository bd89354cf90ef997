#include "ui/CQtTimerService.h"

#include <QTimer>

CQtTimerService::~CQtTimerService() {
    for (auto& [handle, timer] : timers_)
        delete timer;
}

ITimerService::TimerHandle CQtTimerService::StartTimer(uint32_t intervalMs, Callback callback) {
    TimerHandle handle = next_++;
    auto* timer = new QTimer();
    timer->setInterval(static_cast<int>(std::min<uint32_t>(intervalMs, 0x7FFFFFFF)));
    QObject::connect(timer, &QTimer::timeout, timer, std::move(callback));
    timers_.emplace(handle, timer);
    timer->start();
    return handle;
}

void CQtTimerService::StopTimer(TimerHandle handle) {
    auto it = timers_.find(handle);
    if (it == timers_.end())
        return;
    QTimer* timer = it->second;
    timers_.erase(it);
    timer->stop();
    // The timer may be stopping itself from inside its own timeout signal.
    timer->disconnect();
    timer->deleteLater();
}
