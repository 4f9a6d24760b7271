// TColorSpace_CIECAM02: the CIECAM02 forward and inverse models (CIE 159:2004) for a fixed scene.
#include <tintvale/tcolorspace_ciecam02.h>

#include "adaptation_matrices.h"
#include "appearance_common.h"

#include <cmath>

using tintvale::detail::CompressResponses;
using tintvale::detail::ExpandResponses;
using tintvale::detail::MultiplyMatrix;

namespace {

constexpr double kPi = 3.14159265358979323846;

// CIE 159:2004: M_CAT02, its published (six-decimal) inverse, the published inverse of the
// Hunt-Pointer-Estevez matrix, and M_HPE M_CAT02^-1 as used in the forward direction.
const auto& sCAT02 = tintvale::detail::kCat02;
const double sCAT02Inverse[3][3] = {
    { 1.096124, -0.278869, 0.182745 },
    { 0.454369, 0.473533, 0.072098 },
    { -0.009628, -0.005698, 1.015326 },
};
const double sHPEInverse[3][3] = {
    { 1.910197, -1.112124, 0.201908 },
    { 0.370950, 0.629054, -0.000008 },
    { 0.0, 0.0, 1.0 },
};
const double sHPEByCAT02Inverse[3][3] = {
    { 0.7409792, 0.218025, 0.0410058 },
    { 0.2853532, 0.6242014, 0.0904454 },
    { -0.009628, -0.005698, 1.015326 },
};

// Constants of the inverse model (CIE 159:2004), as doubles.
constexpr double k50000By13 = 3846.153846153846;
constexpr double k460By1403 = 0.32786885245901637;
constexpr double k3_05x220By1403 = 0.47826086956521735;
constexpr double k27By1403 = 0.01924447612259444;
constexpr double k1_05x6300By1403 = 4.714896650035638;
constexpr double k6588By1403 = 4.695652173913044;
constexpr double kInverse042 = 2.380952380952381;
constexpr double kP3 = 1.05;

// The noise term of the achromatic response.
constexpr double kNoise = 0.305;

const tintvale::detail::ResponseCompression kCompression = { 0.42, kInverse042, 400.0, 27.13, 0.1 };

// CIE 159:2004, Table 1: average, dim, dark.
const TColorSpace_Appearance::Surround kSurrounds[] = {
    { 0.69, 1.0, 1.0 },
    { 0.59, 0.95, 0.9 },
    { 0.525, 0.8, 0.8 },
};

const char* sDifferenceFunctionList[] = { "CIECAM02 Delta E" };

} // namespace

TColorSpace_CIECAM02::TColorSpace_CIECAM02(const double* white, int viewingCondition)
    : TColorSpace_Appearance(kSurrounds, viewingCondition)
{
    InitializeScene(white);
}

TColorSpace_CIECAM02::TColorSpace_CIECAM02(const TColorSpace_CIECAM02& other) = default;
TColorSpace_CIECAM02& TColorSpace_CIECAM02::operator=(const TColorSpace_CIECAM02& other) = default;
TColorSpace_CIECAM02::~TColorSpace_CIECAM02() = default;

void TColorSpace_CIECAM02::InitializeScene(const double* white)
{
    if (!StoreScene(white))
        return;
    // z = 1.48 + sqrt(n), D = F (1 - (1/3.6) exp((-LA - 42) / 92))
    mZ = 1.48 + std::pow(mN, 0.5);
    mD = mF * (1.0 - (1.0 / 3.6) * std::exp((-mLA - 42.0) / 92.0));

    double rgbw[3];
    MultiplyMatrix(sCAT02, mWhite, rgbw);
    StoreWhiteResponses(rgbw);

    double rgbc[3], rgbp[3], rgba[3];
    ChromaticAdaptation(rgbw, rgbc);
    MultiplyMatrix(sHPEByCAT02Inverse, rgbc, rgbp);
    CompressResponses(rgbp, mFL, kCompression, rgba);
    mAw = AchromaticResponse(rgba, kNoise);
}

// Rc = (D Yw / Rw + 1 - D) R, likewise G and B.
int TColorSpace_CIECAM02::ChromaticAdaptation(const double* rgb, double* rgbc) const
{
    rgbc[0] = (mD * mWhite[1] / mRw + 1.0 - mD) * rgb[0];
    rgbc[1] = (mD * mWhite[1] / mGw + 1.0 - mD) * rgb[1];
    rgbc[2] = (mD * mWhite[1] / mBw + 1.0 - mD) * rgb[2];
    return 0;
}

int TColorSpace_CIECAM02::InverseChromaticAdaptation(const double* rgbc, double* rgb) const
{
    rgb[0] = rgbc[0] / (mD * mWhite[1] / mRw + 1.0 - mD);
    rgb[1] = rgbc[1] / (mD * mWhite[1] / mGw + 1.0 - mD);
    rgb[2] = rgbc[2] / (mD * mWhite[1] / mBw + 1.0 - mD);
    return 0;
}

