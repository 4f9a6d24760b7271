// TColorSpace_CIECAM02: the forward model against an independent computation, the white, the round
// trip through the published inverse, the difference and the viewing conditions.
// Reference values: a separate Python implementation of CIE 159:2004 with exactly inverted matrices,
// which reproduces the published worked examples (XYZ 19.31, 23.93, 10.14 under white 98.88, 90,
// 32.03, LA 200, Yb 18: J 48.0314, C 38.7789, h 191.0452; and XYZ 19.01, 20.00, 21.78 under white
// 95.05, 100, 108.88, LA 318.31, Yb 20: J 41.7311, C 0.1047, h 219.0484), evaluated for this scene.
#include <tintvale/tcolorspace_ciecam02.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kD65[3] = { 95.047, 100.0, 108.883 };

struct Expected {
    int viewing;
    double xyz[3];
    double jch[3];
};

const Expected kCases[] = {
    { 0, { 41.24, 21.26, 1.93 }, { 47.508403, 112.839769, 32.376728 } },
    { 0, { 35.76, 71.52, 11.92 }, { 80.008534, 104.847360, 135.771427 } },
    { 0, { 18.05, 7.22, 95.05 }, { 21.242743, 90.933864, 257.652146 } },
    { 0, { 60.0, 50.0, 20.0 }, { 71.211236, 49.229149, 48.862832 } },
    { 0, { 5.0, 4.0, 3.0 }, { 17.857238, 21.430158, 23.037883 } },
    { 0, { 80.0, 90.0, 30.0 }, { 94.784794, 51.329112, 97.900876 } },
    { 0, { 19.01, 20.0, 21.78 }, { 41.731257, 0.097250, 220.941055 } },
    { 1, { 41.24, 21.26, 1.93 }, { 52.846973, 113.249032, 32.360409 } },
    { 1, { 18.05, 7.22, 95.05 }, { 26.692629, 97.399826, 257.583855 } },
    { 1, { 5.0, 4.0, 3.0 }, { 22.910674, 22.795965, 22.891990 } },
    { 1, { 19.01, 20.0, 21.78 }, { 47.365600, 1.363196, 211.246782 } },
    { 2, { 35.76, 71.52, 11.92 }, { 84.412485, 89.055519, 136.670969 } },
    { 2, { 60.0, 50.0, 20.0 }, { 77.158900, 40.785167, 49.535339 } },
    { 2, { 80.0, 90.0, 30.0 }, { 95.965339, 42.126524, 99.930659 } },
};

} // namespace

TEST(TColorSpaceCIECAM02, ForwardMatchesIndependentModel)
{
    for (const Expected& e : kCases) {
        const TColorSpace_CIECAM02 space(kD65, e.viewing);
        double jch[3];
        EXPECT_EQ(space.FromXYZ(e.xyz, jch), 0);
        EXPECT_NEAR(jch[0], e.jch[0], 0.01) << e.xyz[0] << " vc " << e.viewing;
        EXPECT_NEAR(jch[1], e.jch[1], 0.01) << e.xyz[0] << " vc " << e.viewing;
        EXPECT_NEAR(jch[2], e.jch[2], 0.01) << e.xyz[0] << " vc " << e.viewing;
    }
}

TEST(TColorSpaceCIECAM02, WhiteHasLightness100UnderEveryViewingCondition)
{
    const double d50[3] = { 96.422, 100.0, 82.521 };
    for (const double* white : { kD65, d50 }) {
        for (int vc = 0; vc < 3; ++vc) {
            const TColorSpace_CIECAM02 space(white, vc);
            EXPECT_EQ(space.ErrNo(), 0);
            double jch[3];
            space.FromXYZ(white, jch);
            EXPECT_NEAR(jch[0], 100.0, 1e-12) << vc;
        }
    }
}

