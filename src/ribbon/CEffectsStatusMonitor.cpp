#include "ribbon/CEffectsStatusMonitor.h"

void CEffectsStatusMonitor::Start(uint32_t nowTick) {
    effectsStatus = S_OK;
    statusNoticeInterval = kFirstIntervalSeconds;
    statusNoticeTick = nowTick;
}

CEffectsStatusMonitor::Action CEffectsStatusMonitor::OnStatus(HRESULT status, uint32_t nowTick) {
    effectsStatus = status;
    if (status == E_EFFECTS_NOT_READY) {
        // Unsigned subtraction gives the elapsed time across a wrap of the tick count.
        uint64_t elapsedMs = static_cast<uint32_t>(nowTick - statusNoticeTick);
        if (elapsedMs <= uint64_t{statusNoticeInterval} * 1000u)
            return Action::None;
        statusNoticeTick = nowTick;
        statusNoticeInterval = kRepeatIntervalSeconds;
        return Action::ShowBalloon;
    }
    statusNoticeTick = nowTick;
    return Action::ClearBalloon;
}
