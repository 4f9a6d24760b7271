// Shared entry point of the ratio benchmarks.
#ifndef TINTVALE_BENCH_SUPPORT_H
#define TINTVALE_BENCH_SUPPORT_H

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

// Runs the benchmarks through reporter. Without arguments: five repetitions in random interleaving,
// so that other load on the machine falls on both sides of each ratio alike, and only the
// aggregates (the ratios use the medians).
inline int RunRatioBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& reporter)
{
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string aggregates = "--benchmark_display_aggregates_only=true";
    if (argc == 1) {
        args.push_back(repetitions.data());
        args.push_back(interleave.data());
        args.push_back(aggregates.data());
    }
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

#endif
