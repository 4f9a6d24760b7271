// TColorSpace_CIECAM97s: forward values against an independent computation, the white, the round
// trip, the hue eccentricity, the inverse compression and the sign-carrying blue adaptation.
// Reference values: a separate Python implementation of CIE 131-1998 using, like the model, the
// published four-digit inverse of the Bradford matrix in the forward direction (with the exact
// inverse instead, J, C and h move by up to 0.013).
#include <tintvale/tcolorspace_ciecam97s.h>

#include <gtest/gtest.h>

#include <cmath>

// Reaches the private stages under test.
struct TColorSpaceCIECAM97sAccess {
    static double E(double h) { return TColorSpace_CIECAM97s::CalculateE(h); }
    static double Prime(double x) { return TColorSpace_CIECAM97s::CalculatePrime(x); }
    static void Bradford(const double* xyz, double* rgb) { TColorSpace_CIECAM97s::MultiplyByMb(xyz, rgb); }
};

namespace {

const double kD65[3] = { 95.047, 100.0, 108.883 };

struct Expected {
    int viewing;
    double xyz[3];
    double jch[3];
};

const Expected kCases[] = {
    { 0, { 41.24, 21.26, 1.93 }, { 49.197801, 130.622634, 27.567484 } },
    { 0, { 35.76, 71.52, 11.92 }, { 81.746760, 99.603278, 136.206546 } },
    { 0, { 18.05, 7.22, 95.05 }, { 21.100786, 116.347138, 264.542996 } },
    { 0, { 60.0, 50.0, 20.0 }, { 73.514485, 60.671813, 48.671548 } },
    { 0, { 5.0, 4.0, 3.0 }, { 16.786505, 41.577311, 22.175763 } },
    { 0, { 30.0, 40.0, 0.5 }, { 62.191253, 97.144545, 111.229143 } },
    { 1, { 41.24, 21.26, 1.93 }, { 54.418103, 141.089708, 27.557644 } },
    { 1, { 60.0, 50.0, 20.0 }, { 76.815093, 64.500234, 49.012603 } },
    { 2, { 18.05, 7.22, 95.05 }, { 30.679247, 105.010305, 264.370246 } },
    { 2, { 5.0, 4.0, 3.0 }, { 25.702991, 37.237092, 22.056036 } },
};

using Access = TColorSpaceCIECAM97sAccess;

} // namespace

TEST(TColorSpaceCIECAM97s, ForwardMatchesIndependentModel)
{
    for (const Expected& e : kCases) {
        const TColorSpace_CIECAM97s space(kD65, e.viewing);
        double jch[3];
        EXPECT_EQ(space.FromXYZ(e.xyz, jch), 0);
        EXPECT_NEAR(jch[0], e.jch[0], 1e-5) << e.xyz[0] << " vc " << e.viewing;
        EXPECT_NEAR(jch[1], e.jch[1], 1e-5) << e.xyz[0] << " vc " << e.viewing;
        EXPECT_NEAR(jch[2], e.jch[2], 1e-5) << e.xyz[0] << " vc " << e.viewing;
    }
}

TEST(TColorSpaceCIECAM97s, WhiteHasLightness100UnderEveryViewingCondition)
{
    const double d50[3] = { 96.422, 100.0, 82.521 };
    for (const double* white : { kD65, d50 }) {
        for (int vc = 0; vc < 3; ++vc) {
            const TColorSpace_CIECAM97s space(white, vc);
            EXPECT_EQ(space.ErrNo(), 0);
            double jch[3];
            space.FromXYZ(white, jch);
            EXPECT_NEAR(jch[0], 100.0, 1e-12) << vc;
        }
    }
}

