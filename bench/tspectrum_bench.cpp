// Spectrum resampling and file-data encoding throughput.
#include <tintvale/tspectrum.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_ResampleFromPoints(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<double> wl(n), v(n);
    for (int i = 0; i < n; ++i) {
        wl[i] = 360.0 + 420.0 * i / (n - 1);
        v[i] = 0.5 + 0.4 * ((i * 37) % 11) / 11.0;
    }
    for (auto _ : state) {
        TSpectrum s(wl.data(), n, v.data());
        benchmark::DoNotOptimize(s.Data(17));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ResampleFromPoints)->Arg(36)->Arg(401);

void BM_LongRecordRoundTrip(benchmark::State& state)
{
    double u[36];
    for (int i = 0; i < 36; ++i)
        u[i] = 0.05 + 0.025 * i;
    TSpectrum s(u);
    for (auto _ : state) {
        int size = 0;
        const char* data = s.ToFileData(&size);
        TSpectrum back(const_cast<char*>(data), static_cast<void**>(nullptr));
        benchmark::DoNotOptimize(back.Data(35));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LongRecordRoundTrip);

} // namespace

BENCHMARK_MAIN();
