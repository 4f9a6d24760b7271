// Scanning every item of a topic of 20 000 items (each step continues from the item before rather
// than counting from the first). Fails when a whole scan takes a second of CPU time or more: the
// processor time, unlike the wall time, does not grow with other load on a shared machine.
#include <tintvale/tcachefile.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

constexpr int kItems = 20000;
constexpr double kLimitSeconds = 1.0;
double gSlowestScan = 0.0;

struct Fixture {
    std::string path = (std::filesystem::temp_directory_path() / "tcachefile_bench.tvc").string();
    Fixture()
    {
        std::remove(path.c_str());
        TCacheFile cache(path.c_str(), 1, true);
        for (int i = 0; i < kItems; ++i)
            cache.AddItem("topic", ("item" + std::to_string(i)).c_str(), i, false);
        cache.Save();
    }
    ~Fixture() { std::remove(path.c_str()); }
};

void BM_ScanItems(benchmark::State& state)
{
    static Fixture fixture;
    TCacheFile cache(fixture.path.c_str(), 0, true);
    for (auto _ : state) {
        const std::clock_t start = std::clock();
        int count = 0;
        const char* value = nullptr;
        for (const char* item = cache.ScanItems("topic", &value, 1); item;
             item = cache.ScanItems("topic", &value, 0))
            count += value != nullptr;
        gSlowestScan = std::max(gSlowestScan, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
        if (count != kItems)
            state.SkipWithError("the scan did not return every item");
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_ScanItems)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf(
        "slowest scan of %d items: %.3f s of CPU time (limit %.1f s)\n", kItems, gSlowestScan, kLimitSeconds);
    return gSlowestScan < kLimitSeconds ? 0 : 1;
}
