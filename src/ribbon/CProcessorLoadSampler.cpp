#include "ribbon/CProcessorLoadSampler.h"

#include "platform/CSystemInfo.h"
#include "platform/IClock.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

CProcessorLoadSampler::CProcessorLoadSampler()
    : CProcessorLoadSampler(&CProcessorLoadSampler::ReadProcStat) {}

CProcessorLoadSampler::CProcessorLoadSampler(CpuReader reader, int platformClass)
    : reader_(std::move(reader)), platformClass_(platformClass < 0 ? ClassifyPlatform() : platformClass) {}

int CProcessorLoadSampler::ClassifyPlatform() {
    PlatformVersion version = CSystemInfo::Instance().GetVersion();
    if (!version.ntFamily)
        return 2;
    return version.major == 4 ? 0 : 1;
}

bool CProcessorLoadSampler::ParseProcStat(const std::string& text, CpuTimes& out) {
    std::istringstream lines(text);
    std::string line;
    bool haveTotal = false;
    uint64_t idle = 0;
    uint64_t total = 0;
    uint32_t processors = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("cpu", 0) != 0)
            continue;
        if (line.size() > 3 && line[3] >= '0' && line[3] <= '9') {
            ++processors;
            continue;
        }
        if (line.size() > 3 && line[3] != ' ')
            continue;
        // user nice system idle iowait irq softirq steal [guest guest_nice]; guest time is already part
        // of user time, so only the first eight fields add up to the elapsed time.
        std::istringstream fields(line.substr(3));
        uint64_t values[8] = {};
        int count = 0;
        while (count < 8 && fields >> values[count])
            ++count;
        if (count < 4)
            return false;
        for (int i = 0; i < count; ++i)
            total += values[i];
        idle = values[3] + (count > 4 ? values[4] : 0);
        haveTotal = true;
    }
    if (!haveTotal || processors == 0)
        return false;
    // The aggregate counters add up every processor's ticks, so they count wall time in units of
    // 1/processors tick; idle is scaled into the same unit.
    out.idle = idle * processors;
    out.time = total;
    out.processors = processors;
    return true;
}

bool CProcessorLoadSampler::ReadProcStat(CpuTimes& out) {
    std::ifstream file("/proc/stat");
    if (!file)
        return false;
    std::stringstream text;
    text << file.rdbuf();
    return ParseProcStat(text.str(), out);
}

uint32_t CProcessorLoadSampler::ReadLoad() {
    CpuTimes now;
    if (!reader_ || !reader_(now) || now.processors == 0)
        return 0;
    uint32_t load = 0;
    if (previousIdle_ != 0 && now.time > previousTime_) {
        double idleShare = (static_cast<double>(now.idle) - static_cast<double>(previousIdle_)) /
                           static_cast<double>(now.time - previousTime_);
        double percent = 100.0 - idleShare * 100.0 / now.processors + 0.5;
        // Counters that ran backwards (idle bookkeeping of the kernel is not strictly monotonic) must not
        // give a reading outside 0..100.
        load = static_cast<uint32_t>(std::clamp(percent, 0.0, 100.0));
    } else if (previousIdle_ != 0) {
        // No time passed since the previous reading: keep that one as the base.
        return 0;
    }
    previousIdle_ = now.idle;
    previousTime_ = now.time;
    return load;
}

uint32_t CProcessorLoadSampler::Sample() {
    uint32_t sample = platformClass_ == 2 ? 0 : ReadLoad();
    uint32_t now = GetClock().GetTickCount();
    if (windowStarted_ && static_cast<uint32_t>(now - windowStart_) < kAveragingWindowMs) {
        windowSum_ += sample;
        ++windowCount_;
        return static_cast<uint32_t>(windowSum_ / windowCount_);
    }
    windowStarted_ = true;
    windowStart_ = now;
    windowSum_ = sample;
    windowCount_ = 1;
    return sample;
}
