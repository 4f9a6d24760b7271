// One full matching-spectrum search (1000 iterations) under D50 and the 2° observer, against the
// 37 000 plain XYZToLab conversions its Lab method needs, measured in the same run.
#include <tintvale/tilluminant.h>
#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tobserver.h>

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// 1000 iterations of 36 probes and one update.
constexpr int kNrConversions = 37000;
constexpr double kTargetMs = 2.0;
constexpr double kTargetRatio = 1.5;

struct Setup {
    TIlluminantFactory factory;
    TObserver observer { 0 };
    TIlluminant* d50 = nullptr;
    double white[3] = { 0, 0, 0 };
    double target[3] = { 0, 0, 0 };
    std::vector<double> xyz;
    std::vector<double> lab;

    Setup()
    {
        factory.AddDirectory(TINTVALE_DATA_DIR "/illuminants");
        d50 = factory.GetIlluminant("CIE Illuminant D50");
        if (d50 == nullptr) {
            std::fprintf(stderr, "no D50 in %s\n", TINTVALE_DATA_DIR "/illuminants");
            std::exit(1);
        }
        TIlluminantAndObserver io(d50, &observer, 36);
        io.GetXYZWhite(white);
        const TLabSpace space(white);
        const double red[3] = { 45.0, 60.0, 40.0 };
        space.LabToXYZ(red, target);
        // Colours spread over the path from grey to the red, as the search meets them.
        std::mt19937 rng(1931);
        std::uniform_real_distribution<double> t(0.0, 1.0);
        for (int i = 0; i < kNrConversions; ++i) {
            const double f = t(rng);
            for (int c = 0; c < 3; ++c)
                xyz.push_back(0.5 * white[c] * (1.0 - f) + target[c] * f);
        }
        lab.resize(xyz.size());
    }
};

Setup& Get()
{
    static Setup setup;
    return setup;
}

void MatchingSearch(benchmark::State& state)
{
    Setup& s = Get();
    TIlluminantAndObserver io(s.d50, &s.observer, 36);
    double start[36];
    for (double& v : start)
        v = 0.5;
    double result[36];
    for (auto _ : state) {
        const double de = io.CalculateMatchingSpectrum(
            s.target, s.white, nullptr, nullptr, start, TIlluminantAndObserver::MatchInLab, result);
        benchmark::DoNotOptimize(de);
        benchmark::DoNotOptimize(result);
    }
}

void PlainXYZToLab(benchmark::State& state)
{
    Setup& s = Get();
    const TLabSpace space(s.white);
    for (auto _ : state) {
        for (int i = 0; i < kNrConversions; ++i)
            space.XYZToLab(&s.xyz[3 * i], &s.lab[3 * i]);
        benchmark::DoNotOptimize(s.lab.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(MatchingSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainXYZToLab)->Unit(benchmark::kMillisecond);

// The usual table, then milliseconds per search and per 37 000 conversions in CPU time (medians
// when repeated), their ratio and the targets.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const double ms
                = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
            if ((run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                || (run.run_type == Run::RT_Iteration && run.repetitions <= 1))
                mMs[run.run_name.function_name] = ms;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto search = mMs.find("MatchingSearch");
        const auto plain = mMs.find("PlainXYZToLab");
        if (search == mMs.end() || plain == mMs.end())
            return;
        const double ratio = search->second / plain->second;
        std::printf("\none search %.3f ms (target %.1f ms: %s); 37000 XYZToLab %.3f ms; ratio %.3f (target "
                    "%.1f: %s)\n",
            search->second, kTargetMs, search->second <= kTargetMs ? "met" : "MISSED", plain->second, ratio,
            kTargetRatio, ratio <= kTargetRatio ? "met" : "MISSED");
    }

private:
    std::map<std::string, double> mMs;
};

} // namespace

int main(int argc, char** argv)
{
    RatioReporter reporter;
    return RunRatioBenchmarks(argc, argv, reporter);
}
