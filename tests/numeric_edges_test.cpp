// Numeric edges: NaN, infinities and values past what a record holds, through the interpolator,
// spectra and their records, illuminants, the integrator, the measurements and CIECAM97s (the
// negative cone responses of both appearance models: their own tests).
#include <tintvale/tcolorspace_ciecam97s.h>
#include <tintvale/temissionspectrum.h>
#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tlabmeasurement.h>
#include <tintvale/tobserver.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/txyzmeasurement.h>

#include "halden.h"
#include "illuminant_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kD65[3] = { 95.047, 100.0, 108.883 };
const double kD50[3] = { 96.422, 100.0, 82.521 };

// The text form of n points at 300 + 0.01 i nm, all of value 0.5.
std::string PointsText(int n)
{
    std::string text = std::to_string(n);
    for (int i = 0; i < n; ++i)
        text += ' ' + std::to_string(300.0 + 0.01 * i);
    for (int i = 0; i < n; ++i)
        text += " 0.5";
    return text;
}

TSpectrum WithSample(int i, double value)
{
    TSpectrum s = Ramp(0.5, 0.0);
    s.Data(i) = value;
    return s;
}

} // namespace

TEST(NumericEdgesInterpolator, NeverLeavesItsPointsAndRejectsNonFinitePoints)
{
    // Two point sets: (400, 1), (450, 2), (500, 3), inserted out of order; and (-1.5e308, -1.5e308),
    // (1.5e308, 1.5e308), whose differences overflow.
    lin_interp_double* small = lin_interp_double_new(2, 0);
    // A negative count of expected points is no count: the set starts without a reservation.
    lin_interp_double* huge = lin_interp_double_new(-5, 0);
    ASSERT_NE(huge, nullptr);
    double y = 7.0;
    EXPECT_LT(lin_interp_double_inter(small, 450.0, &y), 0) << "no points yet";
    const double points[][2] = { { 500.0, 3.0 }, { 400.0, 1.0 }, { 450.0, 2.0 } };
    for (const auto& p : points)
        ASSERT_EQ(lin_interp_double_insert(small, p[0], p[1]), 0);
    ASSERT_EQ(lin_interp_double_insert(huge, -1.5e308, -1.5e308), 0);
    ASSERT_EQ(lin_interp_double_insert(huge, 1.5e308, 1.5e308), 0);
    for (const auto& bad :
        { std::pair(450.0, kInf), std::pair(450.0, -kInf), std::pair(kNaN, 1.0), std::pair(450.0, kNaN) })
        EXPECT_LT(lin_interp_double_insert(small, bad.first, bad.second), 0)
            << bad.first << " " << bad.second;
    EXPECT_LT(lin_interp_double_insert(nullptr, 1.0, 1.0), 0);
    const struct {
        lin_interp_double* h;
        double x, y;
        bool refused;
    } rows[] = { { small, kNaN, 7.0, true }, { small, -kInf, 1.0, false }, { small, kInf, 3.0, false },
        { small, -1e308, 1.0, false }, { small, 1e308, 3.0, false }, { small, 475.0, 2.5, false },
        { small, 450.0, 2.0, false }, { huge, kNaN, 7.0, true }, { huge, 0.0, 0.0, false },
        { huge, 7.5e307, 7.5e307, false } };
    for (const auto& r : rows) {
        y = 7.0;
        EXPECT_EQ(lin_interp_double_inter(r.h, r.x, &y) < 0, r.refused) << r.x;
        EXPECT_DOUBLE_EQ(y, r.y) << r.x;
    }
    // Points added after an evaluation take part in the next one.
    lin_interp_double_insert(small, 600.0, 7.0);
    lin_interp_double_inter(small, 550.0, &y);
    EXPECT_DOUBLE_EQ(y, 5.0);
    // A second point at 450 comes after the first: 450 itself reads the first, just above it the
    // line from the second; evaluated up, then down, then out of order, as spectra are read.
    lin_interp_double_insert(small, 450.0, 9.0);
    lin_interp_double_insert(small, 300.0, 0.0);
    const double expected[][2]
        = { { 350.0, 0.5 }, { 425.0, 1.5 }, { 450.0, 2.0 }, { 475.0, 6.0 }, { 575.0, 6.0 }, { 475.0, 6.0 },
              { 425.0, 1.5 }, { 350.0, 0.5 }, { 550.0, 5.0 }, { 300.0, 0.0 }, { 460.0, 7.8 } };
    for (const auto& e : expected) {
        ASSERT_EQ(lin_interp_double_inter(small, e[0], &y), 0);
        EXPECT_DOUBLE_EQ(y, e[1]) << e[0];
    }
    lin_interp_double_kill(small);
    lin_interp_double_kill(huge);
}

