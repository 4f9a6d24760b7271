// Reading and writing a 20 000-sample spectral CGATS file, beside LittleCMS's IT8 parser on the
// same bytes; and hostile headers, whose cost must grow linearly.
#include <tintvale/tcgats.h>

#include "numtext.h"

#include <benchmark/benchmark.h>
#include <lcms2.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int kSamples = 20000;

// SampleID, CMYK, Lab and 36 spectral values from 380 to 730 nm: 44 fields.
std::string GenerateText()
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> tint(0.0, 100.0), ab(-80.0, 80.0), reflectance(0.0, 1.0);
    std::string text
        = "CGATS.17\nORIGINATOR\t\"tintvale bench\"\nKEYWORD\t\"SampleID\"\nNUMBER_OF_FIELDS\t44\n"
          "BEGIN_DATA_FORMAT\nSampleID\tCMYK_C\tCMYK_M\tCMYK_Y\tCMYK_K\tLAB_L\tLAB_A\tLAB_B";
    for (int nm = 380; nm <= 730; nm += 10)
        text += "\tnm" + std::to_string(nm);
    text += "\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t" + std::to_string(kSamples) + "\nBEGIN_DATA\n";
    for (int s = 0; s < kSamples; ++s) {
        text += std::to_string(s + 1);
        for (int k = 0; k < 4; ++k)
            text += "\t" + tintvale::detail::FormatG(tint(rng), 6);
        text += "\t" + tintvale::detail::FormatG(tint(rng), 6);
        text += "\t" + tintvale::detail::FormatG(ab(rng), 6);
        text += "\t" + tintvale::detail::FormatG(ab(rng), 6);
        for (int k = 0; k < 36; ++k)
            text += "\t" + tintvale::detail::FormatG(reflectance(rng), 6);
        text += "\n";
    }
    text += "END_DATA\n";
    return text;
}

struct Fixture {
    std::string text = GenerateText();
    std::string input = (std::filesystem::temp_directory_path() / "tcgats_bench_input.txt").string();
    std::string output = (std::filesystem::temp_directory_path() / "tcgats_bench_output.txt").string();
    Fixture()
    {
        std::ofstream out(input, std::ios::binary);
        out << text;
    }
    ~Fixture()
    {
        std::remove(input.c_str());
        std::remove(output.c_str());
    }
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

void BM_TCgatsRead(benchmark::State& state)
{
    Fixture& f = Data();
    for (auto _ : state) {
        TCgats cgats(f.input.c_str());
        if (cgats.GetErrorCode() != 0)
            state.SkipWithError(cgats.GetErrorMsg());
        benchmark::DoNotOptimize(cgats.GetErrorCode());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}

void BM_LcmsRead(benchmark::State& state)
{
    Fixture& f = Data();
    for (auto _ : state) {
        cmsHANDLE it8 = cmsIT8LoadFromFile(nullptr, f.input.c_str());
        if (!it8)
            state.SkipWithError("cmsIT8LoadFromFile failed");
        benchmark::DoNotOptimize(it8);
        cmsIT8Free(it8);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}

void BM_TCgatsWrite(benchmark::State& state)
{
    Fixture& f = Data();
    TCgats cgats(f.input.c_str());
    for (auto _ : state) {
        if (cgats.SaveAs(f.output.c_str()) != 0)
            state.SkipWithError("SaveAs failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}

void BM_LcmsWrite(benchmark::State& state)
{
    Fixture& f = Data();
    cmsHANDLE it8 = cmsIT8LoadFromFile(nullptr, f.input.c_str());
    for (auto _ : state) {
        if (!cmsIT8SaveToFile(it8, f.output.c_str()))
            state.SkipWithError("cmsIT8SaveToFile failed");
    }
    cmsIT8Free(it8);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}

// Hostile headers: n undeclared field names behind 200 000 header lines; n custom keywords, read
// and written; n spectral columns nmN in descending order (each column a line of its own). Each
// must cost time in proportion to n: the fitted complexity is reported.
std::string HostileHeader(int shape, int n)
{
    std::string text = "CGATS.17\n";
    if (shape == 0) {
        for (int i = 0; i < 200000; ++i)
            text += "#\tline\n";
        text += "BEGIN_DATA_FORMAT\n";
        for (int i = 0; i < n; ++i)
            text += "f" + std::to_string(i) + "\n";
        return text + "END_DATA_FORMAT\n";
    }
    if (shape == 1) {
        for (int i = 0; i < n; ++i)
            text += "K" + std::to_string(i) + " \"v\"\n";
        return text
            + "BEGIN_DATA_FORMAT\nLAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n50\nEND_DATA\n";
    }
    text += "BEGIN_DATA_FORMAT\n";
    for (int i = n; i > 0; --i)
        text += "nm" + std::to_string(i) + "\n";
    text += "END_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n";
    for (int i = 0; i < n; ++i)
        text += "0.5 ";
    return text + "\nEND_DATA\n";
}

void BM_TCgatsHostileHeader(benchmark::State& state)
{
    const int shape = static_cast<int>(state.range(0));
    const int n = static_cast<int>(state.range(1));
    const std::string text = HostileHeader(shape, n);
    for (auto _ : state) {
        TCgats cgats(text.c_str(), 0);
        char* buffer = nullptr;
        if (cgats.GetErrorCode() != 0 || cgats.WriteToBuffer(&buffer) != 0)
            state.SkipWithError("the hostile header did not read and write");
        delete[] buffer;
    }
    state.SetComplexityN(n);
}

} // namespace

BENCHMARK(BM_TCgatsHostileHeader)
    ->ArgsProduct({ { 0 }, benchmark::CreateRange(4096, 32766, 2) })
    ->Complexity()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TCgatsHostileHeader)
    ->ArgsProduct({ { 1 }, benchmark::CreateRange(12500, 100000, 2) })
    ->Complexity()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TCgatsHostileHeader)
    ->ArgsProduct({ { 2 }, benchmark::CreateRange(4096, 32765, 2) })
    ->Complexity()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TCgatsRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LcmsRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TCgatsWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LcmsWrite)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
