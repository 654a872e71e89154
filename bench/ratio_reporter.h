#pragma once

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// The console report, keeping each benchmark's times per iteration and its
// counters for the ratios printed at the end of a run. CPU time suits work
// done on the benchmark's own thread (another build on the same cores
// disturbs it least); wall time suits an exchange or a child process.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred)
        continue;
      FCpu[run.benchmark_name()] = run.GetAdjustedCPUTime();
      FWall[run.benchmark_name()] = run.GetAdjustedRealTime();
      for (const auto& [name, counter] : run.counters)
        FCounters[run.benchmark_name() + "/" + name] = counter.value;
    }
  }

  // Zero for a benchmark that did not run or failed.
  double CpuTime(const std::string& name) const { return Find(FCpu, name); }
  double WallTime(const std::string& name) const { return Find(FWall, name); }
  double Counter(const std::string& name) const { return Find(FCounters, name); }

  // Prints measured / baseline, with the aim when there is one (aim > 0);
  // nothing when either side is missing.
  static void PrintRatio(const char* what, double measured, double baseline, double aim) {
    if (measured <= 0 || baseline <= 0)
      return;
    const double ratio = measured / baseline;
    if (aim > 0)
      std::printf("%-52s %7.2fx  (aim <= %gx: %s)\n", what, ratio, aim,
                  ratio <= aim ? "met" : "NOT met");
    else
      std::printf("%-52s %7.2fx\n", what, ratio);
  }

private:
  static double Find(const std::map<std::string, double>& values, const std::string& name) {
    const auto found = values.find(name);
    return found == values.end() ? 0 : found->second;
  }

  std::map<std::string, double> FCpu;
  std::map<std::string, double> FWall;
  std::map<std::string, double> FCounters;
};
