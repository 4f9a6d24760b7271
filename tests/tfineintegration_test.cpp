// TFineIntegration: spectra finer than 10 nm against an independent CIE 15 summation at 5 nm.
#include <tintvale/tfineintegration.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tspectrum.h>

#include "illuminant_test_support.h"
#include "shipped_fixture.h"
#include "test_support.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Reflectances of our own: a + b / (1 + exp(-(λ - c) / w)) + g exp(-((λ - m) / s)²), rounded to
// four decimals.
struct Curve {
    double a, b, c, w, g, m, s;
};
const Curve kRed { 0.05, 0.8, 600, 12, 0.0, 500, 20 };
const Curve kBlue { 0.04, 0.0, 0, 1, 0.55, 455, 18 };
const Curve kGreen { 0.06, -0.03, 620, 10, 0.42, 528, 14 };

std::vector<double> Sample(const Curve& k, const std::vector<double>& wl)
{
    std::vector<double> v;
    for (double l : wl) {
        const double r = k.a + k.b / (1.0 + std::exp(-(l - k.c) / k.w))
            + k.g * std::exp(-((l - k.m) / k.s) * ((l - k.m) / k.s));
        v.push_back(std::round(r * 1e4) / 1e4);
    }
    return v;
}

std::vector<double> Grid(double first, double step, int n)
{
    std::vector<double> wl;
    for (int i = 0; i < n; ++i)
        wl.push_back(first + step * i);
    return wl;
}

const std::vector<double> k5nm = Grid(380.0, 5.0, 81);
const std::vector<double> k3nm = Grid(380.0, 10.0 / 3.0, 106); // 380 ... 730 nm

class FineIntegration : public ShippedD50 { };

} // namespace

// NumPy over the CIE tables (cie1931_2deg_5nm.csv, cie1964_10deg_5nm.csv, cie_illuminants_5nm.csv),
// run once:
//   R = np.interp(np.arange(380, 781, 5), wl, values)   # flat beyond the measured range
//   k = 100 / sum(S * ybar); XYZ = k * [sum(S * xbar * R), ...]; white = k * [sum(S * xbar), ...]
//   Lab by CIE 15:2004 (8.2.1) relative to that white.
// F11's file holds 10-nm band weights; the 5-nm table of CIE 15 is used instead.
TEST_F(FineIntegration, AgreesWithTheCie5nmSummationAt5And333nm)
{
    const Curve* curves[] = { &kRed, &kBlue, &kGreen };
    const char* illuminants[] = { "CIE Illuminant D50", "CIE Illuminant D65", "CIE Illuminant F11" };
    for (const auto& c : CsvRows(TINTVALE_SOURCE_DIR "/tests/data/fine_integration_lab.csv")) {
        ASSERT_EQ(c.size(), 7u);
        const char* name = illuminants[static_cast<int>(c[0])];
        const TIlluminant* ill = Get(name);
        const TObserver& obs = c[1] != 0.0 ? mTen : mTwo;
        TFineIntegration fine(ill, &obs);
        ASSERT_EQ(fine.ErrNo(), 0);
        EXPECT_EQ(fine.GetMethod(), TFineIntegration::kFiveNm);
        double white[3], xyz[3], lab[3];
        ASSERT_EQ(fine.GetXYZWhite(white), 0);
        const std::vector<double>& wl = c[3] == 5.0 ? k5nm : k3nm;
        const std::vector<double> v = Sample(*curves[static_cast<int>(c[2])], wl);
        ASSERT_EQ(
            TFineIntegration::GetXYZ(ill, &obs, wl.data(), v.data(), static_cast<int>(wl.size()), xyz), 0);
        TLabSpace(white).XYZToLab(xyz, lab);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(lab[k], c[4 + k], c[3] == 5.0 ? 0.01 : 0.03) << name << " component " << k;
    }
}

