#pragma once
// Timers of the Qt event loop of the user-interface thread.
#include "ui/ITimerService.h"

#include <map>

class QTimer;

class CQtTimerService : public ITimerService {
public:
    CQtTimerService() = default;
    ~CQtTimerService() override;
    CQtTimerService(const CQtTimerService&) = delete;
    CQtTimerService& operator=(const CQtTimerService&) = delete;

    TimerHandle StartTimer(uint32_t intervalMs, Callback callback) override;
    void StopTimer(TimerHandle handle) override;

private:
    std::map<TimerHandle, QTimer*> timers_;
    TimerHandle next_ = 1;
};
