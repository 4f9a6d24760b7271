// Pieces shared by the two colour appearance spaces.
#include "appearance_common.h"

#include <cmath>

namespace tintvale::detail {

double LuminanceAdaptationFactor(double adaptingLuminance)
{
    const double k = 1.0 / (5.0 * adaptingLuminance + 1.0);
    const double k4 = k * k * k * k;
    return 0.2 * k4 * (5.0 * adaptingLuminance)
        + 0.1 * (1.0 - k4) * (1.0 - k4) * std::pow(5.0 * adaptingLuminance, 1.0 / 3.0);
}

// Delta E^2 = (C2 cos h2 - C1 cos h1)^2 + (J2 - J1)^2 + (C2 sin h2 - C1 sin h1)^2
double SquareDistanceJCh(const double* jch1, const double* jch2)
{
    constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
    const double h1 = jch1[2] * kDegToRad;
    const double h2 = jch2[2] * kDegToRad;
    const double square = std::pow(jch2[1] * std::cos(h2) - jch1[1] * std::cos(h1), 2.0)
        + std::pow(jch2[0] - jch1[0], 2.0) + std::pow(jch2[1] * std::sin(h2) - jch1[1] * std::sin(h1), 2.0);
    // A colour that is missing (NaN) or infinite has no distance: the status, never a number.
    return std::isfinite(square) ? square : -1.0;
}

double CompressResponse(double x, double fl, const ResponseCompression& c)
{
    const double q = std::pow(fl * std::fabs(x) / 100.0, c.exponent);
    const double magnitude = c.maximum * q / (q + c.halfSaturation);
    return (x < 0.0 ? -magnitude : magnitude) + c.offset;
}

double ExpandResponse(double y, double fl, const ResponseCompression& c)
{
    const double d = std::fabs(y - c.offset);
    const double magnitude
        = (100.0 / fl) * std::pow(c.halfSaturation * d / (c.maximum - d), c.inverseExponent);
    return y - c.offset < 0.0 ? -magnitude : magnitude;
}

void CompressResponses(const double* x, double fl, const ResponseCompression& c, double* y)
{
    for (int i = 0; i < 3; ++i)
        y[i] = CompressResponse(x[i], fl, c);
}

void ExpandResponses(const double* y, double fl, const ResponseCompression& c, double* x)
{
    for (int i = 0; i < 3; ++i)
        x[i] = ExpandResponse(y[i], fl, c);
}

void MultiplyMatrix(const double (&m)[3][3], const double* x, double* y)
{
    const double x0 = x[0], x1 = x[1], x2 = x[2];
    for (int r = 0; r < 3; ++r)
        y[r] = m[r][0] * x0 + m[r][1] * x1 + m[r][2] * x2;
}

} // namespace tintvale::detail
