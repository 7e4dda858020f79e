// Prints each benchmark beside its physical baseline from the same run, as a ratio.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace vorn::bench {

struct Pairing {
    std::string ours;      // benchmark name of our figure
    std::string baseline;  // benchmark name of the baseline measured in the same run
    std::string what;      // one line saying what the ratio means
    bool higherIsBetter;   // compare throughput (bytes per second) instead of time
    bool items = false;    // with higherIsBetter: compare items per second (SetItemsProcessed)
};

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    explicit RatioReporter(std::vector<Pairing> pairings) : pairings_(std::move(pairings)) {}
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

  private:
    std::vector<Pairing> pairings_;
    std::map<std::string, double> seconds_;      // real time per iteration
    std::map<std::string, double> bytesPerSec_;  // from SetBytesProcessed
    std::map<std::string, double> itemsPerSec_;  // from SetItemsProcessed
};

// Runs the benchmarks given on the command line and prints the ratios at the end.
int RunWithRatios(int argc, char** argv, std::vector<Pairing> pairings);

}  // namespace vorn::bench
