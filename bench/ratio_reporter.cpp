#include "bench/ratio_reporter.h"

#include <cstdio>

namespace vorn::bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
        // Known by the function's name and by the full name (with arguments and threads).
        for (const std::string& name : {run.run_name.function_name, run.benchmark_name()}) {
            // Over repetitions the fastest run is kept: the noise of a shared machine (a disk
            // flush, another process) only ever adds time.
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const auto kept = seconds_.find(name);
            if (kept == seconds_.end() || seconds < kept->second) seconds_[name] = seconds;
            const auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end()) bytesPerSec_[name] = it->second;
            const auto items = run.counters.find("items_per_second");
            if (items != run.counters.end()) itemsPerSec_[name] = items->second;
        }
    }
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::printf("\n%-44s %14s %14s %8s\n", "ratio", "ours", "baseline", "x");
    for (const Pairing& p : pairings_) {
        if (p.higherIsBetter && p.items) {
            if (!itemsPerSec_.count(p.ours) || !itemsPerSec_.count(p.baseline)) continue;
            const double ours = itemsPerSec_[p.ours], base = itemsPerSec_[p.baseline];
            std::printf("%-44s %9.0f /s %11.0f /s %8.2f  (%s)\n", p.ours.c_str(), ours, base,
                        ours / base, p.what.c_str());
        } else if (p.higherIsBetter) {
            if (!bytesPerSec_.count(p.ours) || !bytesPerSec_.count(p.baseline)) continue;
            const double ours = bytesPerSec_[p.ours] / 1e6, base = bytesPerSec_[p.baseline] / 1e6;
            std::printf("%-44s %11.1f MB/s %9.1f MB/s %8.2f  (%s)\n", p.ours.c_str(), ours, base,
                        ours / base, p.what.c_str());
        } else {
            if (!seconds_.count(p.ours) || !seconds_.count(p.baseline)) continue;
            const double ours = seconds_[p.ours] * 1e6, base = seconds_[p.baseline] * 1e6;
            std::printf("%-44s %11.2f us %11.2f us %8.2f  (%s)\n", p.ours.c_str(), ours, base,
                        ours / base, p.what.c_str());
        }
    }
    std::fflush(stdout);
}

int RunWithRatios(int argc, char** argv, std::vector<Pairing> pairings) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(pairings));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace vorn::bench
