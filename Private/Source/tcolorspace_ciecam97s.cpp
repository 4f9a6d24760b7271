// TColorSpace_CIECAM97s: the CIECAM97s forward and inverse models (CIE 131-1998) for a fixed scene.
#include <tintvale/tcolorspace_ciecam97s.h>

#include "adaptation_matrices.h"
#include "appearance_common.h"

#include <cmath>

using tintvale::detail::CompressResponses;
using tintvale::detail::MultiplyMatrix;

namespace {

constexpr double kPi = 3.14159265358979323846;

// CIE 131-1998: the Bradford matrix MB (the library's), its four-digit inverse as published with the
// model, its full-precision inverse, the Hunt-Pointer-Estevez matrix MH and its four-digit inverse.
const auto& sMB = tintvale::detail::kBradford;
const double sMBInverse4[3][3] = {
    { 0.987, -0.1471, 0.16 },
    { 0.4323, 0.5184, 0.0493 },
    { -0.0085, 0.04, 0.9685 },
};
const double sMBInverse[3][3] = {
    { 0.9869929054667121, -0.1470542564209901, 0.1599626516637312 },
    { 0.4323052697233944, 0.5183602715367774, 0.04929122821285559 },
    { -0.00852866457517732, 0.04004282165408486, 0.96848669578755 },
};
const double sMH[3][3] = {
    { 0.38971, 0.68898, -0.07868 },
    { -0.22981, 1.1834, 0.04641 },
    { 0.0, 0.0, 1.0 },
};
const double sMHInverse4[3][3] = {
    { 1.9102, -1.112, 0.2019 },
    { 0.371, 0.6291, 0.0 },
    { 0.0, 0.0, 1.0 },
};

// Hue eccentricity: e through these points, linear in between (CIE 131-1998, Table 2).
const double sHueAngle[] = { 0.0, 20.14, 90.0, 164.25, 237.53, 360.0 };
const double sEccentricity[] = { 0.8565, 0.8, 0.7, 1.0, 1.2, 0.8565 };
constexpr int kNrHuePoints = 6;

constexpr double k10By13 = 0.7692307692307693;
constexpr double k11By23 = 0.4782608695652174;
constexpr double k108By23 = 4.695652173913044;
constexpr double k20By61 = 0.32786885245901637;
constexpr double kInverse069 = 1.4492753623188408;
constexpr double kInverse073 = 1.36986301369863;

// The inverse of this compression is CalculatePrime, written per sign as the model publishes it.
const tintvale::detail::ResponseCompression kCompression = { 0.73, kInverse073, 40.0, 2.0, 1.0 };

// The noise term of the achromatic response.
constexpr double kNoise = 2.05;

// CIE 131-1998, Table 1: average, dim, dark; FLL is 1 in each.
const TColorSpace_Appearance::Surround kSurrounds[] = {
    { 0.69, 1.0, 1.0 },
    { 0.59, 1.1, 0.9 },
    { 0.525, 0.8, 0.9 },
};
constexpr double kLightnessContrast = 1.0;

const char* sDifferenceFunctionList[] = { "CIECAM97s Delta E" };

// 1 when a result is not a finite number: a stimulus the model cannot take (Y = 0 without black,
// non-finite input, or a colour far outside the spectrum locus).
int FiniteStatus(const double* v)
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]) ? 0 : 1;
}

} // namespace

TColorSpace_CIECAM97s::TColorSpace_CIECAM97s(const double* white, int viewingCondition)
    : TColorSpace_Appearance(kSurrounds, viewingCondition)
{
    if (ErrNo() == 0)
        mFLL = kLightnessContrast;
    InitializeScene(white);
}

TColorSpace_CIECAM97s::TColorSpace_CIECAM97s(const TColorSpace_CIECAM97s& other) = default;
TColorSpace_CIECAM97s& TColorSpace_CIECAM97s::operator=(const TColorSpace_CIECAM97s& other) = default;
TColorSpace_CIECAM97s::~TColorSpace_CIECAM97s() = default;

