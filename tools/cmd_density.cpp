// `tintvale density FILE`: status densities cyan, magenta, yellow and visual of every sample and the
// dominant filter, optionally relative to a paper sample.
#include "tool_chart.h"
#include "tool_commands.h"

#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>

#include <ostream>
#include <strings.h>

namespace tool {

namespace {

TCMS::FilterStandard Standard(const std::string& name)
{
    const char** names = TSpectrum::GetDensityList();
    std::string known;
    for (int i = 0; names[i]; ++i) {
        if (strcasecmp(names[i], name.c_str()) == 0)
            return static_cast<TCMS::FilterStandard>(i);
        known += (i ? ", \"" : "\"") + std::string(names[i]) + '"';
    }
    throw ToolError("unknown density standard \"" + name + "\" (known: " + known + ")");
}

// The paper sample: by name, else by its number from 1.
int FindSample(const Chart& chart, int table, const std::string& which)
{
    const int n = chart.NrSamples(table);
    for (int s = 0; s < n; ++s)
        if (chart.SampleName(table, s) == which)
            return s;
    if (!which.empty() && which.find_first_not_of("0123456789") == std::string::npos && which.size() < 9) {
        const int number = std::stoi(which);
        if (number >= 1 && number <= n)
            return number - 1;
    }
    chart.Fail("no sample \"" + which + "\" to serve as paper");
}

const char* const kFilterLetters[] = { "C", "M", "Y", "V" };
constexpr const char* kBandWeighted = "10 nm band-weighted from finer data";

// The status filters are tabulated at 10 nm: spectra finer than that (integrated at their own
// resolution) reach them as a 10-nm instrument reports, each grid value the band around it.
std::shared_ptr<TOneMeasurement> Sample(const Chart& chart, int t, int s, Colorimetry& colorimetry)
{
    const TableIntegration& integration = chart.Integration(t, colorimetry);
    if (!integration.fine)
        return chart.Measurement(t, s, colorimetry);
    std::vector<double> values;
    double grid[TSpectrum::kNrUniform];
    if (chart.Cgats().GetSpectrum(t, s, values) != 0
        || integration.fine->GetGridValues(values.data(), static_cast<int>(values.size()), grid) != 0)
        chart.Fail("sample " + std::to_string(s + 1) + " of table " + std::to_string(t)
            + " cannot be read as a measurement");
    const TMeasGeom geometry;
    return std::make_shared<TReflectionSpectrum>(grid, &geometry);
}

} // namespace

int RunDensity(const CommonOptions& common, const DensityOptions& options, std::ostream& out)
{
    const TCMS::FilterStandard standard = Standard(options.standard);
    const Format format = ParseFormat(common.format);
    Chart chart(options.file);
    const int t = chart.ColourTable(options.table);
    chart.CheckTable(t);
    const ColourData data = chart.Offers(t);
    if (data == ColourData::None)
        chart.Fail("no colour data (neither spectra nor Lab nor XYZ) in table " + std::to_string(t));
    // Without spectra the library can only give densities relative to a paper, from X, Y and Z.
    if (data != ColourData::Spectrum && options.paper.empty())
        chart.Fail("no spectra: densities need spectra, or --paper for densities from XYZ");
    Colorimetry colorimetry(common);

    std::shared_ptr<TOneMeasurement> paper;
    if (!options.paper.empty())
        paper = Sample(chart, t, FindSample(chart, t, options.paper), colorimetry);

    Report report;
    Section& table = report.AddTable("densities", { "sample", "C", "M", "Y", "V", "dominant" });
    const int n = chart.NrSamples(t);
    for (int s = 0; s < n; ++s) {
        auto m = Sample(chart, t, s, colorimetry);
        double d[4] = {};
        int dominant = 0;
        const int rc = paper ? m->GetDensity(standard, paper.get(), colorimetry.Illuminant(),
                           colorimetry.Observer(), d, &dominant)
                             : m->GetDensity(standard, d, &dominant);
        if (rc != 0)
            chart.Fail(
                "sample \"" + chart.SampleName(t, s) + "\": no density (status " + std::to_string(rc) + ")");
        table.rows.push_back({ Cell(chart.SampleName(t, s)), Cell(d[0], 2), Cell(d[1], 2), Cell(d[2], 2),
            Cell(d[3], 2), Cell(kFilterLetters[dominant & 3]) });
    }
    Section& summary = report.AddKeyValues("settings");
    Report::Put(summary, "standard", Cell(TSpectrum::GetDensityList()[standard]));
    Report::Put(summary, "paper", Cell(options.paper.empty() ? "none" : options.paper));
    const TableIntegration& integration = chart.Integration(t, colorimetry);
    if (data == ColourData::Spectrum)
        Report::Put(summary, "spectra", Cell(integration.fine ? kBandWeighted : integration.method.c_str()));
    report.Write(out, format, common.section);
    return kExitOk;
}

} // namespace tool
