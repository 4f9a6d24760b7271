// Reading a CxF3 file of 7 000 Objects (spectra 380-730 nm by 10 nm, Lab, CMYK, a Location tag),
// beside writing it back as CxF3. The target for reading is 0.1 s or less in a Release build.
#include <tintvale/tcgats.h>

#include "numtext.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int kObjects = 7000;

std::string Number(double value) { return tintvale::detail::FormatG(value, 6); }

std::string GenerateDocument()
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> tint(0.0, 100.0), ab(-80.0, 80.0), reflectance(0.0, 1.0);
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\">\n"
                       "<cc:FileInformation><cc:Creator>tintvale bench</cc:Creator></cc:FileInformation>\n"
                       "<cc:Resources><cc:ObjectCollection>\n";
    for (int i = 1; i <= kObjects; ++i) {
        const std::string id = std::to_string(i);
        text += "<cc:Object ObjectType=\"Target\" Name=\"P" + id + "\" Id=\"P" + id
            + "\"><cc:CreationDate>2024-01-01T00:00:00Z</cc:CreationDate><cc:ColorValues>"
              "<cc:ReflectanceSpectrum ColorSpecification=\"M1\" StartWL=\"380\">";
        for (int k = 0; k < 36; ++k)
            text += (k ? " " : "") + Number(reflectance(rng));
        text += "</cc:ReflectanceSpectrum><cc:ColorCIELab ColorSpecification=\"M1\"><cc:L>"
            + Number(tint(rng)) + "</cc:L><cc:A>" + Number(ab(rng)) + "</cc:A><cc:B>" + Number(ab(rng))
            + "</cc:B></cc:ColorCIELab></cc:ColorValues><cc:DeviceColorValues><cc:ColorCMYK "
              "ColorSpecification=\"M1\">";
        for (const char* ink : { "Cyan", "Magenta", "Yellow", "Black" })
            text += std::string("<cc:") + ink + ">" + Number(tint(rng)) + "</cc:" + ink + ">";
        text += "</cc:ColorCMYK></cc:DeviceColorValues><cc:TagCollection Name=\"Location\"><cc:Tag "
                "Name=\"Row\" "
                "Value=\""
            + std::to_string(i / 50 + 1) + "\"/></cc:TagCollection></cc:Object>\n";
    }
    text += "</cc:ObjectCollection><cc:ColorSpecificationCollection><cc:ColorSpecification Id=\"M1\">"
            "<cc:TristimulusSpec><cc:Illuminant>D50</cc:Illuminant><cc:Observer>2_Degree</cc:Observer>"
            "<cc:Method>E308_Table5</cc:Method></cc:TristimulusSpec><cc:MeasurementSpec>"
            "<cc:MeasurementType>Spectrum_Reflectance</cc:MeasurementType><cc:GeometryChoice><cc:SingleAngle>"
            "<cc:SingleAngleConfiguration>Annular</cc:SingleAngleConfiguration><cc:IlluminationAngle>45"
            "</cc:IlluminationAngle><cc:MeasurementAngle>0</cc:MeasurementAngle></cc:SingleAngle></"
            "cc:GeometryChoice>"
            "<cc:WavelengthRange StartWL=\"380\" "
            "Increment=\"10\"/><cc:Device><cc:DeviceIllumination>M1_Daylight"
            "</cc:DeviceIllumination></cc:Device></cc:MeasurementSpec></cc:ColorSpecification>"
            "</cc:ColorSpecificationCollection></cc:Resources></cc:CxF>\n";
    return text;
}

struct Fixture {
    std::string text = GenerateDocument();
    std::string input = (std::filesystem::temp_directory_path() / "cxf_bench_input.cxf").string();
    std::string output = (std::filesystem::temp_directory_path() / "cxf_bench_output.cxf").string();
    Fixture() { std::ofstream(input, std::ios::binary) << text; }
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

void BM_CxfRead(benchmark::State& state)
{
    Fixture& f = Data();
    for (auto _ : state) {
        TCgats cgats(f.input.c_str());
        if (cgats.GetErrorCode() != 0 || cgats.GetNrSamples(0) != kObjects)
            state.SkipWithError(cgats.GetErrorMsg());
        benchmark::DoNotOptimize(cgats.GetErrorCode());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}

void BM_CxfWrite(benchmark::State& state)
{
    Fixture& f = Data();
    TCgats cgats(f.input.c_str());
    for (auto _ : state)
        if (cgats.SaveAs(f.output.c_str(), TCgats::Convention::Cxf) != 0)
            state.SkipWithError("SaveAs failed");
}

} // namespace

BENCHMARK(BM_CxfRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CxfWrite)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