void TColorSpace_CIECAM97s::InitializeScene(const double* white)
{
    if (!StoreScene(white))
        return;
    // D = F - F / (1 + 2 LA^(1/4) + LA^2 / 300)
    mD = mF - mF / (1.0 + 2.0 * std::pow(mLA, 0.25) + mLA * mLA / 300.0);
    double rgbw[3];
    MultiplyByMb(mWhite, rgbw);
    StoreWhiteResponses(rgbw);
    mP = std::pow(mBw, 0.0834);
    // z = 1 + FLL n^(1/2)
    mZ = 1.0 + mFLL * std::pow(mN, 0.5);

    double rgbc[3], rgbp[3], rgba[3];
    MultiplyByDp(rgbw, rgbc);
    MultiplyByMhMbInv(rgbc, mWhite[1], rgbp);
    CompressResponses(rgbp, mFL, kCompression, rgba);
    mAw = AchromaticResponse(rgba, kNoise);
}

int TColorSpace_CIECAM97s::MultiplyByMb(const double* xyz, double* rgb)
{
    const double normalised[3] = { xyz[0] / xyz[1], 1.0, xyz[2] / xyz[1] };
    MultiplyMatrix(sMB, normalised, rgb);
    return 0;
}

// Rc = (D / Rw + 1 - D) R, Gc likewise, Bc = (D / Bw^p + 1 - D) |B|^p with the sign of B.
int TColorSpace_CIECAM97s::MultiplyByDp(const double* rgb, double* rgbc) const
{
    rgbc[0] = (mD / mRw + 1.0 - mD) * rgb[0];
    rgbc[1] = (mD / mGw + 1.0 - mD) * rgb[1];
    rgbc[2] = (mD / std::pow(mBw, mP) + 1.0 - mD) * std::pow(std::fabs(rgb[2]), mP);
    if (rgb[2] < 0.0)
        rgbc[2] = -rgbc[2];
    return 0;
}

int TColorSpace_CIECAM97s::MultiplyByMhMbInv(const double* rgbc, double y, double* rgbp)
{
    double xyz[3];
    MultiplyMatrix(sMBInverse4, rgbc, xyz);
    for (double& v : xyz)
        v *= y;
    MultiplyMatrix(sMH, xyz, rgbp);
    return 0;
}

int TColorSpace_CIECAM97s::MultiplyByMbMhInv(const double* rgbp, double factor, double* rgbc)
{
    double xyz[3];
    MultiplyMatrix(sMHInverse4, rgbp, xyz);
    for (double& v : xyz)
        v /= factor;
    MultiplyMatrix(sMB, xyz, rgbc);
    return 0;
}

double TColorSpace_CIECAM97s::CalculateE(double h)
{
    h -= 360.0 * std::floor(h / 360.0);
    int i = 1;
    while (i < kNrHuePoints - 1 && h > sHueAngle[i])
        ++i;
    const double h0 = sHueAngle[i - 1], h1 = sHueAngle[i];
    return sEccentricity[i - 1] + (h - h0) * (sEccentricity[i] - sEccentricity[i - 1]) / (h1 - h0);
}

// x >= 1: 100 ((2x - 2) / (41 - x))^(1/0.73), else -100 ((2 - 2x) / (x + 39))^(1/0.73)
double TColorSpace_CIECAM97s::CalculatePrime(double x)
{
    if (x >= 1.0)
        return 100.0 * std::pow((2.0 * x - 2.0) / (41.0 - x), kInverse073);
    return -100.0 * std::pow((2.0 - 2.0 * x) / (x + 39.0), kInverse073);
}

double TColorSpace_CIECAM97s::sgn(double x) { return x < 0.0 ? -1.0 : 1.0; }

int TColorSpace_CIECAM97s::FromXYZ(const double* xyz, double* jch) const
{
    if (!xyz || !jch)
        return 2;
    // The model divides by Y; black is taken as J 0, C 0, as CIECAM02 gives it.
    if (xyz[0] == 0.0 && xyz[1] == 0.0 && xyz[2] == 0.0) {
        jch[0] = jch[1] = jch[2] = 0.0;
        return 0;
    }
    double rgb[3], rgbc[3], rgbp[3], rgba[3];
    MultiplyByMb(xyz, rgb);
    MultiplyByDp(rgb, rgbc);
    MultiplyByMhMbInv(rgbc, xyz[1], rgbp);
    // R'a = sign(R') 40 (FL |R'| / 100)^0.73 / ((FL |R'| / 100)^0.73 + 2) + 1
    CompressResponses(rgbp, mFL, kCompression, rgba);

    double a, b, h;
    OpponentDimensions(rgba, &a, &b, &h);
    const double j = Lightness(AchromaticResponse(rgba, kNoise));
    // s = 50 (a^2 + b^2)^(1/2) 100 e (10/13) Nc Ncb / (R'a + G'a + (21/20) B'a)
    const double s = 50.0 * std::sqrt(a * a + b * b) * 100.0 * CalculateE(h) * k10By13 * mNc * mNbb
        / (rgba[0] + rgba[1] + 1.05 * rgba[2]);
    // C = 2.44 s^0.69 (J / 100)^(0.67 n) (1.64 - 0.29^n)
    const double c = 2.44 * std::pow(s, 0.69) * std::pow(j / 100.0, 0.67 * mN) * (1.64 - std::pow(0.29, mN));

    jch[0] = j;
    jch[1] = c;
    jch[2] = h;
    return FiniteStatus(jch);
}

