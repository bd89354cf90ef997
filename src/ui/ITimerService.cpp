#include "ui/ITimerService.h"

#include "ui/CQtTimerService.h"

#include <atomic>

namespace {
std::atomic<ITimerService*> g_installed{nullptr};

ITimerService& RealService() {
    // Never destroyed: its timers belong to the event loop, which is gone by the time statics are destroyed.
    static auto* service = new CQtTimerService();
    return *service;
}
} // namespace

ITimerService& GetTimerService() {
    ITimerService* installed = g_installed.load(std::memory_order_acquire);
    return installed != nullptr ? *installed : RealService();
}

void SetTimerService(ITimerService* service) {
    g_installed.store(service, std::memory_order_release);
}
