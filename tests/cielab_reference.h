// CIELAB written independently of the library, with the exact constants (24/116)^3 and
// (116/24)^2 / 3 of CIE 15:2004, 8.2.1: the reference of tests that check colours made elsewhere.
#ifndef TINTVALE_TESTS_CIELAB_REFERENCE_H
#define TINTVALE_TESTS_CIELAB_REFERENCE_H

#include <cmath>

namespace reference {

inline double F(double t) { return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0; }
inline double FInverse(double f) { return f > 6.0 / 29.0 ? f * f * f : (116.0 * f - 16.0) * 27.0 / 24389.0; }

// L* = 116 f(Y/Yn) - 16, a* = 500 (f(X/Xn) - f(Y/Yn)), b* = 200 (f(Y/Yn) - f(Z/Zn)).
inline void XYZToLab(const double* xyz, const double* white, double* lab)
{
    const double fx = F(xyz[0] / white[0]), fy = F(xyz[1] / white[1]), fz = F(xyz[2] / white[2]);
    lab[0] = 116.0 * fy - 16.0;
    lab[1] = 500.0 * (fx - fy);
    lab[2] = 200.0 * (fy - fz);
}

inline void LabToXYZ(const double* lab, const double* white, double* xyz)
{
    const double fy = (lab[0] + 16.0) / 116.0;
    xyz[0] = white[0] * FInverse(fy + lab[1] / 500.0);
    xyz[1] = white[1] * FInverse(fy);
    xyz[2] = white[2] * FInverse(fy - lab[2] / 200.0);
}

// CIE 1976 colour difference.
inline double DeltaE76(const double* lab1, const double* lab2)
{
    return std::sqrt((lab1[0] - lab2[0]) * (lab1[0] - lab2[0]) + (lab1[1] - lab2[1]) * (lab1[1] - lab2[1])
        + (lab1[2] - lab2[2]) * (lab1[2] - lab2[2]));
}

} // namespace reference

#endif