TEST_F(FineIntegration, WhiteIsThePerfectDiffuserUnderTheSameSums)
{
    // A Python summation, run once, of the published 5-nm tables (cie_illuminants_5nm.csv) with the
    // CIE 1-nm functions at every fifth nm (cie1931_2deg_1nm.csv), 380 ... 780 nm: D50 2° (96.4197,
    // 100, 82.5123); F11 2° (100.9610, 100, 64.3506). (The four-decimal functions give 96.4191 and
    // 82.5114 for D50.)
    const struct {
        const char* name;
        double white[3];
    } cases[] = { { "CIE Illuminant D50", { 96.4197, 100.0, 82.5123 } },
        { "CIE Illuminant F11", { 100.9610, 100.0, 64.3506 } } };
    for (const auto& c : cases) {
        TFineIntegration fine(Get(c.name), &mTwo);
        double white[3], ones[3];
        const std::vector<double> one(81, 1.0);
        ASSERT_EQ(fine.GetXYZWhite(white), 0);
        ASSERT_EQ(fine.SetWavelengths(k5nm.data(), 81), 0);
        ASSERT_EQ(fine.GetXYZ(one.data(), 81, ones), 0);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(white[k], c.white[k], 5e-5) << c.name;
            EXPECT_NEAR(ones[k], white[k], 1e-9) << c.name;
        }
    }
}

TEST_F(FineIntegration, IlluminantWithOnly10nmDataIsUsedOnTheGrid)
{
    // A user's lamp at 10 nm: the library's grid, which for 10-nm data is the 36-sample result.
    std::vector<double> wl = Grid(380.0, 10.0, 36);
    std::vector<double> power(36);
    for (int i = 0; i < 36; ++i)
        power[i] = 50.0 + i;
    const OpenIlluminant lamp(TSpectrum(wl.data(), 36, power.data()), "lamp");
    TFineIntegration fine(&lamp, &mTwo);
    ASSERT_EQ(fine.ErrNo(), 0);
    EXPECT_EQ(fine.GetMethod(), TFineIntegration::kTenNm);
    const std::vector<double> v = Sample(kRed, wl);
    double grid[3], xyz[3];
    const TSpectrum spectrum(v.data());
    ASSERT_EQ(TIlluminantAndObserver(&lamp, &mTwo, 36).GetXYZ(&spectrum, grid, 36), 0);
    ASSERT_EQ(fine.SetWavelengths(wl.data(), 36), 0);
    ASSERT_EQ(fine.GetXYZ(v.data(), 36, xyz), 0);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(xyz[k], grid[k], 1e-9);
    // Two points 5 nm apart are 5-nm data.
    const double twoWl[] = { 550.0, 555.0 }, twoPower[] = { 1.0, 1.0 };
    const OpenIlluminant pair(TSpectrum(twoWl, 2, twoPower), "pair");
    EXPECT_EQ(TFineIntegration(&pair, &mTwo).GetMethod(), TFineIntegration::kFiveNm);
}

TEST_F(FineIntegration, RefusesWhatItCannotIntegrate)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double wl[] = { 400.0, 550.0, 700.0 };
    const double values[] = { 0.5, 0.5, 0.5 };
    double xyz[3] = { -1.0, -1.0, -1.0 };
    TFineIntegration fine(mD50, &mTwo);
    EXPECT_EQ(fine.GetXYZ(values, 3, xyz), TFineIntegration::kInvalidArgument); // no wavelengths yet
    const struct {
        double wl[3];
        int code;
    } bad[] = { { { 400.0, 700.0, 550.0 }, TFineIntegration::kUnsorted },
        { { 400.0, 550.0, 550.0 }, TFineIntegration::kRepeated },
        { { 401.0, 550.0, 700.0 }, TFineIntegration::kRangeTooShort },
        { { 400.0, 550.0, 699.0 }, TFineIntegration::kRangeTooShort },
        { { 400.0, 550.0, INFINITY }, TFineIntegration::kNotFinite } };
    for (const auto& b : bad)
        EXPECT_EQ(fine.SetWavelengths(b.wl, 3), b.code) << b.wl[0] << " " << b.wl[2];
    EXPECT_EQ(fine.SetWavelengths(wl, 1), TFineIntegration::kTooFewPoints);
    EXPECT_EQ(TFineIntegration::GetXYZ(mD50, &mTwo, wl, values, 0, xyz), TFineIntegration::kTooFewPoints);
    EXPECT_EQ(fine.SetWavelengths(nullptr, 3), TFineIntegration::kInvalidArgument);
    ASSERT_EQ(fine.SetWavelengths(wl, 3), 0);
    EXPECT_EQ(fine.GetXYZ(values, 2, xyz), TFineIntegration::kLengthMismatch);
    const double withNaN[] = { 0.5, nan, 0.5 };
    EXPECT_EQ(fine.GetXYZ(withNaN, 3, xyz), TFineIntegration::kNotFinite);
    EXPECT_EQ(xyz[0], -1.0);
    // Flat beyond the measured range: a constant 0.5 is half the white.
    ASSERT_EQ(fine.GetXYZ(values, 3, xyz), 0);
    double white[3];
    fine.GetXYZWhite(white);
    EXPECT_NEAR(xyz[1], 50.0, 1e-12);
    EXPECT_NEAR(xyz[0], white[0] / 2.0, 1e-12);
    // No illuminant, or one without luminance.
    EXPECT_EQ(TFineIntegration(nullptr, &mTwo).ErrNo(), TFineIntegration::kInvalidArgument);
    const double zeros[] = { 0.0, 0.0 };
    const double twoWl[] = { 380.0, 780.0 };
    const OpenIlluminant dark(TSpectrum(twoWl, 2, zeros), "dark");
    EXPECT_EQ(TFineIntegration(&dark, &mTwo).ErrNo(), TFineIntegration::kNoIlluminant);
    EXPECT_EQ(TFineIntegration::GetXYZ(&dark, &mTwo, wl, values, 3, xyz), TFineIntegration::kNoIlluminant);
}

