// TIlluminantAndObserver: the ASTM E308 weights, the white, the sums and the increments.

#include "shipped_fixture.h"

#include "test_support.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

using Shipped = ShippedD50;

// Exposes the range form of the increments.
struct OpenIntegration : TIlluminantAndObserver {
    using TIlluminantAndObserver::GetXYZIncrement;
    using TIlluminantAndObserver::TIlluminantAndObserver;
};

} // namespace

// White points over the 10-nm grid 380 ... 730 nm, computed independently from the CIE 15:2004
// illuminant tables and the four-decimal 2° observer. They lie within 0.07 of the CIE 15:2004
// Table T.3 values (D65: 95.04, 108.88), the difference being the shorter, coarser grid. A flat
// reflectance of 1 gives the white under either observer.
TEST_F(Shipped, WhitePointsCheckValuesCountsAndErrors)
{
    const std::tuple<const char*, double, double> rows[] = { { "CIE Illuminant D50", 96.3841, 82.4535 },
        { "CIE Illuminant D65", 95.0121, 108.8171 }, { "CIE Illuminant A", 109.8155, 35.5487 },
        { "CIE Illuminant C", 98.0401, 118.1056 }, { "D55", 95.6452, 92.0765 } };
    const TSpectrum one = Flat(1.0);
    for (const auto& [name, x, z] : rows) {
        for (const TObserver* obs : { &mTwo, &mTen }) {
            TIlluminantAndObserver io(Get(name), obs, 36);
            double white[3], ones[3];
            ASSERT_EQ(io.GetXYZWhite(white), 0);
            ASSERT_EQ(io.GetXYZ(&one, ones, 36), 0);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(ones[c], white[c], 1e-10) << name << c;
            if (obs == &mTwo) {
                EXPECT_NEAR(white[0], x, 5e-5) << name;
                EXPECT_NEAR(white[2], z, 5e-5) << name;
            }
        }
    }
    // Counts, errors and other point counts.
    TIlluminant* d65 = Get("D65");
    for (int bad : { 37, -1 }) {
        TIlluminantAndObserver io(d65, &mTwo, bad);
        EXPECT_EQ(io.ErrNo(), 2) << bad;
    }
    TIlluminantAndObserver io(d65, &mTwo, 36);
    double xyz[3] = { 7, 8, 9 };
    double values[36] = {};
    EXPECT_EQ(io.GetXYZ(&one, xyz, 35), 2);
    EXPECT_EQ(io.GetXYZ(values, xyz, 35), 2);
    EXPECT_EQ(xyz[0], 7);
    EXPECT_EQ(io.GetXYZ(static_cast<const TSpectrum*>(nullptr), xyz, 36), 2);
    EXPECT_EQ(TIlluminantAndObserver(nullptr, &mTwo, 36).ErrNo(), 2);
    EXPECT_EQ(TIlluminantAndObserver(d65, nullptr, 36).ErrNo(), 2);

    // Without luminance there is no white to normalise to.
    TIlluminantFactory factory;
    EXPECT_EQ(TIlluminantAndObserver(factory.AddIlluminant(Flat(0.0), "Black"), &mTwo, 36).ErrNo(), 2);
    // The copy keeps every precomputed value.
    double white[3];
    TIlluminantAndObserver(io).GetXYZWhite(white);
    EXPECT_NEAR(white[2], 108.8171, 5e-5);
}

// Fewer points than the grid lie between its samples, each function taken as the straight line
// between them: a line at 405 nm has the CIE 1931 x/y and z/y of the mean of 400 and 410 nm (the
// four-decimal 2° observer: x 0.0143, 0.0435; y 0.0004, 0.0012; z 0.0679, 0.2074).
TEST_F(Shipped, FewerPointsInterpolateTheGrid)
{
    TIlluminantAndObserver io(Get("CIE Illuminant D50"), &mTwo, 15); // every 25 nm from 380
    double line[15] = {}, xyz[3];
    line[1] = 1.0;
    ASSERT_EQ(io.GetXYZ(line, xyz, 15), 0);
    EXPECT_NEAR(xyz[0] / xyz[1], (0.0143 + 0.0435) / (0.0004 + 0.0012), 1e-9);
    EXPECT_NEAR(xyz[2] / xyz[1], (0.0679 + 0.2074) / (0.0004 + 0.0012), 1e-9);
    // Two points are the ends of the grid: a line at the second lies at 730 nm (x 0.0014, y 0.0005).
    TIlluminantAndObserver ends(Get("CIE Illuminant D50"), &mTwo, 2);
    const double last[2] = { 0.0, 1.0 };
    ASSERT_EQ(ends.GetXYZ(last, xyz, 2), 0);
    EXPECT_NEAR(xyz[0] / xyz[1], 0.0014 / 0.0005, 1e-9);
}