TEST(NumericEdgesSpectrum, ResamplingRefusesNonFiniteEndsAndWritesNothing)
{
    const TSpectrum ramp = Ramp(0.0, 1.0);
    const double rows[][2] = { { kNaN, 700.0 }, { 400.0, kNaN }, { kInf, 700.0 }, { -kInf, kInf } };
    for (const auto& r : rows) {
        std::vector<double> out(5, 7.0);
        EXPECT_EQ(ramp.GetNonUniformSpectrum(r[0], r[1], 5, out.data()), 4) << r[0] << " " << r[1];
        EXPECT_EQ(out, std::vector<double>(5, 7.0)) << r[0] << " " << r[1];
    }
    EXPECT_EQ(ramp.GetNonUniformSpectrum(400.0, 700.0, 3, nullptr), 2);
    EXPECT_EQ(ramp.GetNonUniformSpectrum(kNaN, kInf, 0, nullptr), 0); // nothing asked, nothing refused
    // Far but finite ends land on the flat extensions: sample 0 at -1e300 and 0 nm, 35 at 1e300.
    std::vector<double> far(3);
    ASSERT_EQ(ramp.GetNonUniformSpectrum(-1e300, 1e300, 3, far.data()), 0);
    EXPECT_EQ(far, (std::vector<double> { 0.0, 0.0, 35.0 }));
}

TEST(NumericEdgesSpectrum, InfinitePointsAreRejectedInTextAndIlluminantFiles)
{
    for (std::string text : { "1 500 +inf", "1 500 -inf", "2 400 600 1 +inf", "1 +inf 1", "1 500 -nan" })
        EXPECT_EQ(TSpectrum(text.data()).ErrNo(), 4) << text;
    TempDir dir;
    TempDir::Write(dir.File("finite.ill"), "ORVITEXTFinite\n2 400 700 1 2\n");
    TempDir::Write(dir.File("infinite.ill"), "ORVITEXTInfinite\n2 400 700 1 +inf\n");
    EXPECT_EQ(OpenIlluminant(dir.File("infinite.ill").c_str()).ErrNo(), 4);
    TIlluminantFactory factory;
    factory.AddDirectory(dir.Path().string().c_str());
    const auto list = factory.GetListOfIlluminants();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0]->GetName(), "Finite");
}

// The long record keeps the count in 16 bits and the reader takes at most 1024 points; the value
// block's mantissa is value * 65535 / 2^e, whose product overflows from 1.797e308 / 65535 = 2.743e303.
TEST(NumericEdgesSpectrum, RecordsThatWouldNotReadBackAreNotWritten)
{
    const struct {
        const char* what;
        TSpectrum spectrum;
        bool written;
    } rows[] = {
        { "1024 points", TSpectrum(PointsText(1024).data()), true },
        { "1025 points", TSpectrum(PointsText(1025).data()), false },
        { "65546 points (count 10 mod 2^16)", TSpectrum(PointsText(65546).data()), false },
        { "a sample of 2.7e303", WithSample(5, 2.7e303), true },
        { "a sample of 2.75e303", WithSample(5, 2.75e303), false },
        { "an infinite sample", WithSample(5, kInf), false },
    };
    for (const auto& r : rows) {
        TSpectrum reference(r.spectrum);
        int shortSize = -1, size = -1;
        EXPECT_EQ(r.spectrum.ToShrtFileData(&reference, &shortSize) != nullptr, r.written) << r.what;
        const char* record = r.spectrum.ToFileData(&size);
        EXPECT_EQ(record != nullptr, r.written) << r.what;
        EXPECT_EQ(size == 0 && shortSize == 0 && r.spectrum.ErrNo() == 3, !r.written) << r.what;
        if (r.written) {
            // Sample 5 holds the largest value, which keeps 15 bits.
            std::vector<char> copy(record, record + size);
            TSpectrum back(static_cast<void*>(copy.data()), nullptr);
            EXPECT_EQ(back.ErrNo(), 0) << r.what;
            EXPECT_NEAR(
                back.Data(5) / r.spectrum.GetUniformSpectrum(nullptr, nullptr, nullptr)[5], 1.0, 1.0 / 32768)
                << r.what;
        }
    }
    // A uniform long record with exponent 1100 and every mantissa 0x8000: 2^1099 is past the doubles.
    std::vector<unsigned char> overflowing = { 0, 0, 0x4C, 0x04 };
    for (int i = 0; i < 36; ++i)
        overflowing.insert(overflowing.end(), { 0x00, 0x80 });
    TSpectrum reference;
    EXPECT_EQ(TSpectrum(static_cast<void*>(overflowing.data()), nullptr).ErrNo(), 3);
    EXPECT_EQ(TSpectrum(&reference, overflowing.data() + 2, nullptr).ErrNo(), 3);
}