int TColorSpace_CIECAM97s::ToXYZ(const double* jch, double* xyz) const
{
    if (!jch || !xyz)
        return 2;
    const double j = jch[0];
    const double c = jch[1];
    const double h = jch[2];
    if (j == 0.0 && c == 0.0) {
        xyz[0] = xyz[1] = xyz[2] = 0.0;
        return 0;
    }

    const double e = CalculateE(h);
    const double achromatic = AchromaticOfLightness(j);
    const double s = std::pow(c, kInverse069)
        / std::pow(std::pow(j / 100.0, 0.67 * mN) * 2.44 * (1.64 - std::pow(0.29, mN)), kInverse069);

    // a = p2 s / (sigma sqrt(1 + t^2) 50000 e Nc Ncb / 13 + s (11/23 + (108/23) t)), b = a t
    const double t = std::tan(h * kPi / 180.0);
    const double sigma = (h > 90.0 && h <= 270.0) ? -1.0 : 1.0;
    const double p2 = achromatic / mNbb + 2.05;
    const double a = p2 * s
        / (sigma * std::sqrt(1.0 + t * t) * 50000.0 * e * mNc * mNbb / 13.0 + s * (k11By23 + k108By23 * t));
    const double b = a * t;

    double rgba[3];
    rgba[0] = k20By61 * p2 + (451.0 / 1403.0) * a + (288.0 / 1403.0) * b;
    rgba[1] = k20By61 * p2 - (891.0 / 1403.0) * a - (261.0 / 1403.0) * b;
    rgba[2] = k20By61 * p2 - (220.0 / 1403.0) * a - (6300.0 / 1403.0) * b;

    double rgbp[3];
    for (int i = 0; i < 3; ++i)
        rgbp[i] = CalculatePrime(rgba[i]) / mFL;

    // (RcY, GcY, BcY) = MB MH^-1 (R', G', B'); Y' from the second row of MB^-1.
    double rgbcY[3];
    MultiplyByMbMhInv(rgbp, 1.0, rgbcY);
    const double yPrime = 0.43231 * rgbcY[0] + 0.51836 * rgbcY[1] + 0.04929 * rgbcY[2];
    const double rc = rgbcY[0] / yPrime;
    const double gc = rgbcY[1] / yPrime;
    const double bc = rgbcY[2] / yPrime;

    // Undo the adaptation; B through the exponent p with its sign.
    const double r = rc / (mD / mRw + 1.0 - mD);
    const double g = gc / (mD / mGw + 1.0 - mD);
    const double bl
        = sgn(bc) * std::pow(std::fabs(bc), 1.0 / mP) / std::pow(mD / std::pow(mBw, mP) + 1.0 - mD, 1.0 / mP);
    const double by = bl * yPrime
        / std::pow(
            (0.43231 * r * yPrime + 0.51836 * g * yPrime + 0.04929 * bl * yPrime) / yPrime, 1.0 / mP - 1.0);

    const double rgbY[] = { r * yPrime, g * yPrime, by };
    MultiplyMatrix(sMBInverse, rgbY, xyz);
    // Y' estimates Y; for some very dark, saturated violets it does not even have Y's sign, and
    // the step above has no real result.
    return FiniteStatus(xyz);
}

const char** TColorSpace_CIECAM97s::GetDifferenceFunctionList() { return sDifferenceFunctionList; }

int TColorSpace_CIECAM97s::GetDifferenceFunctionListSize() { return 1; }
