#include "ribbon/CLoadWarningMonitor.h"

#include <algorithm>

void CLoadWarningMonitor::Reset() {
    loadSamples = 0;
    loadSum = 0;
}

bool CLoadWarningMonitor::AddSample(uint32_t percent) {
    if (percent == 0)
        return false;
    ++loadSamples;
    loadSum += std::min<uint32_t>(percent, 100);
    if (loadSamples < kGroupSize)
        return false;
    // Comparing the sum avoids the rounding of an integer average: 949 over ten samples is not 95 %.
    bool warn = loadSum >= kWarnAverage * loadSamples;
    Reset();
    return warn;
}