// R'a = (460/1403) p2 + (451/1403) a + (288/1403) b, G'a and B'a likewise, p2 = A / Nbb + 0.305.
int TColorSpace_CIECAM02::AabToRGB(double achromatic, double a, double b, double* rgba) const
{
    const double p2 = achromatic / mNbb + 0.305;
    rgba[0] = k460By1403 * p2 + 0.32145 * a + 0.20527 * b;
    rgba[1] = k460By1403 * p2 - 0.63507 * a - 0.18603 * b;
    rgba[2] = k460By1403 * p2 - 0.15681 * a - 4.49038 * b;
    return 0;
}

int TColorSpace_CIECAM02::FromXYZ(const double* xyz, double* jch) const
{
    if (!xyz || !jch)
        return 2;
    double rgb[3], rgbc[3], rgbp[3], rgba[3];
    MultiplyMatrix(sCAT02, xyz, rgb);
    ChromaticAdaptation(rgb, rgbc);
    MultiplyMatrix(sHPEByCAT02Inverse, rgbc, rgbp);
    // R'a = sign(R') 400 (FL |R'| / 100)^0.42 / ((FL |R'| / 100)^0.42 + 27.13) + 0.1
    CompressResponses(rgbp, mFL, kCompression, rgba);

    double a, b, h;
    OpponentDimensions(rgba, &a, &b, &h);
    const double j = Lightness(AchromaticResponse(rgba, kNoise));

    // et = (cos(h + 2) + 3.8) / 4, t = (50000/13) Nc Ncb et sqrt(a^2 + b^2) / (R'a + G'a + 21/20 B'a),
    // C = t^0.9 sqrt(J / 100) (1.64 - 0.29^n)^0.73
    const double et = (std::cos(h * kPi / 180.0 + 2.0) + 3.8) / 4.0;
    const double t
        = k50000By13 * mNc * mNbb * et * std::sqrt(a * a + b * b) / (rgba[0] + rgba[1] + 1.05 * rgba[2]);
    const double c = std::pow(t, 0.9) * std::sqrt(j / 100.0) * std::pow(1.64 - std::pow(0.29, mN), 0.73);

    jch[0] = j;
    jch[1] = c;
    jch[2] = h;
    return 0;
}

int TColorSpace_CIECAM02::ToXYZ(const double* jch, double* xyz) const
{
    if (!jch || !xyz)
        return 2;
    const double j = jch[0];
    const double c = jch[1];
    const double h = jch[2];

    // t = (C / (sqrt(J / 100) (1.64 - 0.29^n)^0.73))^(1/0.9), A = Aw (J / 100)^(1/(c z))
    const double t
        = std::pow(c / (std::sqrt(j / 100.0) * std::pow(1.64 - std::pow(0.29, mN), 0.73)), 1.0 / 0.9);
    const double achromatic = AchromaticOfLightness(j);

    const double hr = h * kPi / 180.0;
    const double sinH = std::sin(hr);
    const double cosH = std::cos(hr);
    const double p1 = (std::cos(hr + 2.0) + 3.8) * 0.25 * k50000By13 * mNc * mNbb / t;
    const double p2 = achromatic / mNbb + 0.305;
    double a, b;
    if (std::fabs(sinH) >= std::fabs(cosH)) {
        const double p4 = p1 / sinH;
        b = p2 * (2.0 + kP3) * k460By1403
            / (p4 + k3_05x220By1403 * (cosH / sinH) - k27By1403 + k1_05x6300By1403);
        a = b * cosH / sinH;
    } else {
        const double p5 = p1 / cosH;
        a = p2 * (2.0 + kP3) * k460By1403 / (p5 + k3_05x220By1403 + k6588By1403 * (sinH / cosH));
        b = a * sinH / cosH;
    }

    double rgba[3], rgbp[3], xyzc[3], rgbc[3], rgb[3];
    AabToRGB(achromatic, a, b, rgba);
    // R' = sign(R'a - 0.1) (100 / FL) (27.13 |R'a - 0.1| / (400 - |R'a - 0.1|))^(1/0.42)
    ExpandResponses(rgba, mFL, kCompression, rgbp);
    MultiplyMatrix(sHPEInverse, rgbp, xyzc);
    MultiplyMatrix(sCAT02, xyzc, rgbc);
    InverseChromaticAdaptation(rgbc, rgb);
    MultiplyMatrix(sCAT02Inverse, rgb, xyz);
    return 0;
}

const char** TColorSpace_CIECAM02::GetDifferenceFunctionList() { return sDifferenceFunctionList; }

int TColorSpace_CIECAM02::GetDifferenceFunctionListSize() { return 1; }