TEST_F(Shipped, AstmWeightsAndIncrements)
{
    TIlluminantFactory factory;
    TIlluminant* shipped = Get("CIE Illuminant F11");
    TIlluminantAndObserver io(
        factory.AddIlluminant(*shipped->GetSpectrum(), "cie illuminant f11"), &mTwo, 36);
    double white[3];
    io.GetXYZWhite(white);
    const double k = 100.0 / 100.005;
    EXPECT_NEAR(white[0], 100.964 * k, 1e-9);
    EXPECT_NEAR(white[2], 64.354 * k, 1e-9);
    // The spectrum form uses the same weights: a constant 0.5 reflectance gives half the white.
    TSpectrum half = Flat(0.5);
    double xyz[3];
    ASSERT_EQ(io.GetXYZ(&half, xyz, 36), 0);
    EXPECT_NEAR(xyz[2], white[2] / 2, 1e-9);
    // F7 too: its white is the published check sums scaled to Y = 100.
    TIlluminantAndObserver f7(Get("CIE Illuminant F7"), &mTwo, 36);
    f7.GetXYZWhite(white);
    EXPECT_NEAR(white[2], 108.748 * 100.0 / 100.002, 1e-9);
    // The value and increment forms use the ASTM weights too: the F2 check sums scaled to Y = 100.
    OpenIntegration f2(Get("CIE Illuminant F2"), &mTwo, 36);
    double ones[36], sum[3] = { 0, 0, 0 };
    std::fill(ones, ones + 36, 1.0);
    ASSERT_EQ(f2.GetXYZ(ones, xyz, 36), 0);
    EXPECT_NEAR(xyz[0], 99.188 * 100.0 / 100.004, 1e-9);
    EXPECT_NEAR(xyz[2], 67.395 * 100.0 / 100.004, 1e-9);
    for (int i = 0; i < 36; ++i)
        ASSERT_EQ(f2.GetXYZIncrement(1.0, i, sum), 0);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(sum[c], xyz[c], 1e-9);
    // Increments add up to the sum (D65, 10°).
    OpenIntegration d65(Get("CIE Illuminant D65"), &mTen, 36);
    double values[36];
    for (int i = 0; i < 36; ++i)
        values[i] = 0.2 + 0.02 * i;
    double vx[3];
    ASSERT_EQ(d65.GetXYZ(values, vx, 36), 0);
    double single[3] = { 0, 0, 0 };
    for (int i = 0; i < 36; ++i)
        d65.GetXYZIncrement(values[i], i, single);
    double ranged[3] = { 0, 0, 0 };
    d65.GetXYZIncrement(1.0, 0, 36, ranged);
    double d65White[3];
    d65.GetXYZWhite(d65White);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(single[c], vx[c], 1e-9);
        EXPECT_NEAR(ranged[c], d65White[c], 1e-9);
    }
    // Indices outside 0..35 add nothing; a reversed or clamped range likewise.
    double untouched[3] = { 1, 2, 3 };
    EXPECT_EQ(d65.GetXYZIncrement(1.0, 36, untouched), 2);
    EXPECT_EQ(d65.GetXYZIncrement(1.0, -1, untouched), 2);
    EXPECT_EQ(d65.GetXYZIncrement(1.0, 5, 5, untouched), 0);
    EXPECT_EQ(d65.GetXYZIncrement(1.0, 40, 50, untouched), 0);
    EXPECT_EQ(untouched[0] + untouched[2], 4);
}