TEST(NumericEdgesIntegration, AnIntegratorInErrorReturnsItsErrorAndWritesNothing)
{
    const TObserver observer(0);
    const TSpectrum paper = Ramp(0.8, 0.0);
    for (TSpectrum light : { Ramp(0.0, 0.0), Ramp(-0.5, 0.0), WithSample(20, kNaN) }) {
        const OpenIlluminant lamp(light, "Lamp");
        const TIlluminantAndObserver io(&lamp, &observer, 36);
        EXPECT_EQ(io.ErrNo(), 2) << light.Data(0);
        std::vector<double> xyz(3, 7.0);
        EXPECT_TRUE(io.GetXYZWhite(xyz.data()) == 2 && io.GetXYZ(&paper, xyz.data(), 36) == 2);
        EXPECT_EQ(io.GetXYZ(paper.GetUniformSpectrum(nullptr, nullptr, nullptr), xyz.data(), 36), 2);
        EXPECT_EQ(xyz, std::vector<double>(3, 7.0)) << light.Data(0);
    }
}

TEST(NumericEdgesMeasurement, NonFiniteValuesGiveStatus4AndNoResult)
{
    const TObserver obs(0);
    const OpenIlluminant light(Ramp(100.0, 0.0), "E");
    const TMeasGeom geom(0);
    const TSpectrum nanLight = WithSample(30, kNaN);
    std::unique_ptr<TOneMeasurement> rows[] = {
        std::make_unique<TXYZMeasurement>(kNaN, 50.0, 50.0, &geom, &light, &obs),
        std::make_unique<TXYZMeasurement>(50.0, kInf, 50.0, &geom, &light, &obs),
        std::make_unique<TLABMeasurement>(kNaN, 0.0, 0.0, kD65, &geom, &light, &obs),
        std::make_unique<TLABMeasurement>(50.0, -kInf, 0.0, kD65, &geom, &light, &obs),
        std::make_unique<TReflectionSpectrum>(WithSample(17, kNaN), &geom),
        std::make_unique<TReflectionSpectrum>(WithSample(3, kInf), &geom),
        std::make_unique<TEmissionSpectrum>(&nanLight, &geom),
    };
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        std::vector<double> xyz(3, 7.0), lab(3, 7.0);
        EXPECT_EQ(rows[k]->GetXYZ(&light, &obs, xyz.data()), TOneMeasurement::kNotFinite) << "row " << k;
        EXPECT_EQ(rows[k]->GetLAB(&light, &obs, kD50, lab.data()), TOneMeasurement::kNotFinite)
            << "row " << k;
        EXPECT_EQ(xyz, std::vector<double>(3, 7.0)) << "row " << k;
        EXPECT_EQ(lab, std::vector<double>(3, 7.0)) << "row " << k;
    }
    // A finite L* whose cube overflows: no XYZ either.
    std::vector<double> xyz(3, 7.0);
    EXPECT_EQ(TLABMeasurement(1e200, 0.0, 0.0, kD65, &geom, &light, &obs).GetXYZ(&light, &obs, xyz.data()),
        TOneMeasurement::kNotFinite);
    EXPECT_EQ(xyz, std::vector<double>(3, 7.0));
}

TEST(NumericEdgesAppearance, CIECAM97sGivesBlackAndRefusesWhatItCannotCompute)
{
    const TColorSpace_CIECAM97s d65(kD65, 0);
    const double black[3] = { 0.0, 0.0, 0.0 };
    double jch[3] = { 7.0, 7.0, 7.0 }, xyz[3] = { 7.0, 7.0, 7.0 };
    ASSERT_EQ(d65.FromXYZ(black, jch), 0);
    EXPECT_TRUE(jch[0] == 0.0 && jch[1] == 0.0);
    ASSERT_EQ(d65.ToXYZ(jch, xyz), 0);
    EXPECT_TRUE(xyz[0] == 0.0 && xyz[1] == 0.0 && xyz[2] == 0.0);
    // Light at 380 nm alone has Y = 0 in the 5 nm CIE 1931 table, which the model divides by.
    const double violet[3] = { 0.000635, 0.0, 0.00295 }, nan[3] = { NAN, 1.0, 1.0 };
    EXPECT_EQ(d65.FromXYZ(violet, jch), 1);
    EXPECT_EQ(d65.FromXYZ(nan, jch), 1);
    // Under illuminant A: reflectance 1 at 380 and 385 nm and 0 elsewhere (the 5 nm CIE tables of A
    // and the 1931 observer summed with NumPy, the white at Y = 100). The forward model takes it;
    // the published inverse's estimate Y' of Y comes out negative and has no real result.
    const double a[3] = { 109.85, 100.0, 35.585 }, band[3] = { 0.0017467, 5.0511e-5, 0.0082541 };
    const TColorSpace_CIECAM97s underA(a, 0);
    ASSERT_EQ(underA.FromXYZ(band, jch), 0);
    EXPECT_EQ(underA.ToXYZ(jch, xyz), 1);
}
