// Console reporter of Google Benchmark that also keeps each benchmark's time per iteration by name.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override;

    // CPU time per iteration in nanoseconds (the median when repetitions ran), or -1 when absent.
    double nanoseconds(const std::string &name) const;

private:
    std::map<std::string, double> m_times;
};
