#include "bench/ratio_reporter.h"

#include <algorithm>
#include <cstdio>

namespace afcp::bench {

namespace {

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double to_ns(double time, benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kSecond:
        return time * 1e9;
    case benchmark::kMillisecond:
        return time * 1e6;
    case benchmark::kMicrosecond:
        return time * 1e3;
    default:
        return time;
    }
}

}  // namespace

bool RatioReporter::ReportContext(const Context& context) {
    PrintBasicContext(&GetErrorStream(), context);
    return true;
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration) continue;
        if (run.error_occurred) {
            std::fprintf(stderr, "%s: %s\n", run.benchmark_name().c_str(), run.error_message.c_str());
            continue;
        }
        const int64_t repetition = run.repetition_index < 0 ? 0 : run.repetition_index;
        times_[run.benchmark_name()][repetition] = to_ns(run.GetAdjustedCPUTime(), run.time_unit);
    }
}

void RatioReporter::Finalize() {
    size_t repetitions = 0;
    for (const auto& [name, by_repetition] : times_) repetitions = std::max(repetitions, by_repetition.size());
    std::printf("\n%s: CPU time per call, median of %zu repetition%s\n", title_.c_str(), repetitions,
                repetitions == 1 ? "" : "s");
    std::printf("%-34s %10s %10s %8s %6s\n", "callback", "ns", "floor ns", "ratio", "mark");
    for (const Row& row : rows_) {
        const auto callback = times_.find(row.name);
        const auto floor = times_.find(row.name + floor_suffix);
        if (callback == times_.end() || floor == times_.end()) continue;  // filtered out
        std::vector<double> callback_ns, floor_ns, ratios;
        for (const auto& [repetition, ns] : callback->second) {
            callback_ns.push_back(ns);
            if (auto paired = floor->second.find(repetition); paired != floor->second.end() && paired->second > 0)
                ratios.push_back(ns / paired->second);
        }
        for (const auto& [repetition, ns] : floor->second) floor_ns.push_back(ns);
        const double ratio = median(ratios);
        const bool above = row.mark > 0 && ratio > row.mark;
        above_ += above ? 1 : 0;
        if (row.mark > 0) {
            std::printf("%-34s %10.2f %10.2f %7.2fx %5.1fx%s\n", row.name.c_str(), median(callback_ns),
                        median(floor_ns), ratio, row.mark, above ? "  ABOVE" : "");
        } else {
            std::printf("%-34s %10.2f %10.2f %7.2fx %6s\n", row.name.c_str(), median(callback_ns), median(floor_ns),
                        ratio, "-");
        }
    }
    std::fflush(stdout);
}

}  // namespace afcp::bench
