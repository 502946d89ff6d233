// One line of the benchmark table: what was measured, its value, the baseline beside it, the ratio and the
// goal.
#pragma once

#include <string>
#include <vector>

class BenchTable {
public:
    // Prints "ROW<TAB>section<TAB>measure<TAB>value<TAB>baseline<TAB>ratio<TAB>goal<TAB>verdict".
    // A verdict is "met", "SHORT" or "-" (no goal); the runner gathers these lines into one table.
    static void row(const std::string &section, const std::string &measure, const std::string &value,
                    const std::string &baseline, const std::string &ratio, const std::string &goal,
                    const std::string &verdict);
    static std::string verdict(bool met) { return met ? "met" : "SHORT"; }

    // Number formatting: "%.*f" with a unit appended.
    static std::string fixed(double value, int decimals, const std::string &unit = std::string());
    // Durations in the unit that suits them: ns, us, ms or s.
    static std::string duration(double nanoseconds);
    // The middle value of a set of runs (the upper one of an even count), -1 for none.
    static double median(std::vector<double> values);
};
