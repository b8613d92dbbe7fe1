#pragma once

// Prints the console report and keeps each figure, so that a benchmark's main can print the
// ratio of every figure to its baseline from the same run.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace vyn::bench {

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
                for (const auto& [name, counter] : run.counters)
                    counters[run.benchmark_name() + "/" + name] = counter.value;
            }
        ConsoleReporter::ReportRuns(runs);
    }

    // "label: ours X, baseline Y, ratio ours/baseline"; silent when either is missing.
    void Ratio(const char* label, const std::string& ours, const std::string& baseline) const
    {
        const auto o = times.find(ours), b = times.find(baseline);
        if (o == times.end() || b == times.end() || b->second <= 0)
            return;
        std::printf("%-44s %12.3f vs %12.3f  ratio %.2f\n", label, o->second, b->second,
                    o->second / b->second);
    }

    std::map<std::string, double> times;
    std::map<std::string, double> counters;
};

} // namespace vyn::bench
