// Spectra finer than 10 nm: one weighted sum per sample once the table's wavelengths are set, against
// the grid integration of the same samples resampled to 36 points and setting the wavelengths per sample.
#include <tintvale/tfineintegration.h>
#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tspectrum.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct Setting {
    TIlluminantFactory factory;
    TIlluminant* d50 = nullptr;
    TObserver observer { 0 };
    std::vector<double> wl, values;
    Setting()
    {
        factory.AddDirectory(TINTVALE_DATA_DIR "/illuminants");
        d50 = factory.GetIlluminant("CIE Illuminant D50");
        for (int i = 0; i < 106; ++i) { // 3.33 nm, 380 ... 730 nm
            wl.push_back(380.0 + 10.0 * i / 3.0);
            values.push_back(0.05 + 0.9 * ((i * 37) % 11) / 11.0);
        }
    }
};

void BM_FineSumPerSample(benchmark::State& state)
{
    Setting s;
    TFineIntegration fine(s.d50, &s.observer);
    fine.SetWavelengths(s.wl.data(), static_cast<int>(s.wl.size()));
    double xyz[3];
    for (auto _ : state) {
        fine.GetXYZ(s.values.data(), static_cast<int>(s.values.size()), xyz);
        benchmark::DoNotOptimize(xyz[1]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FineSumPerSample);

void BM_FineWeightsPerSample(benchmark::State& state)
{
    Setting s;
    double xyz[3];
    for (auto _ : state) {
        TFineIntegration::GetXYZ(s.d50, &s.observer, s.wl.data(), s.values.data(), 106, xyz);
        benchmark::DoNotOptimize(xyz[1]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FineWeightsPerSample);

void BM_GridPerSample(benchmark::State& state)
{
    Setting s;
    const TIlluminantAndObserver grid(s.d50, &s.observer, 36);
    double xyz[3];
    for (auto _ : state) {
        const TSpectrum spectrum(s.wl.data(), 106, s.values.data());
        grid.GetXYZ(&spectrum, xyz, 36);
        benchmark::DoNotOptimize(xyz[1]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GridPerSample);

} // namespace

BENCHMARK_MAIN();
