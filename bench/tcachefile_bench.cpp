// Scanning every item of a topic of 20 000 items: the whole scan is expected to stay well under a
// second (each step continues from the item before rather than counting from the first).
#include <tintvale/tcachefile.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int kItems = 20000;

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
        int count = 0;
        const char* value = nullptr;
        for (const char* item = cache.ScanItems("topic", &value, 1); item;
             item = cache.ScanItems("topic", &value, 0))
            count += value != nullptr;
        if (count != kItems)
            state.SkipWithError("the scan did not return every item");
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_ScanItems)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
