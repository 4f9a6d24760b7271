// Spectral distance on the grid, and resampling of the grid onto evenly spaced wavelengths.
#include <tintvale/tspectrum.h>

#include "halden.h"

#include <cmath>

// Euclidean distance over the 36 grid samples.
double TSpectrum::CalcDistance(TSpectrum* other)
{
    double sum = 0.0;
    for (int i = 0; i < kNrUniform; ++i) {
        const double d = other->mUniform[i] - mUniform[i];
        sum += d * d;
    }
    return std::sqrt(sum);
}

// Linear interpolation of the grid, flat below 380 nm and above 730 nm, evaluated at
// first, first + h, ... with h = (last - first) / (count - 1) accumulated.
int TSpectrum::GetNonUniformSpectrum(double first, double last, int count, double* values) const
{
    if (count > 0 && !values)
        return kErrorArgument;
    // A single point is the value at first; no step is needed (nor defined).
    const double step = count > 1 ? (last - first) / (count - 1) : 0.0;
    // Infinite ends step to NaN; refused before anything is written.
    if (count > 0 && (!std::isfinite(first) || !std::isfinite(last) || !std::isfinite(step)))
        return kErrorNotFinite;
    lin_interp_double* interp = lin_interp_double_new(count, 0);
    if (!interp)
        return kErrorMemory;
    for (int i = 0; i < kNrUniform; ++i)
        if (lin_interp_double_insert(interp, i * 10 + 380, mUniform[i]) < 0) {
            lin_interp_double_kill(interp);
            return kErrorNotFinite;
        }
    lin_interp_double_insert(interp, 0.0, mUniform[0]);
    lin_interp_double_insert(interp, 1000.0, mUniform[kNrUniform - 1]);
    if (count <= 0) {
        lin_interp_double_kill(interp);
        return 0;
    }
    double x = first;
    for (int k = 0; k < count; ++k, x += step)
        lin_interp_double_inter(interp, x, &values[k]);
    lin_interp_double_kill(interp);
    return 0;
}
