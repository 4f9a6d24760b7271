// TLabSpace: conversions, branch thresholds, the difference formulas and the spot colour tone value.
// Reference values were computed independently (a separate Python implementation written from
// CIE 15:2004, CIE 116-1995, CIE 142-2001 and the CMC l:c definition, in degrees where those use
// degrees) or come from Sharma, Wu and Dalal, Color Res. Appl. 30(1), 2005, Table 1.
#include <tintvale/tlabspace.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <array>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const double kD50[3] = { 96.422, 100.0, 82.521 };
const double kD65[3] = { 95.047, 100.0, 108.883 };
constexpr double kPi = 3.14159265358979323846;

double DeltaE(const double* a, const double* b, int i)
{
    return std::sqrt(TLabSpace::CalcSquareDeltaEConvertedStatic(a, b, i));
}

// CIEDE2000 exactly as Sharma, Wu and Dalal write it, in degrees with four separate cosines.
double ReferenceDeltaE2000(const double* p1, const double* p2, double kL)
{
    auto rad = [](double d) { return d * kPi / 180.0; };
    auto deg = [](double r) { return r * 180.0 / kPi; };
    const double c1 = std::hypot(p1[1], p1[2]), c2 = std::hypot(p2[1], p2[2]);
    const double cb = (c1 + c2) / 2.0;
    const double g = 0.5 * (1.0 - std::sqrt(std::pow(cb, 7) / (std::pow(cb, 7) + std::pow(25.0, 7))));
    const double a1 = (1.0 + g) * p1[1], a2 = (1.0 + g) * p2[1];
    const double cp1 = std::hypot(a1, p1[2]), cp2 = std::hypot(a2, p2[2]);
    const double h1 = cp1 == 0.0 ? 0.0 : std::fmod(deg(std::atan2(p1[2], a1)) + 360.0, 360.0);
    const double h2 = cp2 == 0.0 ? 0.0 : std::fmod(deg(std::atan2(p2[2], a2)) + 360.0, 360.0);
    double dh = cp1 * cp2 == 0.0 ? 0.0 : h2 - h1;
    dh += dh > 180.0 ? -360.0 : (dh < -180.0 ? 360.0 : 0.0);
    const double dL = p2[0] - p1[0], dC = cp2 - cp1;
    const double dH = 2.0 * std::sqrt(cp1 * cp2) * std::sin(rad(dh / 2.0));
    const double lb = (p1[0] + p2[0]) / 2.0, cbp = (cp1 + cp2) / 2.0;
    double hb = h1 + h2;
    if (cp1 * cp2 != 0.0)
        hb = std::fabs(h1 - h2) <= 180.0 ? hb / 2.0 : (hb < 360.0 ? (hb + 360.0) / 2.0 : (hb - 360.0) / 2.0);
    const double t = 1.0 - 0.17 * std::cos(rad(hb - 30.0)) + 0.24 * std::cos(rad(2.0 * hb))
        + 0.32 * std::cos(rad(3.0 * hb + 6.0)) - 0.20 * std::cos(rad(4.0 * hb - 63.0));
    const double dTheta = 30.0 * std::exp(-std::pow((hb - 275.0) / 25.0, 2));
    const double rc = 2.0 * std::sqrt(std::pow(cbp, 7) / (std::pow(cbp, 7) + std::pow(25.0, 7)));
    const double sl = 1.0 + 0.015 * std::pow(lb - 50.0, 2) / std::sqrt(20.0 + std::pow(lb - 50.0, 2));
    const double sc = 1.0 + 0.045 * cbp, sh = 1.0 + 0.015 * cbp * t;
    const double rt = -std::sin(rad(2.0 * dTheta)) * rc;
    const double tl = dL / (kL * sl), tc = dC / sc, th = dH / sh;
    return std::sqrt(tl * tl + tc * tc + th * th + rt * tc * th);
}

struct SharmaPair {
    double lab1[3], lab2[3], expected;
};

std::vector<SharmaPair> ReadSharma()
{
    std::vector<SharmaPair> pairs;
    for (const auto& r : CsvRows(std::string(TINTVALE_SOURCE_DIR) + "/tests/data/ciede2000_sharma.csv"))
        pairs.push_back({ { r.at(0), r.at(1), r.at(2) }, { r.at(3), r.at(4), r.at(5) }, r.at(6) });
    return pairs;
}

} // namespace

