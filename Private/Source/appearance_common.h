// Pieces shared by the two colour appearance spaces (CIECAM97s and CIECAM02).
#ifndef TINTVALE_APPEARANCE_COMMON_H
#define TINTVALE_APPEARANCE_COMMON_H

namespace tintvale::detail {

// The fixed scene of both appearance spaces: adapting luminance (1000 / pi cd/m^2) and the
// relative luminance of the background.
constexpr double kSceneAdaptingLuminance = 318.30988618379;
constexpr double kSceneBackground = 20.0;

// Luminance-level adaptation factor (CIE 159:2004; the same in CIE 131-1998):
// k = 1 / (5 LA + 1), FL = 0.2 k^4 (5 LA) + 0.1 (1 - k^4)^2 (5 LA)^(1/3).
double LuminanceAdaptationFactor(double adaptingLuminance);

// Squared Euclidean distance of two (J, C, h) triples, h in degrees, in (J, C cos h, C sin h).
double SquareDistanceJCh(const double* jch1, const double* jch2);

// y = m x for a 3 x 3 matrix given by rows.
void MultiplyMatrix(const double (&m)[3][3], const double* x, double* y);

} // namespace tintvale::detail

#endif
