// `tintvale report` on a 2 000-patch spectral chart: reading both files, comparing, drawing the page
// and writing it. The page should take under a second and stay under 2 MB.
#include "tool_commands.h"

#include "numtext.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

constexpr int kPatches = 2000;
constexpr int kRowLength = 50;

// Named patches with 36 reflectance values from 380 to 730 nm; the sample is the reference
// perturbed by up to +-shift.
std::string Chart(double shift)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> level(0.03, 0.9), tilt(-0.02, 0.02), noise(-1.0, 1.0);
    std::string text = "CGATS.17\nLGOROWLENGTH\t" + std::to_string(kRowLength)
        + "\nKEYWORD\t\"SampleID\"\nNUMBER_OF_FIELDS\t37\nBEGIN_DATA_FORMAT\nSampleID";
    for (int nm = 380; nm <= 730; nm += 10)
        text += "\tnm" + std::to_string(nm);
    text += "\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t" + std::to_string(kPatches) + "\nBEGIN_DATA\n";
    for (int s = 0; s < kPatches; ++s) {
        text += "P" + std::to_string(s + 1);
        const double base = level(rng), slope = tilt(rng), offset = shift * noise(rng);
        for (int k = 0; k < 36; ++k)
            text += "\t" + tintvale::detail::FormatG(std::clamp(base + slope * k + offset, 0.0, 1.0), 6);
        text += "\n";
    }
    return text + "END_DATA\n";
}

struct Files {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tintvale_report_bench";
    std::string reference = (dir / "reference.txt").string();
    std::string sample = (dir / "sample.txt").string();
    std::string page = (dir / "report.html").string();
    Files()
    {
        std::filesystem::create_directories(dir);
        std::ofstream(reference, std::ios::binary) << Chart(0.0);
        std::ofstream(sample, std::ios::binary) << Chart(0.02);
    }
    ~Files() { std::filesystem::remove_all(dir); }
};

void Report2000Patches(benchmark::State& state)
{
    static const Files files;
    tool::CommonOptions common;
    common.illuminantDir = TINTVALE_DATA_DIR "/illuminants";
    tool::ReportOptions options;
    options.compare.reference = files.reference;
    options.compare.sample = files.sample;
    options.compare.max = 2.0;
    options.output = files.page;
    for (auto _ : state) {
        std::ostringstream unused;
        benchmark::DoNotOptimize(tool::RunReport(common, options, unused));
    }
    state.counters["page_MB"] = static_cast<double>(std::filesystem::file_size(files.page)) / 1.0e6;
    state.counters["patches"] = kPatches;
}

} // namespace

BENCHMARK(Report2000Patches)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
