// Prints every benchmark as a ratio to its floor: the least work the same callback cannot avoid, run beside it.
// Each callback is paired with the benchmark of the same name and the suffix ":floor". With repetitions, the
// ratio is the median of the per-repetition ratios, and the times are medians too.
//
// The host calls every callback through a pointer, and the floors make no such call. Where one benchmark is
// named as the call alone, a second ratio counts that call in the floor as well.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace afcp::bench {

constexpr const char* floor_suffix = ":floor";

class RatioReporter : public benchmark::BenchmarkReporter {
public:
    explicit RatioReporter(std::string title) : title_(std::move(title)) {}

    // A callback and its floor, in the order the table lists them; a mark of 0 means none is set.
    void expect(const std::string& name, double mark) { rows_.push_back({name, mark}); }
    // The benchmark that times a call through a pointer to a function that does nothing.
    void call_alone(const std::string& name) { call_alone_ = name; }

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

    // Whether a benchmark stopped with an error.
    bool failed() const { return !errors_.empty(); }

private:
    struct Row {
        std::string name;
        double mark;
    };
    std::string title_;
    std::vector<Row> rows_;
    std::string call_alone_;
    // CPU time per iteration in ns, by benchmark name and repetition.
    std::map<std::string, std::map<int64_t, double>> times_;
    std::map<std::string, std::string> errors_;
};

}  // namespace afcp::bench
