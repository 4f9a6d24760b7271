// TColorSpace_CIECAM97s: the hue eccentricity and the inverse compression (forward values, the
// negative blue response and shared behaviour: the CIECAM02 and numeric-edge files).
#include <tintvale/tcolorspace_ciecam97s.h>

#include <gtest/gtest.h>

#include <cmath>

// Reaches the private stages under test.
struct TColorSpaceCIECAM97sAccess {
    static double E(double h) { return TColorSpace_CIECAM97s::CalculateE(h); }
    static double Prime(double x) { return TColorSpace_CIECAM97s::CalculatePrime(x); }
};
using Access = TColorSpaceCIECAM97sAccess;

TEST(TColorSpaceCIECAM97s, HueEccentricityAndInverseCompression)
{
    // The published (h, e) pairs, e = 0.8565 at 0 and 360, linear between: midpoints included; a hue
    // a turn away is the same hue.
    const double rows[][2]
        = { { 0.0, 0.8565 }, { 20.14, 0.8 }, { 90.0, 0.7 }, { 164.25, 1.0 }, { 237.53, 1.2 },
              { 360.0, 0.8565 }, { 200.0, 1.0 + 35.75 * 0.2 / 73.28 }, { 10.07, (0.8565 + 0.8) / 2.0 },
              { 298.765, (1.2 + 0.8565) / 2.0 }, { 380.14, 0.8 }, { -270.0, 0.7 } };
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
