// TLabSpace against LittleCMS in one run: nanoseconds per colour pair for the difference formulas
// and per conversion for XYZToLab and FastXYZToLab, with the ratio of each to its counterpart.
#include <tintvale/tlabspace.h>

#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <lcms2.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCount = 200000;
const double kWhite[3] = { 96.422, 100.0, 82.521 }; // D50

struct Data {
    std::vector<double> lab1, lab2, xyz, labOut;
    std::vector<cmsCIELab> cmsLab1, cmsLab2, cmsLabOut;
    std::vector<cmsCIEXYZ> cmsXyz;

    Data()
    {
        std::mt19937 rng(20050101);
        std::uniform_real_distribution<double> l(0.0, 100.0), ab(-100.0, 100.0), d(-5.0, 5.0);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (int i = 0; i < kCount; ++i) {
            const double a[3] = { l(rng), ab(rng), ab(rng) };
            // Pairs at typical tolerance distances, as a colour-difference workload has them.
            const double b[3] = { a[0] + d(rng), a[1] + d(rng), a[2] + d(rng) };
            lab1.insert(lab1.end(), a, a + 3);
            lab2.insert(lab2.end(), b, b + 3);
            cmsLab1.push_back({ a[0], a[1], a[2] });
            cmsLab2.push_back({ b[0], b[1], b[2] });
            // Include the dark linear branch: about 1 % of the components lie below the threshold.
            const double c[3] = { kWhite[0] * unit(rng), kWhite[1] * unit(rng), kWhite[2] * unit(rng) };
            xyz.insert(xyz.end(), c, c + 3);
            cmsXyz.push_back({ c[0], c[1], c[2] });
        }
        labOut.resize(3 * kCount);
        cmsLabOut.resize(kCount);
    }
};

Data& Get()
{
    static Data data;
    return data;
}

void Finish(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * kCount);
    state.counters["ns_per_item"] = benchmark::Counter(static_cast<double>(kCount),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <int Index> void Tintvale_DeltaE(benchmark::State& state)
{
    Data& data = Get();
    for (auto _ : state) {
        double sum = 0.0;
        for (int i = 0; i < kCount; ++i)
            sum += std::sqrt(
                TLabSpace::CalcSquareDeltaEConvertedStatic(&data.lab1[3 * i], &data.lab2[3 * i], Index));
        benchmark::DoNotOptimize(sum);
    }
    Finish(state);
}

void Lcms_DeltaE2000(benchmark::State& state)
{
    Data& data = Get();
    for (auto _ : state) {
        double sum = 0.0;
        for (int i = 0; i < kCount; ++i)
            sum += cmsCIE2000DeltaE(&data.cmsLab1[i], &data.cmsLab2[i], 1.0, 1.0, 1.0);
        benchmark::DoNotOptimize(sum);
    }
    Finish(state);
}

void Lcms_DeltaE94(benchmark::State& state)
{
    Data& data = Get();
    for (auto _ : state) {
        double sum = 0.0;
        for (int i = 0; i < kCount; ++i)
            sum += cmsCIE94DeltaE(&data.cmsLab1[i], &data.cmsLab2[i]);
        benchmark::DoNotOptimize(sum);
    }
    Finish(state);
}

void Lcms_DeltaECmc(benchmark::State& state)
{
    Data& data = Get();
    for (auto _ : state) {
        double sum = 0.0;
        for (int i = 0; i < kCount; ++i)
            sum += cmsCMCdeltaE(&data.cmsLab1[i], &data.cmsLab2[i], 1.0, 1.0);
        benchmark::DoNotOptimize(sum);
    }
    Finish(state);
}

void Tintvale_XYZToLab(benchmark::State& state)
{
    Data& data = Get();
    const TLabSpace space(kWhite);
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i)
            space.XYZToLab(&data.xyz[3 * i], &data.labOut[3 * i]);
        benchmark::DoNotOptimize(data.labOut.data());
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void Tintvale_FastXYZToLab(benchmark::State& state)
{
    Data& data = Get();
    const TLabSpace space(kWhite);
    for (auto _ : state) {
        space.FastXYZToLab(data.xyz.data(), data.labOut.data(), kCount);
        benchmark::DoNotOptimize(data.labOut.data());
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void Lcms_XYZ2Lab(benchmark::State& state)
{
    Data& data = Get();
    const cmsCIEXYZ white = { kWhite[0], kWhite[1], kWhite[2] };
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i)
            cmsXYZ2Lab(&white, &data.cmsLabOut[i], &data.cmsXyz[i]);
        benchmark::DoNotOptimize(data.cmsLabOut.data());
        benchmark::ClobberMemory();
    }
    Finish(state);
}

BENCHMARK(Tintvale_DeltaE<2>)->Name("Tintvale_DeltaE2000");
BENCHMARK(Lcms_DeltaE2000);
BENCHMARK(Tintvale_DeltaE<1>)->Name("Tintvale_DeltaE94");
BENCHMARK(Lcms_DeltaE94);
BENCHMARK(Tintvale_DeltaE<3>)->Name("Tintvale_DeltaECmc");
BENCHMARK(Lcms_DeltaECmc);
BENCHMARK(Tintvale_XYZToLab);
BENCHMARK(Tintvale_FastXYZToLab);
BENCHMARK(Lcms_XYZ2Lab);
BENCHMARK(Tintvale_DeltaE<0>)->Name("Tintvale_DeltaE76");
BENCHMARK(Tintvale_DeltaE<4>)->Name("Tintvale_DeltaECmc21");
BENCHMARK(Tintvale_DeltaE<5>)->Name("Tintvale_DeltaE2000_211");

// Prints the usual table, then the ratios of each measurement to its LittleCMS counterpart, in CPU
// time (the machine may be shared, which inflates wall time unevenly).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            // CPU time per item: the median over repetitions when there are any, else the single run.
            const double ns
                = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9 / kCount;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                mNsPerItem[run.run_name.function_name] = ns;
            else if (run.run_type == Run::RT_Iteration && run.repetitions <= 1)
                mNsPerItem[run.run_name.function_name] = ns;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        struct Pair {
            const char* ours;
            const char* theirs;
            double target;
        };
        const Pair pairs[] = {
            { "Tintvale_DeltaE2000", "Lcms_DeltaE2000", 0.5 },
            { "Tintvale_DeltaE94", "Lcms_DeltaE94", 0.7 },
            { "Tintvale_DeltaECmc", "Lcms_DeltaECmc", 0.7 },
            { "Tintvale_XYZToLab", "Lcms_XYZ2Lab", 1.0 },
            { "Tintvale_FastXYZToLab", "Lcms_XYZ2Lab", 0.4 },
        };
        std::printf("\n%-24s %10s %10s %7s %7s\n", "measurement", "ns/item", "LCMS ns", "ratio", "target");
        for (const Pair& p : pairs) {
            auto ours = mNsPerItem.find(p.ours);
            auto theirs = mNsPerItem.find(p.theirs);
            if (ours == mNsPerItem.end() || theirs == mNsPerItem.end())
                continue;
            const double ratio = ours->second / theirs->second;
            std::printf("%-24s %10.2f %10.2f %7.3f %7.2f %s\n", p.ours, ours->second, theirs->second, ratio,
                p.target, ratio <= p.target ? "met" : "MISSED");
        }
    }

private:
    std::map<std::string, double> mNsPerItem;
};

} // namespace

int main(int argc, char** argv)
{
    RatioReporter reporter;
    return RunRatioBenchmarks(argc, argv, reporter);
}