TEST(FineIntegrationGrid, OnlyStepsBelow10nmCountAsFiner)
{
    EXPECT_TRUE(TFineIntegration::IsFinerThanGrid(k5nm.data(), 81));
    EXPECT_TRUE(TFineIntegration::IsFinerThanGrid(k3nm.data(), 106));
    const std::vector<double> ten = Grid(400.0, 10.0, 31);
    EXPECT_FALSE(TFineIntegration::IsFinerThanGrid(ten.data(), 31));
    const double gap[] = { 400.0, 405.0, 420.0 };
    EXPECT_FALSE(TFineIntegration::IsFinerThanGrid(gap, 3));
    const double descending[] = { 410.0, 405.0, 400.0 };
    EXPECT_FALSE(TFineIntegration::IsFinerThanGrid(descending, 3));
    // Within a millionth of a nanometre of whole numbers wavelengths count as whole; further off not.
    const double near[] = { 380.0000005, 390.0, 399.9999995 };
    EXPECT_EQ(TFineIntegration::EvenStep(near, 3), 10);
    EXPECT_EQ(TFineIntegration::EvenStep(near + 1, 2), 10); // two points make a step
    const double off[] = { 380.00001, 390.0, 400.0 };
    EXPECT_EQ(TFineIntegration::EvenStep(off, 3), 0);
}

TEST_F(FineIntegration, GridValuesAreTheTriangularTenNanometreBands)
{
    // ASTM E308: a 10-nm value is 0.25 R(λ - 5) + 0.5 R(λ) + 0.25 R(λ + 5). A line at 545 nm alone
    // falls a quarter into the 540 and 550 nm bands; a line at 550 nm half into its own.
    std::vector<double> v(81, 0.0);
    v[33] = 1.0; // 545 nm
    v[34] = 2.0; // 550 nm
    TFineIntegration fine(mD50, &mTwo);
    ASSERT_EQ(fine.SetWavelengths(k5nm.data(), 81), 0);
    double grid[36];
    ASSERT_EQ(fine.GetGridValues(v.data(), 81, grid), 0);
    for (int g = 0; g < 36; ++g) {
        const double expected = g == 16 ? 0.25 : g == 17 ? 0.25 + 1.0 : 0.0;
        EXPECT_DOUBLE_EQ(grid[g], expected) << 380 + 10 * g << " nm";
    }
    EXPECT_EQ(fine.GetGridValues(v.data(), 80, grid), TFineIntegration::kLengthMismatch);
    // Between the data's points R is the straight line: at 3 nm a ramp's band is the ramp at λ.
    std::vector<double> nm, ramp;
    for (double w = 371.0; w <= 740.0; w += 3.0) {
        nm.push_back(w);
        ramp.push_back(w / 1000.0);
    }
    ASSERT_EQ(fine.SetWavelengths(nm.data(), static_cast<int>(nm.size())), 0);
    ASSERT_EQ(fine.GetGridValues(ramp.data(), static_cast<int>(ramp.size()), grid), 0);
    for (int g = 0; g < 36; ++g)
        EXPECT_NEAR(grid[g], (380 + 10 * g) / 1000.0, 1e-12) << 380 + 10 * g << " nm";
}
