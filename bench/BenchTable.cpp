#include "BenchTable.h"

#include <algorithm>
#include <cstdio>

void BenchTable::row(const std::string &section, const std::string &measure, const std::string &value,
                     const std::string &baseline, const std::string &ratio, const std::string &goal,
                     const std::string &verdict) {
    std::printf("ROW\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", section.c_str(), measure.c_str(), value.c_str(),
                baseline.c_str(), ratio.c_str(), goal.c_str(), verdict.c_str());
    std::fflush(stdout);
}

std::string BenchTable::fixed(double value, int decimals, const std::string &unit) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return unit.empty() ? std::string(text) : std::string(text) + " " + unit;
}

std::string BenchTable::duration(double ns) {
    if (ns < 1e3)
        return fixed(ns, 1, "ns");
    if (ns < 1e6)
        return fixed(ns / 1e3, ns < 1e4 ? 2 : 1, "us");
    if (ns < 1e9)
        return fixed(ns / 1e6, ns < 1e7 ? 2 : 1, "ms");
    return fixed(ns / 1e9, 3, "s");
}

double BenchTable::median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1.0 : values[values.size() / 2];
}
