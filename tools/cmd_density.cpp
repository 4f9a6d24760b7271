// `tintvale density FILE`: status densities cyan, magenta, yellow and visual of every sample and the
// dominant filter, optionally relative to a paper sample.
#include "tool_chart.h"
#include "tool_commands.h"

#include <tintvale/tspectrum.h>

#include <ostream>

namespace tool {

namespace {

constexpr const char* kBandWeighted = "10 nm band-weighted from finer data";

} // namespace

int RunDensity(const CommonOptions& common, const DensityOptions& options, std::ostream& out)
{
    const TCMS::FilterStandard standard = DensityStandard(options.standard);
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
        paper = chart.DensitySample(t, chart.FindSample(t, options.paper, "to serve as paper"), colorimetry);

    Report report;
    Section& table = report.AddTable("densities", { "sample", "C", "M", "Y", "V", "dominant" });
    const int n = chart.NrSamples(t);
    for (int s = 0; s < n; ++s) {
        auto m = chart.DensitySample(t, s, colorimetry);
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