TEST(TColorSpaceCIECAM97s, InverseReturnsTheColour)
{
    for (int vc = 0; vc < 3; ++vc) {
        const TColorSpace_CIECAM97s space(kD65, vc);
        double worst = 0.0;
        for (double x = 5.0; x <= 95.0; x += 15.0) {
            for (double y = 5.0; y <= 100.0; y += 15.0) {
                for (double z = 5.0; z <= 105.0; z += 20.0) {
                    const double xyz[3] = { x, y, z };
                    double jch[3], back[3];
                    space.FromXYZ(xyz, jch);
                    if (!std::isfinite(jch[0]) || !std::isfinite(jch[1]))
                        continue;
                    EXPECT_EQ(space.ToXYZ(jch, back), 0);
                    for (int i = 0; i < 3; ++i)
                        worst = std::fmax(worst, std::fabs(back[i] - xyz[i]) / 100.0);
                }
            }
        }
        // Forward with the four-digit MB inverse, back with the full-precision one and the
        // four-digit MH inverse: about 1.6e-4 of the white at worst.
        EXPECT_LT(worst, 3e-4) << vc;
    }
}

TEST(TColorSpaceCIECAM97s, HueEccentricity)
{
    const double h[] = { 0.0, 20.14, 90.0, 164.25, 237.53, 360.0 };
    const double e[] = { 0.8565, 0.8, 0.7, 1.0, 1.2, 0.8565 };
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(Access::E(h[i]), e[i], 1e-14) << h[i];
    EXPECT_NEAR(Access::E(200.0), 1.0 + (200.0 - 164.25) * 0.2 / (237.53 - 164.25), 1e-14);
    EXPECT_NEAR(Access::E(10.07), (0.8565 + 0.8) / 2.0, 1e-14);
    EXPECT_NEAR(Access::E(298.765), (1.2 + 0.8565) / 2.0, 1e-14);
}

TEST(TColorSpaceCIECAM97s, InverseCompression)
{
    EXPECT_EQ(Access::Prime(1.0), 0.0);
    EXPECT_NEAR(Access::Prime(0.0), -100.0 * std::pow(2.0 / 39.0, 1.0 / 0.73), 1e-12);
    // It undoes R'a = 40 x / (x + 2) + 1 with x = (R'/100)^0.73 (FL taken as 1).
    for (double r : { 0.5, 5.0, 50.0, 150.0 }) {
        const double x = std::pow(r / 100.0, 0.73);
        EXPECT_NEAR(Access::Prime(40.0 * x / (x + 2.0) + 1.0), r, 1e-9 * r);
    }
}

TEST(TColorSpaceCIECAM97s, NegativeBradfordBlueStaysFinite)
{
    const double xyz[3] = { 30.0, 40.0, 0.5 };
    double rgb[3];
    Access::Bradford(xyz, rgb);
    ASSERT_LT(rgb[2], 0.0);
    const TColorSpace_CIECAM97s space(kD65, 0);
    double jch[3], back[3];
    space.FromXYZ(xyz, jch);
    for (double v : jch)
        EXPECT_TRUE(std::isfinite(v));
    space.ToXYZ(jch, back);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(back[i], xyz[i], 0.1);
}

TEST(TColorSpaceCIECAM97s, DifferenceAndErrors)
{
    const TColorSpace_CIECAM97s space(kD65, 0);
    const double p90[3] = { 50, 10, 90 }, p270[3] = { 50, 10, 270 };
    EXPECT_NEAR(space.CalcSquareDeltaEConverted(p90, p270, 0), 400.0, 1e-12);
    const double xyz1[3] = { 41.24, 21.26, 1.93 }, xyz2[3] = { 60.0, 50.0, 20.0 };
    const double square = space.CalcSquareDeltaE(xyz1, xyz2, 0);
    EXPECT_GT(square, 0.0);
    EXPECT_EQ(space.CalcDeltaE(xyz1, xyz2, 4), square);
    ASSERT_EQ(TColorSpace_CIECAM97s::GetDifferenceFunctionListSize(), 1);
    EXPECT_STREQ(TColorSpace_CIECAM97s::GetDifferenceFunctionList()[0], "CIECAM97s Delta E");

    EXPECT_EQ(TColorSpace_CIECAM97s(kD65, 3).ErrNo(), -1);
    EXPECT_EQ(TColorSpace_CIECAM97s(nullptr, 0).ErrNo(), -1);
    TColorSpace_CIECAM97s assigned(kD65, 3);
    assigned = space;
    EXPECT_EQ(assigned.ErrNo(), 0);
    double a[3], b[3];
    space.FromXYZ(xyz1, a);
    assigned.FromXYZ(xyz1, b);
    EXPECT_EQ(a[0], b[0]);
}
