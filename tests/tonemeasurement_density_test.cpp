// Densities of measurements: the plain form, relative to a paper, and the tristimulus fallback.
#include <tintvale/temissionspectrum.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/txyzmeasurement.h>

#include "shipped_fixture.h"
#include "test_support.h"

#include <algorithm>
#include <cmath>

namespace {

class MeasurementDensity : public ShippedD50 {
protected:
    TMeasGeom mGeom { 0 };
};

} // namespace

TEST_F(MeasurementDensity, PlainRelativeAndTristimulus)
{
    TReflectionSpectrum grey(Flat(0.1), &mGeom);
    double d[4];
    int index = -1;
    ASSERT_EQ(grey.GetDensity(TCMS::IsoStatusE, d, &index), 0);
    EXPECT_NEAR(d[2], 1.0, 1e-4);

    TXYZMeasurement xyz(20.0, 20.0, 20.0, &mGeom, mD50, &mTwo);
    std::fill(d, d + 4, 7.0);
    ASSERT_EQ(xyz.GetDensity(TCMS::IsoStatusE, d, &index), 0);
    EXPECT_EQ(d[0] + d[1] + d[2] + d[3], 0.0);
    EXPECT_EQ(grey.GetDensity(static_cast<TCMS::FilterStandard>(9), d, &index), 2);
    EXPECT_EQ(xyz.GetDensity(TCMS::AnsiA, nullptr, &index), 3);

    // Relative to a paper, clamped at zero.
    TReflectionSpectrum sample(Step(), &mGeom);
    TReflectionSpectrum paper(Flat(0.8), &mGeom);
    const double paperDensity = -std::log10(0.8);
    ASSERT_EQ(sample.GetDensity(TCMS::IsoStatusT, &paper, mD50, &mTwo, d, &index), 0);
    EXPECT_NEAR(d[0], 2.00 - paperDensity, 0.005);
    EXPECT_NEAR(d[1], 1.67 - paperDensity, 0.005);
    EXPECT_EQ(d[2], 0.0) << "0.04 less the paper's 0.097 is clamped";
    EXPECT_NEAR(d[3], 1.47 - paperDensity, 0.005);
    EXPECT_EQ(index, 0);

    // The paper against a darker reference: nothing but zeros.
    TReflectionSpectrum dark(Flat(0.05), &mGeom);
    ASSERT_EQ(paper.GetDensity(TCMS::AnsiT, &dark, mD50, &mTwo, d, &index), 0);
    EXPECT_EQ(d[0] + d[1] + d[2] + d[3], 0.0);

    // No reference: the plain densities.
    ASSERT_EQ(sample.GetDensity(TCMS::IsoStatusT, nullptr, mD50, &mTwo, d, &index), 0);
    EXPECT_NEAR(d[2], 0.04, 0.005);

    // A black sample has no density, nor has anything against a black paper: the relative form
    // fails with NaN, never an absolute density that passes for a relative one.
    TReflectionSpectrum black(Flat(0.0), &mGeom);
    EXPECT_EQ(black.GetDensity(TCMS::IsoStatusT, &paper, mD50, &mTwo, d, &index), 1);
    EXPECT_TRUE(std::isnan(d[0]));
    EXPECT_EQ(sample.GetDensity(TCMS::IsoStatusT, &black, mD50, &mTwo, d, &index), 1);
    EXPECT_TRUE(std::isnan(d[0]) && std::isnan(d[1]) && std::isnan(d[2]) && std::isnan(d[3]));
    EXPECT_EQ(sample.GetDensity(static_cast<TCMS::FilterStandard>(9), &paper, mD50, &mTwo, d, &index), 2);
    // The tristimulus fallback without spectra.
    TReflectionSpectrum paper9(Flat(0.9), &mGeom);
    double paperXYZ[3];
    ASSERT_EQ(paper9.GetXYZ(mD50, &mTwo, paperXYZ), 0);
    // Ten, a hundred and two times less light than the paper in X, Y and Z.
    TXYZMeasurement ts(paperXYZ[0] / 10.0, paperXYZ[1] / 100.0, paperXYZ[2] / 2.0, &mGeom, mD50, &mTwo);
    ASSERT_EQ(ts.GetDensity(TCMS::IsoStatusT, &paper9, mD50, &mTwo, d, &index), 0);
    EXPECT_NEAR(d[0], 1.0, 1e-12);
    EXPECT_NEAR(d[1], 2.0, 1e-12);
    EXPECT_NEAR(d[2], std::log10(2.0), 1e-12);
    EXPECT_NEAR(d[3], 2.0, 1e-12);
    EXPECT_EQ(index, 1);

    // A near-neutral: the smallest above 0.7 of the largest.
    TXYZMeasurement neutral(paperXYZ[0] / 10.0, paperXYZ[1] / 12.0, paperXYZ[2] / 9.0, &mGeom, mD50, &mTwo);
    ASSERT_EQ(neutral.GetDensity(TCMS::AnsiA, &paper9, mD50, &mTwo, d, &index), 0);
    EXPECT_EQ(index, 3);

    // A reference without XYZ counts as 100 in each.
    TEmissionSpectrum nothing(nullptr, &mGeom);
    TXYZMeasurement plain(10.0, 1.0, 50.0, &mGeom, mD50, &mTwo);
    ASSERT_EQ(plain.GetDensity(TCMS::IsoStatusT, &nothing, mD50, &mTwo, d, &index), 0);
    EXPECT_NEAR(d[0] + d[1] + d[2], 3.0 + std::log10(2.0), 1e-12);

    // This measurement giving no XYZ under what is asked falls back to the plain form.
    const TObserver ten(1);
    ASSERT_EQ(plain.GetDensity(TCMS::IsoStatusT, &paper9, mD50, &ten, d, &index), 0);
    EXPECT_EQ(d[0] + d[1] + d[2] + d[3], 0.0);

    // No light in Y: no magenta or visual density (NaN), and no infinity.
    TXYZMeasurement noY(10.0, 0.0, 50.0, &mGeom, mD50, &mTwo);
    std::fill(d, d + 4, 7.0);
    EXPECT_EQ(noY.GetDensity(TCMS::IsoStatusT, &paper9, mD50, &mTwo, d, &index), 1);
    EXPECT_TRUE(std::isfinite(d[0]) && std::isnan(d[1]) && std::isnan(d[3]));
    EXPECT_EQ(index, 3) << "over cyan alone, as the spectral form does";
}
