// TIlluminantAndObserver::CalculateMatchingSpectrum: convergence, bounds, methods and bad input.
#include <tintvale/tspectrum.h>

#include "cielab_reference.h"
#include "shipped_fixture.h"

#include <algorithm>

namespace {

using Method = TIlluminantAndObserver::MatchingMethod;

// The CIE 1976 difference of two XYZ under one white.
double DeltaE(const double* xyz1, const double* xyz2, const double* white)
{
    double a[3], b[3];
    reference::XYZToLab(xyz1, white, a);
    reference::XYZToLab(xyz2, white, b);
    return reference::DeltaE76(a, b);
}

// X = sum S x̄ R / sum S ȳ * 100 over the grid, straight from the observer and illuminant spectra.
void Integrate(const TIlluminant* ill, int observer, const double* r, double* xyz)
{
    const TObserver obs(observer);
    auto grid = [](const TSpectrum* t) { return t->GetUniformSpectrum(nullptr, nullptr, nullptr); };
    const double* s = grid(ill->GetSpectrum());
    const double* cmf[3]
        = { grid(obs.GetXSensitivity()), grid(obs.GetYSensitivity()), grid(obs.GetZSensitivity()) };
    double norm = 0.0;
    for (int i = 0; i < 36; ++i)
        norm += s[i] * cmf[1][i];
    for (int c = 0; c < 3; ++c) {
        xyz[c] = 0.0;
        for (int i = 0; i < 36; ++i)
            xyz[c] += 100.0 * s[i] * cmf[c][i] * r[i] / norm;
    }
}

void Fill(double* v, double value) { std::fill(v, v + 36, value); }

// The Lab difference between target and the colour of reflectance r, integrated independently.
double Residual(
    const TIlluminant* ill, int observer, const double* r, const double* target, const double* white)
{
    double xyz[3];
    Integrate(ill, observer, r, xyz);
    return DeltaE(target, xyz, white);
}

class Matching : public ShippedD50 {
protected:
    void SetUp() override
    {
        ShippedD50::SetUp();
        Fill(mStart, 0.5);
    }

    // Searches from the grey start without bounds.
    double Match(TIlluminantAndObserver& io, const double* target, const double* white, double* result,
        Method method = Method::MatchInLab)
    {
        return io.CalculateMatchingSpectrum(target, white, nullptr, nullptr, mStart, method, result);
    }

    // The XYZ of L* 45, a* 60, b* 40 under the D50 white of observer 0: a strong red.
    void RedTarget(const double* white, double* xyz) const
    {
        const double lab[3] = { 45.0, 60.0, 40.0 };
        reference::LabToXYZ(lab, white, xyz);
    }

    double mStart[36];
};

} // namespace

TEST_F(Matching, GreyReachesARedWithinHalfADeltaE)
{
    TIlluminantAndObserver io(mD50, &mTwo, 36);
    const double* white = mWhite;
    double target[3];
    RedTarget(white, target);
    double result[36];
    const double de = Match(io, target, white, result);
    EXPECT_LT(de, 0.5);
    EXPECT_NEAR(de, Residual(mD50, 0, result, target, white), 1e-6);
    EXPECT_LE(*std::max_element(result, result + 36), 0.99999);
    EXPECT_GE(*std::min_element(result, result + 36), 0.00001);

    // The illuminant's own white is taken when none is given.
    double again[36];
    EXPECT_EQ(Match(io, target, nullptr, again), de);

    // Brighter than the white: the walk climbs to the upper bound, nearly the white itself.
    const double bright[3] = { 1.3 * white[0], 1.3 * white[1], 1.3 * white[2] };
    const double deBright = Match(io, bright, white, result);
    double xyz[3];
    Integrate(mD50, 0, result, xyz);
    EXPECT_GT(xyz[1], 99.0);
    EXPECT_NEAR(deBright, DeltaE(bright, xyz, white), 1e-6);
}