TEST(TLabSpaceConstruction, NegativeWhitePolarFormSaturationAndChangeOfWhite)
{
    MessageCapture capture;
    const double white[3] = { -1.0, 100.0, -5.0 }, atPi[3] = { 60.0, kPi, 10.0 };
    double out[3];
    TLabSpace space(white);
    EXPECT_EQ(space.ErrNo(), 2);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_NE(capture.messages[0].file.find("tlabspace"), std::string::npos);
    // X was set to 0; Z stayed -5 (checking stops at the first): Z = 5 gives t = -1 on the linear branch.
    const double xyz[3] = { 0.0, 100.0, 5.0 };
    double lab[3];
    space.XYZToLab(xyz, lab);
    EXPECT_NEAR(lab[2], 200.0 * (1.0 - (-7.787079 + 0.137931)), 1e-9);
    TLabSpace assigned(kD50);
    assigned = space;
    EXPECT_EQ(assigned.ErrNo(), 2);
    EXPECT_EQ(TLabSpace(nullptr).ErrNo(), 2);
    // A zero, denormal or non-finite component divides into infinities: refused, and what is
    // converted under it says it is no number.
    const double bad[][3]
        = { { 0.0, 0.0, 0.0 }, { 96.4, 4e-320, 82.5 }, { 96.4, 100.0, NAN }, { INFINITY, 100.0, 82.5 } };
    for (const auto& w : bad) {
        const TLabSpace badSpace(w);
        EXPECT_EQ(badSpace.ErrNo(), 2) << w[1];
        EXPECT_EQ(badSpace.XYZToLab(xyz, lab), 1) << w[1];
        EXPECT_EQ(badSpace.LabToXYZ(atPi, out), 1) << w[1];
    }
    EXPECT_EQ(capture.messages.size(), 2u + std::size(bad)); // the negative and the null white too
    EXPECT_EQ(TLabSpace(kD50).XYZToLab(xyz, lab), 0);
    // Polar form (its quadrants: the Python tests), saturation and change of white.
    // At pi: a* = -C, and b* keeps the small positive residue of tan(pi) (no negation at h = pi).
    TLabSpace::LHCToLab(atPi, out);
    EXPECT_EQ(out[1], -10.0);
    EXPECT_TRUE(out[2] > 0.0 && out[2] < 1e-14);

    const TLabSpace d50(kD50);
    const double xyzA[3] = { 20.0, 30.0, 40.0 }, xyz2[3] = { 40.0, 35.0, 30.0 };
    double sqSat = -1.0;
    EXPECT_EQ(d50.GetSqSat(xyzA, &sqSat), 0);
    EXPECT_NEAR(sqSat, 38.741750931034 * 38.741750931034 + 23.220276009448 * 23.220276009448, 1e-7);
    double lab2[3], relabelled[3], moved[3] = { 40.0, 35.0, 30.0 };
    d50.XYZToLab(xyz2, lab2);
    EXPECT_EQ(d50.LabToLab(lab2, relabelled, kD65), 0);
    const double expected[3] = { 65.748665291953, 22.329458661193, 10.804101137905 };
    // Lab under D50 read back under D65 scales XYZ by the white ratio (cube-root region).
    EXPECT_EQ(TLabSpace::XYZToLabToXYZ(kD50, kD65, moved), 0);
    EXPECT_EQ(TLabSpace::XYZToLabToXYZ(kD50, kD65, nullptr), 2);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(relabelled[i], expected[i], 1e-9);
        EXPECT_NEAR(moved[i], xyz2[i] * kD65[i] / kD50[i], 1e-10);
    }
    // A white of half the luminance scales f(Y) too: CIE 15 XYZ -> Lab under the halved D50,
    // computed once in NumPy from Lab 65, 20, 10 under D50.
    const double halfD50[3] = { kD50[0] / 2, kD50[1] / 2, kD50[2] / 2 };
    const double halfExpected[3] = { 86.053605041485, 25.198420997897, 12.599210498949 };
    ASSERT_EQ(d50.LabToLab(std::array<double, 3> { 65.0, 20.0, 10.0 }.data(), relabelled, halfD50), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(relabelled[i], halfExpected[i], 1e-9);
}

