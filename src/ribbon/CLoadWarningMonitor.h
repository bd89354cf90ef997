#pragma once
// The arithmetic behind the processor-load warning: samples taken every few seconds while the effects
// engine runs are collected in groups of ten; a group whose average reaches 95 % asks for the warning.
#include <cstdint>

class CLoadWarningMonitor {
public:
    // Forgets the samples of the group under way.
    void Reset();
    // Adds one sample (percent). A sample of 0 means "no reading" and is not counted. Once more than nine
    // samples are counted, the group is closed: the result is true when its average is 95 or more, and
    // the count and sum start again from zero. Samples above 100 are taken as 100.
    bool AddSample(uint32_t percent);

    uint32_t Count() const { return loadSamples; }
    uint32_t Sum() const { return loadSum; }

    static constexpr uint32_t kGroupSize = 10;
    static constexpr uint32_t kWarnAverage = 95;

private:
    uint32_t loadSamples = 0;
    uint32_t loadSum = 0;
};
