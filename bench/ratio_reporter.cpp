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

using Times = std::map<int64_t, double>;

// The time of `times` in each repetition, divided by the sum of the times of `below` in the same repetition.
double median_ratio(const Times& times, const std::vector<const Times*>& below) {
    std::vector<double> ratios;
    for (const auto& [repetition, ns] : times) {
        double sum = 0.0;
        bool complete = true;
        for (const Times* b : below) {
            const auto paired = b->find(repetition);
            complete = complete && paired != b->end();
            if (complete) sum += paired->second;
        }
        if (complete && sum > 0.0) ratios.push_back(ns / sum);
    }
    return median(ratios);
}

double median_time(const Times& times) {
    std::vector<double> values;
    for (const auto& [repetition, ns] : times) values.push_back(ns);
    return median(values);
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
            errors_[run.benchmark_name()] = run.error_message;
            continue;
        }
        const int64_t repetition = run.repetition_index < 0 ? 0 : run.repetition_index;
        times_[run.benchmark_name()][repetition] = to_ns(run.GetAdjustedCPUTime(), run.time_unit);
    }
}

void RatioReporter::Finalize() {
    size_t repetitions = 0;
    for (const auto& [name, by_repetition] : times_) repetitions = std::max(repetitions, by_repetition.size());
    const auto call = times_.find(call_alone_);
    const bool with_call = call != times_.end();
    std::printf("\n%s: CPU time per call, median of %zu repetition%s\n", title_.c_str(), repetitions,
                repetitions == 1 ? "" : "s");
    std::printf("%-36s %9s %9s %8s %6s%6s%s\n", "callback", "ns", "floor ns", "ratio", "mark", "",
                with_call ? "    +call" : "");
    for (const Row& row : rows_) {
        bool failed = false;
        for (const std::string& name : {row.name, row.name + floor_suffix}) {
            if (const auto error = errors_.find(name); error != errors_.end()) {
                std::printf("%-36s error: %s\n", name.c_str(), error->second.c_str());
                failed = true;
            }
        }
        const auto callback = times_.find(row.name);
        const auto floor = times_.find(row.name + floor_suffix);
        if (failed || callback == times_.end() || floor == times_.end()) continue;  // failed, or filtered out
        const double ratio = median_ratio(callback->second, {&floor->second});
        std::printf("%-36s %9.2f %9.2f %7.2fx", row.name.c_str(), median_time(callback->second),
                    median_time(floor->second), ratio);
        if (row.mark > 0) {
            std::printf(" %5.1fx%6s", row.mark, ratio > row.mark ? " ABOVE" : "");
        } else {
            std::printf(" %6s%6s", "-", "");
        }
        if (with_call && row.name != call_alone_)
            std::printf(" %7.2fx", median_ratio(callback->second, {&floor->second, &call->second}));
        std::printf("\n");
    }
    if (with_call) std::printf("+call: the ratio to the floor with the call alone added to it\n");
    std::fflush(stdout);
}

}  // namespace afcp::bench