TEST(TLabSpaceConversion, KnownValuesThresholdsAndFastPathUnderD50)
{
    const TLabSpace space(kD50);
    const double cases[][6] = { { 41.24, 21.26, 1.93, 53.232881785843, 78.301394636634, 62.171659116024 },
        { 0.5, 0.4, 0.3, 3.613200656000, 4.615941251208, 0.567774226284 },
        { 20.0, 30.0, 40.0, 61.654222209532, -38.741750931034, -23.220276009448 } };
    for (const auto& c : cases) {
        double lab[3], back[3];
        EXPECT_EQ(space.XYZToLab(c, lab), 0);
        EXPECT_EQ(space.LabToXYZ(lab, back), 0);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(lab[i], c[3 + i], 1e-9);
            EXPECT_NEAR(back[i], c[i], 1e-9 * (1.0 + c[i]));
        }
    }
    // White, black, negative components (clamped to 0), Lab (0, 0, 0) just above black (f = 16/116
    // lies above 0.137931) and L* = -1 (every f below the offset, clamped to 0).
    const double black[3] = { 0.0, 0.0, 0.0 }, negative[3] = { -5.0, 30.0, -1.0 },
                 clamped[3] = { 0.0, 30.0, 0.0 }, labNegative[3] = { -1.0, 0.0, 0.0 };
    double lab[3], expected[3], xyz[3], back[3];
    space.XYZToLab(kD50, lab);
    EXPECT_NEAR(lab[0] + std::fabs(lab[2]), 100.0, 1e-12);
    space.XYZToLab(black, lab);
    EXPECT_DOUBLE_EQ(lab[0], 116.0 * 0.137931 - 16.0);
    space.XYZToLab(negative, lab);
    space.XYZToLab(clamped, expected);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(lab[i], expected[i]);
    space.LabToXYZ(black, xyz);
    EXPECT_NEAR(xyz[2] / kD50[2], 4.4282019767263362e-09, 1e-20);
    space.LabToXYZ(labNegative, xyz);
    EXPECT_EQ(xyz[0] + xyz[1] + xyz[2], 0.0);
    // Branch thresholds are inclusive. With a unit white, t equals X exactly; 0.008856 takes the linear
    // branch (the cube root: 7.99959199306).
    const double unit[3] = { 1.0, 1.0, 1.0 }, edge[3] = { 0.008856, 0.008856, 0.008856 };
    TLabSpace(unit).XYZToLab(edge, lab);
    EXPECT_NEAR(lab[0], 7.999631108384, 1e-10);
    // f exactly 0.206893 takes the inverse linear branch (f^3 would give 0.885599557960).
    const double labAt[3] = { 116.0 * 0.206893 - 16.0, 0.0, 0.0 };
    TLabSpace(kD50).LabToXYZ(labAt, back);
    EXPECT_NEAR(back[1], 100.0 * 0.00885595227684219, 1e-13);
    // The fast path agrees in single precision.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-2.0, 110.0);
    std::vector<double> many(3000), fast(3000, -99.0);
    for (double& v : many)
        v = u(rng);
    std::copy(kD50, kD50 + 3, many.begin()); // a white and a black among them
    many[3] = many[4] = many[5] = 0.0;
    EXPECT_EQ(space.FastXYZToLab(many.data(), fast.data(), 1000), 0);
    for (int i = 0; i < 3000; i += 3) {
        space.XYZToLab(&many[i], lab);
        for (int k = 0; k < 3; ++k)
            ASSERT_NEAR(fast[i + k], lab[k], 2e-4) << "triple " << i / 3;
    }
    EXPECT_EQ(fast[0] + std::fabs(fast[1]), 100.0);
    EXPECT_NEAR(fast[3], -0.000004, 1e-6);
}

