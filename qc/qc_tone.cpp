// Tone value from density (Murray-Davies) and from CIELAB (spot colour tone value).
#include <tintvale/qc/tone.h>

#include <tintvale/qc/roles.h>

#include <algorithm>
#include <cmath>

namespace tintvale::qc {

namespace {

constexpr std::size_t kBlackChannel = 3; // K of CMYK
constexpr int kVisualFilter = 3; // V of kFilterLetters

struct Density {
    double d[4] = {};
};

// Densities relative to the paper (each clamped at 0 by the library).
Density RelativeDensity(const Chart& chart, int t, int s, const TOneMeasurement& paper,
    TCMS::FilterStandard standard, Colorimetry& colorimetry)
{
    Density density;
    int dominant = 0;
    const auto m = chart.DensitySample(t, s, colorimetry);
    if (m->GetDensity(
            standard, &paper, colorimetry.Illuminant(), colorimetry.Observer(), density.d, &dominant)
        != 0)
        chart.Fail("sample \"" + chart.SampleName(t, s) + "\": no density");
    return density;
}

// Murray-Davies (A. Murray, J. Franklin Inst. 221, 1936; as ISO 12647-1 defines it): the tone value, in
// percent, of a tint of density Dt over the paper, where the solid has Ds over the paper: 100 (1 - 10^-Dt) /
// (1 - 10^-Ds).
double MurrayDavies(double tint, double solid)
{
    return 100.0 * (1.0 - std::pow(10.0, -tint)) / (1.0 - std::pow(10.0, -solid));
}

int DefaultPaper(const Chart& chart, int t, const DeviceValues& device)
{
    for (int s = 0; s < chart.NrSamples(t); ++s)
        if (device.IsPaper(s))
            return s;
    chart.Fail("no paper patch (every process channel at 0); name one with --paper");
}

// Spot colour tone values run from the paper to the solid (ISO 20654), divided by the distance
// between them: a paper that is no paper, or a solid where the paper is, gives none, as the density
// method refuses a solid no denser than the paper.
void CheckSctvPaper(const Chart& chart, const TOneMeasurement& paper, Colorimetry& colorimetry)
{
    double xyz[3];
    if (paper.GetXYZ(colorimetry.Illuminant(), colorimetry.Observer(), xyz) != 0
        || !IsPaperWhite(xyz, colorimetry.White()))
        chart.Fail(
            "the paper is not a positive XYZ of L* 1 or more: no spot colour tone values relative to it");
}

void CheckSctvRange(const Chart& chart, const std::string& channel, const TOneMeasurement& paper,
    const TOneMeasurement& solid, Colorimetry& colorimetry)
{
    constexpr double kMinRange = 1e-6; // in the tone coordinates, about Delta E
    const double range = solid.GetSCTV(colorimetry.Illuminant(), colorimetry.Observer(), &paper, nullptr);
    if (!(range > kMinRange))
        chart.Fail("the solid of channel " + channel + " does not differ from the paper");
}

} // namespace

ToneValues ComputeToneValues(const Chart& chart, Colorimetry& colorimetry, const ToneOptions& options)
{
    const bool sctv = options.method == "sctv";
    if (!sctv && options.method != "density")
        throw Error("unknown method \"" + options.method + "\" (density or sctv)");
    const bool visualBlack = options.blackFilter == "visual";
    if (!visualBlack && options.blackFilter != "densest")
        throw Error("unknown black filter \"" + options.blackFilter + "\" (visual or densest)");
    const TCMS::FilterStandard standard = DensityStandard(options.standard);
    ToneValues result;
    const int t = chart.ColourTable(options.table);
    chart.CheckTable(t);
    result.table = t;
    const DeviceValues device(chart, t);
    if (!device.Present())
        chart.Fail("no device values (CMYK or other process channels): tints cannot be told");
    if (chart.Offers(t) == ColourData::None)
        chart.Fail("no colour data (neither spectra nor Lab nor XYZ) in table " + std::to_string(t));
    if (!sctv && chart.Offers(t) != ColourData::Spectrum)
        chart.Fail("no spectra: tone values from densities need spectra (--method sctv works from CIELAB)");
    const int paperIndex = options.paper.empty() ? DefaultPaper(chart, t, device)
                                                 : chart.FindSample(t, options.paper, "to serve as paper");
    result.paper = chart.SampleName(t, paperIndex);
    const auto paper = sctv ? chart.ColourSample(t, paperIndex, colorimetry)
                            : chart.DensitySample(t, paperIndex, colorimetry);
    if (sctv)
        CheckSctvPaper(chart, *paper, colorimetry);

    const int n = chart.NrSamples(t);
    for (std::size_t c = 0; c < device.Channels().size(); ++c) {
        int solid = -1;
        std::vector<int> tints;
        for (int s = 0; s < n; ++s) {
            if (solid < 0 && device.SolidOf(s) == static_cast<int>(c))
                solid = s;
            if (device.TintOf(s) == static_cast<int>(c))
                tints.push_back(s);
        }
        if (tints.empty())
            continue;
        ToneChannel channel;
        channel.name = device.Channels()[c];
        if (solid < 0)
            chart.Fail("channel " + channel.name + " has tints but no solid");
        const auto solidM = sctv ? chart.ColourSample(t, solid, colorimetry) : nullptr;
        Density solidD;
        int filter = 0;
        if (sctv)
            CheckSctvRange(chart, channel.name, *paper, *solidM, colorimetry);
        if (!sctv) {
            solidD = RelativeDensity(chart, t, solid, *paper, standard, colorimetry);
            for (int k = 1; k < 4; ++k) // the first of equal densities wins
                if (solidD.d[k] > solidD.d[filter])
                    filter = k;
            if (visualBlack && device.IsCmyk() && c == kBlackChannel)
                filter = kVisualFilter;
            if (!(solidD.d[filter] > 0.0))
                chart.Fail("the solid of channel " + channel.name + " is no denser than the paper");
            channel.filter = kFilterLetters[filter];
        }
        for (int s : tints) {
            TonePoint p;
            p.sample = chart.SampleName(t, s);
            p.nominal = device.Values(s)[c];
            if (sctv) {
                const auto m = chart.ColourSample(t, s, colorimetry);
                const double value
                    = m->GetSCTV(colorimetry.Illuminant(), colorimetry.Observer(), paper.get(), solidM.get());
                if (value < 0.0 || !std::isfinite(value))
                    chart.Fail("sample \"" + p.sample + "\": no spot colour tone value");
                p.tone = 100.0 * value;
            } else {
                p.tone = MurrayDavies(
                    RelativeDensity(chart, t, s, *paper, standard, colorimetry).d[filter], solidD.d[filter]);
            }
            p.tvi = p.tone - p.nominal;
            channel.points.push_back(p);
        }
        std::stable_sort(channel.points.begin(), channel.points.end(),
            [](const TonePoint& a, const TonePoint& b) { return a.nominal < b.nominal; });
        result.channels.push_back(channel);
    }
    return result;
}

} // namespace tintvale::qc
