#pragma once
// Timers of the Qt event loop of the user-interface thread.
#include "ui/ITimerService.h"

#include <map>
#include <vector>

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
    // Frees stopped timers once no timer callback is running (a timer cannot be freed inside its own signal).
    void FreeStopped();

    std::map<TimerHandle, QTimer*> timers_;
    std::vector<QTimer*> stopped_;
    TimerHandle next_ = 1;
    int firing_ = 0; // timer callbacks running
};