TEST(TLabSpaceDifference, Ciede2000MatchesSharmaTestData)
{
    const std::vector<SharmaPair> sharma = ReadSharma();
    ASSERT_EQ(sharma.size(), 34u);
    for (const SharmaPair& p : sharma) {
        EXPECT_NEAR(DeltaE(p.lab1, p.lab2, 2), p.expected, 0.5e-4) << p.lab1[0];
        EXPECT_NEAR(DeltaE(p.lab2, p.lab1, 2), p.expected, 0.5e-4) << p.lab1[0] << " reversed";
    }
    // The literal formula as an oracle: random pairs near and far, chromatic and grey, including exactly
    // opposite hues.
    std::mt19937 rng(142);
    std::uniform_real_distribution<double> l(0.0, 100.0), ab(-120.0, 120.0), d(-8.0, 8.0);
    // The fixed rows: opposite hues, greys, a chroma that underflows to 0, hues a hair from opposite.
    std::vector<std::pair<std::vector<double>, std::vector<double>>> pairs
        = { { { 50, 10, 0 }, { 50, -10, 0 } }, { { 50, 0, 0 }, { 60, 0, 0 } },
              { { 50, 0, 0 }, { 60, 5, -5 } }, { { 50, 0, 4e-320 }, { 55, 3, 4 } },
              { { 50, 20, 20 }, { 50, 20.000001, 19.999999 } }, { { 50, -3, 1e-9 }, { 50, 3, 1e-9 } } };
    for (int i = 0; i < 4000; ++i) {
        std::vector<double> a { l(rng), ab(rng), ab(rng) };
        pairs.push_back({ a, { a[0] + d(rng), a[1] + d(rng), a[2] + d(rng) } });
        pairs.push_back({ a, { l(rng), ab(rng), ab(rng) } });
    }
    for (double b : { 0.004, 0.007, 0.01, 0.015, 0.03 }) // about 0.001 rad from opposite and beyond
        pairs.push_back({ { 50, -10, b }, { 52, 10, 0 } });
    for (const auto& [a, b] : pairs) {
        for (double kL : { 1.0, 2.0 }) {
            const double expected = ReferenceDeltaE2000(a.data(), b.data(), kL);
            const double got = DeltaE(a.data(), b.data(), kL == 1.0 ? 2 : 5);
            ASSERT_NEAR(got, expected, 1e-10 * (1.0 + expected)) << a[0] << " " << a[1] << " " << a[2];
        }
    }
}

