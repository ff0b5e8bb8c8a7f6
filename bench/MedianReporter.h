#pragma once

// The console output of Google Benchmark plus ratios of medians: every benchmark that runs with
// repetitions reports a median, and a ratio is taken between two of them, never between single
// repetitions or means, which one slow repetition would move.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

class CMedianReporter : public benchmark::ConsoleReporter {
public:
    // In colour on a terminal only, so that the output can be kept in a file.
    CMedianReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
                !run.error_occurred)
                m_seconds[Key(run)] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }

    // "<label>: <ratio> <remark>" for the medians of two benchmarks named as "function/args"
    // ("BM_Load/735"); nothing when either did not run.
    void PrintRatio(const std::string& label, const std::string& numerator,
                    const std::string& denominator, const char* remark = "") const {
        auto top = m_seconds.find(numerator), bottom = m_seconds.find(denominator);
        if (top != m_seconds.end() && bottom != m_seconds.end() && bottom->second > 0)
            std::printf("%s: %.2f %s\n", label.c_str(), top->second / bottom->second, remark);
    }

    // The median of a benchmark in milliseconds; negative when it did not run.
    double MedianMs(const std::string& name) const {
        auto found = m_seconds.find(name);
        return found == m_seconds.end() ? -1 : found->second * 1000;
    }

private:
    static std::string Key(const Run& run) {
        const std::string& args = run.run_name.args;
        return run.run_name.function_name + (args.empty() ? "" : "/" + args);
    }

    std::map<std::string, double> m_seconds;
};

// Runs the benchmarks the command line selects, reporting into `reporter`; false, running
// nothing, when the command line holds arguments Google Benchmark does not know.
inline bool RunAll(int& argc, char** argv, CMedianReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return false;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return true;
}

// A benchmark of an operation too slow to repeat within a repetition (a save, a copy of an
// archive): one timed run per repetition, fifteen repetitions, their median reported.
inline void OneRunPerRepetition(benchmark::internal::Benchmark* run) {
    run->UseManualTime()->Iterations(1)->Repetitions(15)->ReportAggregatesOnly()->Unit(
        benchmark::kMillisecond);
}

} // namespace bench
