// The reference whites the measurement classes accept for CIELAB.
#ifndef TINTVALE_TMEASUREMENT_WHITE_H
#define TINTVALE_TMEASUREMENT_WHITE_H

#include <cmath>

// A white serves as the CIELAB reference when every component is positive and finite: X / Xn and
// its companions are then defined (CIE 15:2004, 8.2.1).
inline bool IsValidLabWhite(const double* white)
{
    if (white == nullptr)
        return false;
    for (int c = 0; c < 3; ++c)
        if (!(white[c] > 0.0) || !std::isfinite(white[c]))
            return false;
    return true;
}

#endif
