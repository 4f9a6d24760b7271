// The reflectance spectrum that matches a CIELAB colour under the chosen conditions.
#include <tintvale/qc/match.h>

#include <tintvale/tilluminant.h>
#include <tintvale/tilluminantandobserver.h>

#include <algorithm>
#include <cmath>

namespace tintvale::qc {

namespace {

constexpr int kNrPoints = 36;
constexpr double kFirstNm = 380.0;
constexpr double kStepNm = 10.0;
// The search's own default bounds, for a flat start inside them.
constexpr double kLowest = 0.00001;
constexpr double kHighest = 0.99999;

} // namespace

Report MatchReport(const CommonOptions& common, const double* lab)
{
    if (!std::isfinite(lab[0]) || !std::isfinite(lab[1]) || !std::isfinite(lab[2]))
        throw Error("L, a and b must be finite numbers");
    if (lab[0] < 0.0 || lab[0] > 100.0)
        throw Error("L must lie between 0 and 100");
    Colorimetry colorimetry(common);

    double target[3];
    colorimetry.Lab().LabToXYZ(lab, target);
    // Start from the grey of the target's luminance: it already has the right L*, so the search
    // only has to find the chroma.
    const double grey = std::clamp(target[1] / colorimetry.White()[1], kLowest, kHighest);
    double start[kNrPoints], result[kNrPoints];
    std::fill(start, start + kNrPoints, grey);
    const double deltaE = colorimetry.Integrator().CalculateMatchingSpectrum(
        target, colorimetry.White(), nullptr, nullptr, start, TIlluminantAndObserver::MatchInLab, result);
    if (deltaE < 0.0)
        throw Error("the matching-spectrum search failed for " + colorimetry.Describe());

    double xyz[3], reached[3];
    colorimetry.Integrator().GetXYZ(result, xyz, kNrPoints);
    colorimetry.Lab().XYZToLab(xyz, reached);

    Report report;
    Section& summary = report.AddKeyValues("match");
    Report::Put(summary, "illuminant", Cell(colorimetry.Illuminant()->GetName()));
    Report::Put(summary, "observer", Cell(colorimetry.Observer()->GetName()));
    Report::Put(summary, "target_L", Cell(lab[0], 2));
    Report::Put(summary, "target_a", Cell(lab[1], 2));
    Report::Put(summary, "target_b", Cell(lab[2], 2));
    Report::Put(summary, "L", Cell(reached[0], 2));
    Report::Put(summary, "a", Cell(reached[1], 2));
    Report::Put(summary, "b", Cell(reached[2], 2));
    Report::Put(summary, "DeltaE76", Cell(deltaE, 3));
    Section& spectrum = report.AddTable("spectrum", { "nm", "reflectance" });
    for (int i = 0; i < kNrPoints; ++i)
        spectrum.rows.push_back({ Cell(kFirstNm + kStepNm * i, 0), Cell(result[i], 5) });
    return report;
}

} // namespace tintvale::qc
