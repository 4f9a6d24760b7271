// TOneMeasurement: status densities of a measurement, plain and relative to a paper.
#include <tintvale/tonemeasurement.h>

#include <tintvale/tspectrum.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kNrStandards = 9;
constexpr int kNrDensities = 4;
constexpr int kVisual = 3;
// Above this ratio of the smallest to the largest colour density the sample counts as neutral.
constexpr double kNeutralRatio = 0.7;
// Tristimulus value of the reference when it gives none.
constexpr double kDefaultReference = 100.0;

bool IsKnownStandard(TCMS::FilterStandard standard)
{
    return static_cast<unsigned>(standard) < static_cast<unsigned>(kNrStandards);
}

// The first largest of d[0 .. n-1], or 3 (neutral) when the smallest is above 0.7 of it.
int DominantIndex(const double* d, int n)
{
    int largest = 0;
    int smallest = 0;
    for (int k = 1; k < n; ++k) {
        if (d[k] > d[largest])
            largest = k;
        if (d[k] < d[smallest])
            smallest = k;
    }
    if (d[largest] != 0.0 && d[smallest] / d[largest] > kNeutralRatio)
        return kVisual;
    return largest;
}

} // namespace

int TOneMeasurement::GetDensity(TCMS::FilterStandard standard, double* densities, int* dominant) const
{
    if (densities == nullptr || dominant == nullptr)
        return 3;
    if (const TSpectrum* spectrum = GetSpectrum())
        return spectrum->GetDensity(standard, densities, dominant);
    if (!IsKnownStandard(standard))
        return 2;
    for (int k = 0; k < kNrDensities; ++k)
        densities[k] = 0.0;
    *dominant = 0;
    return 0;
}

// D = D(sample) - D(paper), clamped at 0; without spectra D = log10(X_paper / X) and likewise for
// Y (magenta and visual) and Z (yellow).
int TOneMeasurement::GetDensity(TCMS::FilterStandard standard, const TOneMeasurement* reference,
    const TIlluminant* ill, const TObserver* obs, double* densities, int* dominant) const
{
    if (reference == nullptr)
        return GetDensity(standard, densities, dominant);
    if (densities == nullptr || dominant == nullptr)
        return 3;
    if (!IsKnownStandard(standard))
        return 2;

    const TSpectrum* own = GetSpectrum();
    const TSpectrum* paper = reference->GetSpectrum();
    if (own != nullptr && paper != nullptr) {
        // A density either side cannot give is NaN here: an absolute density must not pass for a
        // relative one (a black or unset paper has none).
        double ownDensities[kNrDensities], paperDensities[kNrDensities];
        std::fill(ownDensities, ownDensities + kNrDensities, NAN);
        std::fill(paperDensities, paperDensities + kNrDensities, NAN);
        int paperDominant = 0;
        const bool complete = own->GetDensity(standard, ownDensities, dominant) == 0
            && paper->GetDensity(standard, paperDensities, &paperDominant) == 0;
        for (int k = 0; k < kNrDensities; ++k) {
            const double relative = ownDensities[k] - paperDensities[k];
            densities[k] = relative < 0.0 ? 0.0 : relative; // NaN stays NaN
        }
        return complete ? 0 : 1;
    }

    double xyz[] = { kDefaultReference, kDefaultReference, kDefaultReference };
    double paperXYZ[] = { kDefaultReference, kDefaultReference, kDefaultReference };
    if (GetXYZ(ill, obs, xyz) != 0)
        return GetDensity(standard, densities, dominant);
    reference->GetXYZ(ill, obs, paperXYZ);
    // Cyan from X, magenta from Y, yellow from Z. A ratio that is not positive has no logarithm:
    // stop there, as a spectral density does.
    for (int k = 0; k < 3; ++k) {
        const double density = xyz[k] > 0.0 && paperXYZ[k] > 0.0 ? std::log10(paperXYZ[k] / xyz[k]) : NAN;
        if (!std::isfinite(density)) {
            *dominant = k > 0 ? DominantIndex(densities, k) : kVisual;
            std::fill(densities + k, densities + kNrDensities, NAN);
            return 1;
        }
        densities[k] = density;
    }
    densities[kVisual] = densities[1];
    *dominant = DominantIndex(densities, 3);
    return 0;
}
