#include "CollectingReporter.h"

void CollectingReporter::ReportRuns(const std::vector<Run> &runs) {
    benchmark::ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
        if (run.error_occurred || run.iterations == 0)
            continue;
        const std::string name = run.run_name.function_name;
        const bool aggregate = run.run_type == Run::RT_Aggregate;
        if (aggregate && run.aggregate_name != "median")
            continue;
        const double ns = run.GetAdjustedCPUTime() * (run.time_unit == benchmark::kNanosecond    ? 1.0
                                                      : run.time_unit == benchmark::kMicrosecond ? 1e3
                                                      : run.time_unit == benchmark::kMillisecond ? 1e6
                                                                                                 : 1e9);
        // A median, when there is one, wins over the single runs it summarises.
        if (aggregate || !m_times.count(name))
            m_times[name] = ns;
    }
}

double CollectingReporter::nanoseconds(const std::string &name) const {
    auto it = m_times.find(name);
    return it == m_times.end() ? -1.0 : it->second;
}