TEST(TColorSpaceCIECAM02, InverseReturnsTheColour)
{
    // The forward direction uses the seven-digit product matrix and the inverse the six-decimal
    // published inverses, so the two are inverse to about 1e-6 relative, not to double rounding. The
    // published inverse's rounded coefficients weigh with chroma: 1.06e-5 at XYZ 95, 5, 5 (C near
    // 1200, far beyond the spectrum locus), which the signed compression brings into the model.
    for (int vc = 0; vc < 3; ++vc) {
        const TColorSpace_CIECAM02 space(kD65, vc);
        double worst = 0.0;
        for (double x = 5.0; x <= 95.0; x += 15.0) {
            for (double y = 5.0; y <= 100.0; y += 15.0) {
                for (double z = 5.0; z <= 105.0; z += 20.0) {
                    const double xyz[3] = { x, y, z };
                    double jch[3], back[3];
                    space.FromXYZ(xyz, jch);
                    if (!std::isfinite(jch[0]) || !std::isfinite(jch[1]))
                        continue; // a cone response left the model's domain
                    EXPECT_EQ(space.ToXYZ(jch, back), 0);
                    for (int i = 0; i < 3; ++i)
                        worst = std::fmax(worst, std::fabs(back[i] - xyz[i]) / 100.0);
                }
            }
        }
        EXPECT_LT(worst, 2e-5) << vc;
    }
}

TEST(TColorSpaceCIECAM02, NeutralInvertsWithZeroChroma)
{
    const TColorSpace_CIECAM02 space(kD65, 0);
    const double jch[3] = { 50.0, 0.0, 0.0 };
    double xyz[3], back[3];
    space.ToXYZ(jch, xyz);
    for (double v : xyz)
        EXPECT_TRUE(std::isfinite(v));
    space.FromXYZ(xyz, back);
    EXPECT_NEAR(back[0], 50.0, 1e-4);
}

TEST(TColorSpaceCIECAM02, DifferenceIsSquaredDistanceInJab)
{
    const TColorSpace_CIECAM02 space(kD65, 0);
    const double p0[3] = { 50, 10, 0 }, p360[3] = { 50, 10, 360 };
    EXPECT_NEAR(space.CalcSquareDeltaEConverted(p0, p360, 0), 0.0, 1e-24);
    const double p90[3] = { 50, 10, 90 }, p270[3] = { 50, 10, 270 };
    EXPECT_NEAR(space.CalcSquareDeltaEConverted(p90, p270, 7), 400.0, 1e-12);
    const double q[3] = { 53, 4, 0 };
    EXPECT_NEAR(space.CalcSquareDeltaEConverted(p0, q, 0), 9.0 + 36.0, 1e-12);

    const double xyz1[3] = { 41.24, 21.26, 1.93 }, xyz2[3] = { 35.76, 71.52, 11.92 };
    double jch1[3], jch2[3];
    space.FromXYZ(xyz1, jch1);
    space.FromXYZ(xyz2, jch2);
    const double square = space.CalcSquareDeltaE(xyz1, xyz2, 0);
    EXPECT_EQ(square, space.CalcSquareDeltaEConverted(jch1, jch2, 0));
    for (int index : { 0, 1, 5, -3 }) {
        EXPECT_EQ(space.CalcSquareDeltaE(xyz1, xyz2, index), square);
        EXPECT_EQ(space.CalcDeltaE(xyz1, xyz2, index), square); // squared, as hosts have always read it
    }
    ASSERT_EQ(TColorSpace_CIECAM02::GetDifferenceFunctionListSize(), 1);
    EXPECT_STREQ(TColorSpace_CIECAM02::GetDifferenceFunctionList()[0], "CIECAM02 Delta E");
}

TEST(TColorSpaceCIECAM02, InvalidViewingConditionOrWhite)
{
    EXPECT_EQ(TColorSpace_CIECAM02(kD65, 3).ErrNo(), -1);
    EXPECT_EQ(TColorSpace_CIECAM02(kD65, -1).ErrNo(), -1);
    EXPECT_EQ(TColorSpace_CIECAM02(nullptr, 0).ErrNo(), -1);
    const double noLuminance[3] = { 95.0, 0.0, 108.0 };
    EXPECT_EQ(TColorSpace_CIECAM02(noLuminance, 0).ErrNo(), -1);

    const TColorSpace_CIECAM02 space(kD65, 1);
    TColorSpace_CIECAM02 copy(space);
    TColorSpace_CIECAM02 assigned(kD65, 3);
    assigned = space;
    const double xyz[3] = { 30.0, 20.0, 10.0 };
    double a[3], b[3], c[3];
    space.FromXYZ(xyz, a);
    copy.FromXYZ(xyz, b);
    assigned.FromXYZ(xyz, c);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a[i], b[i]);
        EXPECT_EQ(a[i], c[i]);
    }
    EXPECT_EQ(assigned.ErrNo(), 0);
    EXPECT_EQ(space.FromXYZ(nullptr, a), 2);
}