TEST_F(Matching, XYZMethodAndDarkWavelengths)
{
    const TObserver ten(1);
    TIlluminantAndObserver io(mD50, &ten, 36);
    double white[3], target[3], result[36], xyz[3];
    io.GetXYZWhite(white);
    const double lab[3] = { 70.0, -30.0, 20.0 };
    reference::LabToXYZ(lab, white, target);
    const double de = Match(io, target, white, result, Method::MatchInXYZ);
    Integrate(mD50, 1, result, xyz);
    EXPECT_LT(std::hypot(xyz[0] - target[0], xyz[1] - target[1], xyz[2] - target[2]), 0.5);
    EXPECT_NEAR(de, DeltaE(target, xyz, white), 1e-6) << "the return value is the Lab difference";
    // A light with no power below 450 nm: those samples cannot move the colour.
    double power[36];
    for (int i = 0; i < 36; ++i)
        power[i] = i < 7 ? 0.0 : 100.0;
    TIlluminantAndObserver gap(mFactory.AddIlluminant(TSpectrum(power), "Gap"), &mTwo, 36);
    gap.GetXYZWhite(white);
    const double gapLab[3] = { 60.0, 20.0, 30.0 };
    reference::LabToXYZ(gapLab, white, target);
    EXPECT_LT(Match(gap, target, nullptr, result), 0.5);
    EXPECT_TRUE(std::all_of(result, result + 36, [](double v) { return std::isfinite(v); }));
}

TEST_F(Matching, AStartThatAlreadyMatchesIsReturnedWithZero)
{
    TIlluminantAndObserver io(mD50, &mTwo, 36);
    double start[36];
    for (int i = 0; i < 36; ++i)
        start[i] = 0.2 + 0.015 * i;
    start[20] = 1.5; // outside the bounds too: the clamped spectra are all worse than the exact start
    start[3] = -0.2;
    double target[3];
    ASSERT_EQ(io.GetXYZ(start, target, 36), 0);
    for (Method method : { Method::MatchInLab, Method::MatchInXYZ }) {
        double inPlace[36]; // the result may overwrite the start
        std::copy(start, start + 36, inPlace);
        EXPECT_EQ(
            io.CalculateMatchingSpectrum(target, nullptr, nullptr, nullptr, inPlace, method, inPlace), 0.0);
        EXPECT_TRUE(std::equal(start, start + 36, inPlace));
    }
}

TEST_F(Matching, BoundsAndBadInput)
{
    TIlluminantAndObserver io(mD50, &mTwo, 36);
    double upper[36], lower[36];
    Fill(upper, 0.99999);
    Fill(lower, 0.00001);
    for (int i = 22; i < 36; ++i)
        lower[i] = upper[i] = 0.1; // pinned red samples
    lower[10] = 0.8;
    upper[10] = 0.4; // crossed: the upper bound wins
    double target[3], result[36];
    RedTarget(mWhite, target);
    const double de
        = io.CalculateMatchingSpectrum(target, mWhite, upper, lower, mStart, Method::MatchInLab, result);
    for (int i = 22; i < 36; ++i)
        EXPECT_EQ(result[i], 0.1) << i;
    EXPECT_EQ(result[10], 0.4);
    // Held down in the red, the search cannot reach the target, but it still improves on the start.
    EXPECT_GT(de, 0.5);
    EXPECT_LT(de, Residual(mD50, 0, mStart, target, mWhite));
    // Bad input is refused with the result untouched.
    Fill(result, 7.0);
    // An unknown method takes no step: the start and its own residual come back.
    EXPECT_NEAR(Match(io, target, mWhite, result, static_cast<Method>(2)),
        Residual(mD50, 0, mStart, target, mWhite), 1e-6);
    EXPECT_TRUE(std::equal(mStart, mStart + 36, result));
    Fill(result, 7.0);
    EXPECT_EQ(Match(io, nullptr, nullptr, result), -1.0);
    EXPECT_EQ(
        io.CalculateMatchingSpectrum(target, nullptr, nullptr, nullptr, nullptr, Method::MatchInLab, result),
        -1.0);
    const double zeroWhite[3] = { 96.4, 0.0, 82.5 };
    EXPECT_EQ(Match(io, target, zeroWhite, result), -1.0);
    const double nanTarget[3] = { 20.0, std::nan(""), 10.0 };
    EXPECT_EQ(Match(io, nanTarget, nullptr, result), -1.0);
    TIlluminantAndObserver fewer(mD50, &mTwo, 35);
    EXPECT_EQ(Match(fewer, target, nullptr, result), -1.0);
    mStart[5] = INFINITY;
    EXPECT_EQ(Match(io, target, nullptr, result), -1.0);
    for (double v : result)
        EXPECT_EQ(v, 7.0);
}
