// TColorSpace_CIECAM97s: the hue eccentricity, the inverse compression and the sign-carrying blue
// adaptation (forward values and shared behaviour: the CIECAM02 file).
#include <tintvale/tcolorspace_ciecam97s.h>

#include <gtest/gtest.h>

#include <cmath>

// Reaches the private stages under test.
struct TColorSpaceCIECAM97sAccess {
    static double E(double h) { return TColorSpace_CIECAM97s::CalculateE(h); }
    static double Prime(double x) { return TColorSpace_CIECAM97s::CalculatePrime(x); }
    static void Bradford(const double* xyz, double* rgb) { TColorSpace_CIECAM97s::MultiplyByMb(xyz, rgb); }
};
using Access = TColorSpaceCIECAM97sAccess;

TEST(TColorSpaceCIECAM97s, HueEccentricityAndInverseCompression)
{
    // The published (h, e) pairs, e = 0.8565 at 0 and 360, linear between: midpoints included.
    const double rows[][2] = { { 0.0, 0.8565 }, { 20.14, 0.8 }, { 90.0, 0.7 }, { 164.25, 1.0 },
        { 237.53, 1.2 }, { 360.0, 0.8565 }, { 200.0, 1.0 + 35.75 * 0.2 / 73.28 },
        { 10.07, (0.8565 + 0.8) / 2.0 }, { 298.765, (1.2 + 0.8565) / 2.0 } };
    for (const auto& r : rows)
        EXPECT_NEAR(Access::E(r[0]), r[1], 1e-14) << r[0];
    // Prime undoes R'a = 40 x / (x + 2) + 1 with x = (R'/100)^0.73 (FL taken as 1), sign included.
    EXPECT_EQ(Access::Prime(1.0), 0.0);
    EXPECT_NEAR(Access::Prime(0.0), -100.0 * std::pow(2.0 / 39.0, 1.0 / 0.73), 1e-12);
    for (double r : { 0.5, 5.0, 50.0, 150.0 }) {
        const double x = std::pow(r / 100.0, 0.73);
        EXPECT_NEAR(Access::Prime(40.0 * x / (x + 2.0) + 1.0), r, 1e-9 * r);
    }
}

TEST(TColorSpaceCIECAM97s, NegativeBradfordBlueStaysFinite)
{
    const double xyz[3] = { 30.0, 40.0, 0.5 };
    double rgb[3], jch[3], back[3];
    Access::Bradford(xyz, rgb);
    ASSERT_LT(rgb[2], 0.0);
    const double d65[3] = { 95.047, 100.0, 108.883 };
    const TColorSpace_CIECAM97s space(d65, 0);
    space.FromXYZ(xyz, jch);
    space.ToXYZ(jch, back);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(std::isfinite(jch[i]));
        EXPECT_NEAR(back[i], xyz[i], 0.1);
    }
}
