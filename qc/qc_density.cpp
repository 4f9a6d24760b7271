// Status densities of a chart's samples, absolute or relative to a paper sample.
#include <tintvale/qc/density.h>

#include <tintvale/qc/conditions.h>

#include <tintvale/tspectrum.h>

#include <cmath>
#include <strings.h>

namespace tintvale::qc {

namespace {

constexpr const char* kBandWeighted = "10 nm band-weighted from finer data";

// The densities of colorimetric data: log10 of the paper's X, Y and Z over the sample's, which no
// status standard defines (those weight spectra by their filters).
constexpr const char* kColorimetric = "colorimetric";
constexpr const char* kColorimetricLabel = "colorimetric (log10 of paper X, Y, Z over sample X, Y, Z)";

bool IsColorimetric(const std::string& name) { return strcasecmp(name.c_str(), kColorimetric) == 0; }

} // namespace

Report DensityReport(Chart& chart, const CommonOptions& common, const DensityOptions& options)
{
    // The colorimetric density reaches the library through any standard: it weights no filter.
    const bool colorimetric = IsColorimetric(options.standard);
    const TCMS::FilterStandard standard
        = colorimetric ? static_cast<TCMS::FilterStandard>(0) : DensityStandard(options.standard);
    const int t = chart.ColourTable(options.table);
    chart.CheckTable(t);
    const ColourData data = chart.Offers(t);
    if (data == ColourData::None)
        chart.Fail("no colour data (neither spectra nor Lab nor XYZ) in table " + std::to_string(t));
    // Status densities weight spectra by filters; without spectra only the colorimetric density
    // relative to a paper can be given, and under its own name.
    if (data == ColourData::Spectrum && colorimetric)
        chart.Fail(
            "the table has spectra: use a status standard, not \"" + std::string(kColorimetric) + "\"");
    if (data != ColourData::Spectrum && !colorimetric)
        chart.Fail("no spectra: " + options.standard + " densities need spectra; --standard " + kColorimetric
            + " --paper SAMPLE gives log10 ratios of X, Y and Z to the paper's");
    if (colorimetric && options.paper.empty())
        chart.Fail("no spectra: colorimetric densities need --paper");
    const CommonOptions chosen = ChosenConditions(common, { &chart.Cgats() }, nullptr, { t });
    Colorimetry colorimetry(chosen);
    // Lab or XYZ stated for other conditions than asked would be read as if measured under these.
    chart.UseConditions(chosen, colorimetry, t);

    std::shared_ptr<TOneMeasurement> paper;
    if (!options.paper.empty())
        paper = chart.DensitySample(t, chart.FindSample(t, options.paper, "to serve as paper"), colorimetry);

    Report report;
    Section& table = report.AddTable("densities", { "sample", "C", "M", "Y", "V", "dominant" });
    const int n = chart.NrSamples(t);
    int missing = 0;
    for (int s = 0; s < n; ++s) {
        auto m = chart.DensitySample(t, s, colorimetry);
        double d[4] = {};
        int dominant = 0;
        const int rc = paper ? m->GetDensity(standard, paper.get(), colorimetry.Illuminant(),
                           colorimetry.Observer(), d, &dominant)
                             : m->GetDensity(standard, d, &dominant);
        // A sample without a density (a black spectrum, a missing value) is missing on its row.
        bool defined = rc == 0;
        for (double v : d)
            defined = defined && std::isfinite(v);
        if (!defined) {
            table.rows.push_back(
                { Cell(chart.SampleName(t, s)), Cell(""), Cell(""), Cell(""), Cell(""), Cell("missing") });
            ++missing;
            continue;
        }
        table.rows.push_back({ Cell(chart.SampleName(t, s)), Cell(d[0], 2), Cell(d[1], 2), Cell(d[2], 2),
            Cell(d[3], 2), Cell(kFilterLetters[dominant & 3]) });
    }
    Section& summary = report.AddKeyValues("settings");
    Report::Put(
        summary, "standard", Cell(colorimetric ? kColorimetricLabel : TSpectrum::GetDensityList()[standard]));
    Report::Put(summary, "missing", Cell(missing));
    Report::Put(summary, "paper", Cell(options.paper.empty() ? "none" : options.paper));
    const TableIntegration& integration = chart.Integration(t, colorimetry);
    // Densities take finer spectra as 10-nm bands and every other spectrum on the grid.
    if (data == ColourData::Spectrum)
        Report::Put(
            summary, "spectra", Cell(integration.fine && integration.finer ? kBandWeighted : kGridMethod));
    return report;
}

} // namespace tintvale::qc
