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

// The post-adaptation cone-response compression of a model: a hyperbola with exponent p, maximum m,
// half-saturation k and offset y0 (CIECAM02: 0.42, 400, 27.13, 0.1; CIECAM97s: 0.73, 40, 2, 1).
struct ResponseCompression {
    double exponent;
    double inverseExponent; // 1 / p as the model publishes it
    double maximum;
    double halfSaturation;
    double offset;
};

// Applied to |x| with the sign of x restored, so that a negative response stays real (CIE 159:2004;
// likewise for CIECAM97s): y = sign(x) m q / (q + k) + y0, q = (FL |x| / 100)^p.
double CompressResponse(double x, double fl, const ResponseCompression& c);
// Its inverse: x = sign(y - y0) (100 / FL) (k |y - y0| / (m - |y - y0|))^(1/p).
double ExpandResponse(double y, double fl, const ResponseCompression& c);
// Both on the three cone responses of a colour.
void CompressResponses(const double* x, double fl, const ResponseCompression& c, double* y);
void ExpandResponses(const double* y, double fl, const ResponseCompression& c, double* x);

// y = m x for a 3 x 3 matrix given by rows.
void MultiplyMatrix(const double (&m)[3][3], const double* x, double* y);

} // namespace tintvale::detail

#endif
