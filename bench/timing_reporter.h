// Console output that also keeps each run's time per iteration, so a
// benchmark program can print ratios between its runs once they are done.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class TimingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times_[run.benchmark_name()] = {run.real_accumulated_time / double(run.iterations),
                                                run.cpu_accumulated_time / double(run.iterations)};
        ConsoleReporter::ReportRuns(runs);
    }

    // Seconds per iteration of the named run, 0 if it did not run.
    double Real(const std::string& name) const { return Find(name).real; }
    double Cpu(const std::string& name) const { return Find(name).cpu; }

private:
    struct Times {
        double real = 0, cpu = 0;
    };

    Times Find(const std::string& name) const
    {
        auto it = times_.find(name);
        return it == times_.end() ? Times{} : it->second;
    }

    std::map<std::string, Times> times_;
};
