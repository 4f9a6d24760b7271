// The whites the measurement classes accept for CIELAB, and how they check and hand out a triple.
#ifndef TINTVALE_TMEASUREMENT_WHITE_H
#define TINTVALE_TMEASUREMENT_WHITE_H

#include <tintvale/tonemeasurement.h>

#include <algorithm>
#include <cmath>
#include <limits>

// A white component serves as a CIELAB reference when it is finite and no smaller than the
// smallest normal double: X / Xn is then defined, and a denormal Xn would overflow it.
inline bool IsValidLabWhiteComponent(double value)
{
    return value >= std::numeric_limits<double>::min() && std::isfinite(value);
}

// A white serves as the CIELAB reference when every component does (CIE 15:2004, 8.2.1).
inline bool IsValidLabWhite(const double* white)
{
    if (white == nullptr)
        return false;
    for (int c = 0; c < 3; ++c)
        if (!IsValidLabWhiteComponent(white[c]))
            return false;
    return true;
}

// A NaN or infinite component makes a triple no colour: the measurements refuse it (status 4).
inline bool IsFiniteTriple(const double* v)
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// Hands a computed triple to the caller only when it is a colour; out is left untouched otherwise.
inline int DeliverFinite(const double* result, double* out)
{
    if (!IsFiniteTriple(result))
        return TOneMeasurement::kNotFinite;
    std::copy(result, result + 3, out);
    return TOneMeasurement::kSuccess;
}

#endif
