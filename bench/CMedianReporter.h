#pragma once
// Keeps Google Benchmark's console output and remembers each benchmark's median, in microseconds, for the
// comparison lines a benchmark program prints at the end.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class CMedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;    // benchmark name -> microseconds, wall clock
    std::map<std::string, double> cpuMedians; // the same in CPU time: steadier on a busy machine

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.aggregate_name != "median")
                continue;
            const double toMicros = benchmark::GetTimeUnitMultiplier(benchmark::kMicrosecond) /
                                    benchmark::GetTimeUnitMultiplier(run.time_unit);
            medians[run.run_name.function_name] = run.GetAdjustedRealTime() * toMicros;
            cpuMedians[run.run_name.function_name] = run.GetAdjustedCPUTime() * toMicros;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};
