#pragma once
// The processor load in percent, as the ribbon's load warning samples it: the share of time the
// processors were not idle since the previous sample, averaged over the samples of about one second.
#include <cstdint>
#include <functional>
#include <string>

// Counters of the kernel's processor statistics. `idle` is summed over all processors; `time` is the
// elapsed wall time in the same unit, so that idle / time / processors is the idle share.
struct CpuTimes {
    uint64_t idle = 0;
    uint64_t time = 0;
    uint32_t processors = 0;
};

// Fills the counters; false for a failed query (the sample is then 0).
using CpuReader = std::function<bool(CpuTimes&)>;

class CProcessorLoadSampler {
public:
    // Reads the kernel's statistics (/proc/stat) and classifies the platform from CSystemInfo.
    CProcessorLoadSampler();
    // `platformClass`: 0 or 1 (the two NT generations), 2 (the 9x family, whose samples are always 0), 3
    // (anything else); -1 takes it from CSystemInfo.
    explicit CProcessorLoadSampler(CpuReader reader, int platformClass = -1);

    int PlatformClass() const { return platformClass_; }

    // One sample, 0..100. The first reading only stores the counters and gives 0. Samples taken less than
    // 1001 ms (GetClock().GetTickCount()) after the current averaging window started are averaged with
    // the window's earlier ones (integer division); a later sample starts a new window.
    uint32_t Sample();

    // The class of the reported platform version: 9x family 2; NT family 0 for major version 4, else 1.
    static int ClassifyPlatform();
    // Reads the aggregate "cpu" line and counts the "cpuN" lines of a /proc/stat text. Idle time is idle
    // plus iowait; both counters are in units of 1/processors of a clock tick.
    static bool ParseProcStat(const std::string& text, CpuTimes& out);
    static bool ReadProcStat(CpuTimes& out);

    static constexpr uint32_t kAveragingWindowMs = 1001;

private:
    uint32_t ReadLoad();

    CpuReader reader_;
    int platformClass_ = 1;
    uint64_t previousIdle_ = 0;
    uint64_t previousTime_ = 0;
    bool windowStarted_ = false;
    uint32_t windowStart_ = 0;
    uint32_t windowCount_ = 0;
    uint64_t windowSum_ = 0;
};
