#include "ui/CQtTimerService.h"

#include <QTimer>

#include <algorithm>

CQtTimerService::~CQtTimerService() {
    for (auto& [handle, timer] : timers_)
        delete timer;
    for (QTimer* timer : stopped_)
        delete timer;
}

void CQtTimerService::FreeStopped() {
    if (firing_ > 0)
        return;
    std::vector<QTimer*> stopped;
    stopped.swap(stopped_);
    for (QTimer* timer : stopped)
        delete timer;
}

ITimerService::TimerHandle CQtTimerService::StartTimer(uint32_t intervalMs, Callback callback) {
    FreeStopped();
    TimerHandle handle = next_++;
    auto* timer = new QTimer();
    timer->setInterval(static_cast<int>(std::min<uint32_t>(intervalMs, 0x7FFFFFFF)));
    QObject::connect(timer, &QTimer::timeout, timer, [this, callback = std::move(callback)] {
        ++firing_;
        callback();
        --firing_;
    });
    timers_.emplace(handle, timer);
    timer->start();
    return handle;
}

void CQtTimerService::StopTimer(TimerHandle handle) {
    auto it = timers_.find(handle);
    if (it != timers_.end()) {
        QTimer* timer = it->second;
        timers_.erase(it);
        timer->stop();
        stopped_.push_back(timer);
    }
    FreeStopped();
}