TEST(TLabSpaceDifference, OtherFormulasPartialsToneValueRefusalsAndNames)
{
    // Each formula both ways (CIE94 and CMC take the second colour as reference); a dark reference,
    // where the CMC lightness weight stops at 0.511.
    const auto published = CsvRows(TINTVALE_SOURCE_DIR "/tests/data/lab_difference_formulas.csv");
    ASSERT_EQ(published.size(), 21u);
    for (const auto& r : published) {
        const int index = static_cast<int>(r.at(6));
        EXPECT_NEAR(DeltaE(&r[0], &r[3], index), r[7], 1e-9) << index;
        EXPECT_TRUE(r[8] < 0.0 || std::fabs(DeltaE(&r[3], &r[0], index) - r[8]) < 1e-9) << index;
    }
    // Identical colours, unknown indices, null pointers and the XYZ forms.
    const double lab[3] = { 55.0, -12.0, 33.0 };
    for (int index = -1; index <= 6; ++index) // indices -1 and 6 are unknown
        EXPECT_EQ(TLabSpace::CalcSquareDeltaEConvertedStatic(lab, lab, index),
            (index < 0 || index > 5) ? -1.0 : 0.0)
            << index;
    EXPECT_EQ(TLabSpace::CalcSquareDeltaEConvertedStatic(nullptr, lab, 0), -1.0);
    // A missing (NaN) or infinite coordinate in either colour has no difference in any formula,
    // never 0; nor has a difference that overflows.
    for (const double bad : { std::nan(""), HUGE_VAL, -HUGE_VAL })
        for (int k = 0; k < 6; ++k) {
            double odd[3] = { 50.0, 0.0, 0.0 };
            odd[k % 3] = bad;
            const int index = k;
            EXPECT_EQ(TLabSpace::CalcSquareDeltaEConvertedStatic(odd, lab, index), -1.0) << bad << k;
            EXPECT_EQ(TLabSpace::CalcSquareDeltaEConvertedStatic(lab, odd, 5 - index), -1.0) << bad << k;
        }
    const double far[3] = { 1e200, 0.0, 0.0 };
    EXPECT_EQ(TLabSpace::CalcSquareDeltaEConvertedStatic(far, lab, 0), -1.0);
    const double nanXyz[3] = { std::nan(""), 30.0, 40.0 };
    EXPECT_EQ(TLabSpace(kD50).CalcDeltaE(nanXyz, nanXyz, 2), -1.0);
    const TLabSpace space(kD50);
    const double xyz1[3] = { 20.0, 30.0, 40.0 }, xyz2[3] = { 22.0, 29.0, 41.0 };
    double out[3], lab1[3], lab2[3];
    EXPECT_EQ(space.CalcDeltaE(xyz1, xyz2, 6), -1.0);
    EXPECT_EQ(TLabSpace::LabToLHC(nullptr, out) + space.XYZToLab(nullptr, out) + space.LabToXYZ(out, nullptr)
            + space.FastXYZToLab(nullptr, out, 1) + space.XYZToLHC(nullptr, out)
            + space.XYZToLHC(xyz1, nullptr),
        12);
    EXPECT_EQ(space.GetSqSat(nullptr, out), -1);
    space.XYZToLab(xyz1, lab1);
    space.XYZToLab(xyz2, lab2);
    EXPECT_EQ(space.CalcDeltaE(xyz1, xyz2, 4), DeltaE(lab1, lab2, 4));
    // Partial differences.
    const double a[3] = { 50.0, 3.0, 4.0 }, b[3] = { 60.0, 4.0, 3.0 };
    EXPECT_DOUBLE_EQ(TLabSpace::CalcSquareDeltaCHConvertedStatic(a, b), 2.0);
    // Equal chroma: all of the chromatic difference is hue.
    EXPECT_NEAR(TLabSpace::CalcSquareDeltaHConvertedStatic(a, b), 2.0, 1e-12);
    const double c[3] = { 50.0, 6.0, 8.0 };
    EXPECT_NEAR(TLabSpace::CalcSquareDeltaHConvertedStatic(a, c), 0.0, 1e-12);
    // Spot colour tone value.
    const double tint[3] = { 70, 20, -10 }, paper[3] = { 95, 0, -2 }, solid[3] = { 50, 60, -40 };
    EXPECT_NEAR(TLabSpace::CalcSCTV(tint, paper, solid), 0.642887861924, 1e-12);
    EXPECT_EQ(TLabSpace::CalcSCTV(paper, paper, solid), 0.0);
    EXPECT_NEAR(TLabSpace::CalcSCTV(solid, paper, solid), 1.0, 1e-15);
    EXPECT_EQ(TLabSpace::CalcSCTV(tint, paper, paper), 0.0);
    EXPECT_NEAR(TLabSpace::CalcSCTV(tint, paper, nullptr), 38.132128186085, 1e-10);
    EXPECT_NEAR(TLabSpace::CalcSCTV(tint, nullptr, nullptr), 127.345080784457, 1e-10);
    // Formula names: case is ignored, spaces are not. Common names resolve to their formula; anything else is
    // -1, never a silent CIE76.
    const std::pair<const char*, int> rows[] = { { "delta e 2000", 2 }, { "CIEDE2000", 2 }, { "dE00", 2 },
        { "cie 2000", 2 }, { "CIE94", 1 }, { "dE94", 1 }, { "CIE76", 0 }, { "dE76", 0 }, { "cmc(2:1)", 4 },
        { "CMC", 4 }, { "CMC 1:1", 3 }, { "Delta E 2000 ", -1 }, { "CIE", -1 }, { "", -1 }, { nullptr, -1 } };
    for (const auto& [name, index] : rows)
        EXPECT_EQ(TLabSpace::DifferenceFunctionNameToIndex(name), index) << (name ? name : "null");
    EXPECT_EQ(TLabSpace::GetDifferenceFunctionAliases(6), nullptr);
    // A name or alias shared by two rows would silently pick the first; every one must lead back to
    // its own row, in any letter case.
    const int n = TLabSpace::GetDifferenceFunctionListSize();
    ASSERT_EQ(n, 6);
    for (int i = 0; i < n; ++i) {
        std::vector<std::string> names = { TLabSpace::GetDifferenceFunctionList()[i] };
        for (const char* const* alias = TLabSpace::GetDifferenceFunctionAliases(i); *alias; ++alias)
            names.emplace_back(*alias);
        for (std::string name : names) {
            EXPECT_EQ(TLabSpace::DifferenceFunctionNameToIndex(name.c_str()), i) << name;
            std::transform(
                name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
            EXPECT_EQ(TLabSpace::DifferenceFunctionNameToIndex(name.c_str()), i) << name;
        }
    }
    EXPECT_EQ(TLabSpace::GetDifferenceFunctionAliases(-1), nullptr);
    // The default is CIEDE2000 with k_L = 1 (index 2, checked against Sharma, Wu and Dalal above),
    // not the 2:1:1 weighting.
    EXPECT_EQ(TLabSpace::kDefaultDifferenceFunction, 2);
}
