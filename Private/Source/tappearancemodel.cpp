// TAppearanceModel: CIECAM02 (CIE 159:2004), CAM16 (Li et al. 2017) and CIECAM16 (CIE 248:2022),
// forward to the seven correlates and back from any three of them.
#include <tintvale/tappearancemodel.h>

#include "adaptation_matrices.h"
#include "appearance_common.h"
#include "vector_math.h"

#include <algorithm>
#include <cmath>
#include <strings.h>
#include <thread>
#include <vector>

using tintvale::detail::InvertMatrix;
using tintvale::detail::MultiplyMatrix;

const TAppearanceModel::Surround TAppearanceModel::kAverage = { 1.0, 0.69, 1.0 };
const TAppearanceModel::Surround TAppearanceModel::kDim = { 0.9, 0.59, 0.9 };
const TAppearanceModel::Surround TAppearanceModel::kDark = { 0.8, 0.525, 0.8 };

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToDeg = 180.0 / kPi;

// Hunt-Pointer-Estevez, normalised to equal-energy (CIE 159:2004, equation 5.2).
const double kHPE[3][3] = {
    { 0.38971, 0.68898, -0.07868 },
    { -0.22981, 1.18340, 0.04641 },
    { 0.0, 0.0, 1.0 },
};

// Post-adaptation compression (CIE 159:2004, equation 6.1): f(x) = 400 q / (q + 27.13),
// q = (F_L x / 100)^0.42, and the noise offset 0.1 added to each response.
constexpr double kExponent = 0.42;
constexpr double kHalfSaturation = 27.13;
constexpr double kMaximum = 400.0;
constexpr double kOffset = 0.1;
constexpr double kNoise = 0.305; // of the achromatic response
// CIECAM16's limits of the hyperbola (CIE 248:2022): linear below q_L and above q_U.
constexpr double kLowLimit = 0.26;
constexpr double kHighLimit = 150.0;

// e_t, t and the inverse: 50000/13 Nc Ncb, and 21/20 B'a in the denominator of t.
constexpr double kChromaScale = 50000.0 / 13.0;
constexpr double kBlueWeight = 21.0 / 20.0;

// Unique hue data of the hue quadrature (CIE 159:2004, Table 2); the fifth row is red again.
constexpr double kHueAngle[5] = { 20.14, 90.0, 164.25, 237.53, 380.14 };
constexpr double kHueEccentricity[5] = { 0.8, 0.7, 1.0, 1.2, 0.8 };
constexpr double kHueQuadrature[5] = { 0.0, 100.0, 200.0, 300.0, 400.0 };

struct Identity {
    double m[3][3] = { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } };
};

void Copy(const double (&from)[3][3], double (&to)[3][3])
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            to[i][j] = from[i][j];
}

void Product(const double (&a)[3][3], const double (&b)[3][3], double (&out)[3][3])
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
}

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

bool AllFinite(const TAppearanceModel::Correlates& c)
{
    return std::isfinite(c.J) && std::isfinite(c.C) && std::isfinite(c.h) && std::isfinite(c.Q)
        && std::isfinite(c.M) && std::isfinite(c.s) && std::isfinite(c.H);
}

// f(q) without the offset, and its derivative f'(q) = 1.68 27.13 F_L (F_L q / 100)^-0.58 /
// ((F_L q / 100)^0.42 + 27.13)^2 (CIE 248:2022).
double Hyperbola(double q, double fl)
{
    const double p = std::pow(fl * q / 100.0, kExponent);
    return kMaximum * p / (p + kHalfSaturation);
}

double HyperbolaSlope(double q, double fl)
{
    const double u = fl * q / 100.0;
    const double p = std::pow(u, kExponent);
    return kMaximum * kExponent * kHalfSaturation * fl / 100.0 * std::pow(u, kExponent - 1.0)
        / ((p + kHalfSaturation) * (p + kHalfSaturation));
}

// h' = h + 360 below h_1 = 20.14; with h_i <= h' < h_(i+1):
// H = H_i + 100 ((h' - h_i) / e_i) / ((h' - h_i) / e_i + (h_(i+1) - h') / e_(i+1)) (CIE 159:2004, 7).
// The interval's data by selection rather than by index, so that a loop over many hues vectorises.
// row[i + offset] for the interval i that past1 ... past3 (h' beyond h_2, h_3, h_4) select.
[[gnu::always_inline]] inline double Pick(
    const double (&row)[5], int offset, bool past1, bool past2, bool past3)
{
    return past3 ? row[3 + offset] : past2 ? row[2 + offset] : past1 ? row[1 + offset] : row[offset];
}

[[gnu::always_inline]] inline double HueQuadrature(double h)
{
    const double hp = h < kHueAngle[0] ? h + 360.0 : h;
    const bool p1 = hp >= kHueAngle[1], p2 = hp >= kHueAngle[2], p3 = hp >= kHueAngle[3];
    const double below = (hp - Pick(kHueAngle, 0, p1, p2, p3)) / Pick(kHueEccentricity, 0, p1, p2, p3);
    const double above = (Pick(kHueAngle, 1, p1, p2, p3) - hp) / Pick(kHueEccentricity, 1, p1, p2, p3);
    return Pick(kHueQuadrature, 0, p1, p2, p3) + 100.0 * below / (below + above);
}

} // namespace

const char* TAppearanceModel::ModelName(Model model)
{
    switch (model) {
    case Model::CIECAM02:
        return "CIECAM02";
    case Model::CAM16:
        return "CAM16";
    case Model::CIECAM16:
        return "CIECAM16";
    }
    return "";
}

bool TAppearanceModel::ModelByName(const char* name, Model* model)
{
    for (Model m : { Model::CIECAM02, Model::CAM16, Model::CIECAM16 })
        if (name && model && strcasecmp(name, ModelName(m)) == 0) {
            *model = m;
            return true;
        }
    return false;
}

bool TAppearanceModel::SurroundByName(const char* name, Surround* surround)
{
    const struct {
        const char* name;
        const Surround* value;
    } rows[] = { { "average", &kAverage }, { "dim", &kDim }, { "dark", &kDark } };
    for (const auto& r : rows)
        if (name && surround && strcasecmp(name, r.name) == 0) {
            *surround = *r.value;
            return true;
        }
    return false;
}

TAppearanceModel::TAppearanceModel(Model model, const ViewingConditions& conditions)
    : mModel(model)
    , mConditions(conditions)
{
    const ViewingConditions& vc = mConditions;
    const double given = vc.degreeOfAdaptation;
    if (!Positive(vc.white[0]) || !Positive(vc.white[1]) || !Positive(vc.white[2])
        || !Positive(vc.adaptingLuminance) || !Positive(vc.background) || !Positive(vc.surround.f)
        || !Positive(vc.surround.c) || !Positive(vc.surround.nc) || std::isnan(given) || given > 1.0) {
        mStatus = kInvalidConditions;
        return;
    }
    if (model == Model::CIECAM02) {
        Copy(tintvale::detail::kCat02, mToSharp);
        // The compression works on Hunt-Pointer-Estevez responses: M_HPE M_CAT02^-1 and back.
        double fromSharp[3][3];
        InvertMatrix(mToSharp, fromSharp);
        Product(kHPE, fromSharp, mSharpToCone);
        InvertMatrix(mSharpToCone, mConeToSharp);
    } else {
        Copy(tintvale::detail::kCat16, mToSharp);
        Copy(Identity().m, mSharpToCone);
        Copy(Identity().m, mConeToSharp);
    }
    InvertMatrix(mToSharp, mFromSharp);

    const double la = vc.adaptingLuminance;
    const double yw = vc.white[1];
    // D = F (1 - (1/3.6) exp((-L_A - 42) / 92)), kept within [0, 1] (CIE 159:2004, equation 3.3).
    if (vc.discountIlluminant)
        mD = 1.0;
    else if (given >= 0.0)
        mD = given;
    else
        mD = std::clamp(vc.surround.f * (1.0 - (1.0 / 3.6) * std::exp((-la - 42.0) / 92.0)), 0.0, 1.0);
    // F_L, n = Y_b / Y_w, N_bb = N_cb = 0.725 (1/n)^0.2, z = 1.48 + sqrt(n) (CIE 159:2004, section 3).
    mFL = tintvale::detail::LuminanceAdaptationFactor(la);
    mFL4 = std::pow(mFL, 0.25);
    mN = vc.background / yw;
    mNbb = 0.725 * std::pow(1.0 / mN, 0.2);
    mZ = 1.48 + std::sqrt(mN);
    mChromaFactor = std::pow(1.64 - std::pow(0.29, mN), 0.73);
    mFLow = Hyperbola(kLowLimit, mFL);
    mFHigh = Hyperbola(kHighLimit, mFL);
    mSlopeHigh = HyperbolaSlope(kHighLimit, mFL);

    // D_R = D Y_w / R_w + 1 - D; CIECAM16 adapts to a white of Y = 100 whatever Y_w is
    // (CIE 248:2022), CIECAM02 and CAM16 to Y_w.
    double rgbw[3];
    MultiplyMatrix(mToSharp, vc.white, rgbw);
    const double adaptedY = model == Model::CIECAM16 ? 100.0 : yw;
    for (int i = 0; i < 3; ++i) {
        if (!Positive(rgbw[i])) {
            mStatus = kInvalidConditions;
            return;
        }
        mDRGB[i] = mD * adaptedY / rgbw[i] + 1.0 - mD;
    }
    double adapt[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            adapt[i][j] = mDRGB[i] * mToSharp[i][j];
    Product(mSharpToCone, adapt, mXYZToCone);
    double rgbc[3], rgbp[3];
    Adapt(vc.white, rgbc);
    MultiplyMatrix(mSharpToCone, rgbc, rgbp);
    // A_w = (2 R'aw + G'aw + B'aw / 20 - 0.305) N_bb
    mAw = (2.0 * Compress(rgbp[0]) + Compress(rgbp[1]) + Compress(rgbp[2]) / 20.0 - kNoise) * mNbb;
    if (!Positive(mAw))
        mStatus = kInvalidConditions;
}

// R_c = D_R R, with (R, G, B) = M xyz.
void TAppearanceModel::Adapt(const double* xyz, double* rgbc) const
{
    MultiplyMatrix(mToSharp, xyz, rgbc);
    for (int i = 0; i < 3; ++i)
        rgbc[i] *= mDRGB[i];
}

void TAppearanceModel::Unadapt(const double* rgbc, double* xyz) const
{
    const double rgb[3] = { rgbc[0] / mDRGB[0], rgbc[1] / mDRGB[1], rgbc[2] / mDRGB[2] };
    MultiplyMatrix(mFromSharp, rgb, xyz);
}

// CIECAM02 and CAM16: R'a = sign(R') f(|R'|) + 0.1 (CIE 159:2004, equation 6.1, with the sign
// restored). CIECAM16: f(R) between q_L and q_U, continued by the straight lines
// f(q_L) R / q_L below and f(q_U) + f'(q_U) (R - q_U) above, plus 0.1 (CIE 248:2022).
double TAppearanceModel::Compress(double x) const
{
    const double base = mModel == Model::CIECAM16 ? std::clamp(x, kLowLimit, kHighLimit) : std::fabs(x);
    return CompressWithPower(x, std::pow(mFL * base / 100.0, kExponent));
}

double TAppearanceModel::CompressWithPower(double x, double p) const
{
    if (mModel == Model::CIECAM16) {
        if (x < kLowLimit)
            return mFLow * x / kLowLimit + kOffset;
        if (x > kHighLimit)
            return mFHigh + mSlopeHigh * (x - kHighLimit) + kOffset;
    }
    const double magnitude = kMaximum * p / (p + kHalfSaturation);
    return (x < 0.0 ? -magnitude : magnitude) + kOffset;
}

// The inverse: R' = sign(y) (100 / F_L) (27.13 |y| / (400 - |y|))^(1 / 0.42), y = R'a - 0.1, and
// CIECAM16's straight lines undone where they apply.
double TAppearanceModel::Expand(double ya) const
{
    const double y = ya - kOffset;
    if (mModel == Model::CIECAM16) {
        if (y < mFLow)
            return kLowLimit * y / mFLow;
        if (y > mFHigh)
            return kHighLimit + (y - mFHigh) / mSlopeHigh;
    }
    const double d = std::fabs(y);
    const double magnitude = (100.0 / mFL) * std::pow(kHalfSaturation * d / (kMaximum - d), 1.0 / kExponent);
    return y < 0.0 ? -magnitude : magnitude;
}

// Its inverse (CIE 159:2004, Step 1 of the inverse model), with H_i <= H < H_(i+1):
// h' = ((H - H_i)(e_(i+1) h_i - e_i h_(i+1)) - 100 h_i e_(i+1)) / ((H - H_i)(e_(i+1) - e_i) - 100 e_(i+1)),
// less 360 above 360.
double TAppearanceModel::HueOfQuadrature(double quadrature) const
{
    const double q = quadrature;
    // The interval by counting the unique hues passed (NaN or infinity never reach a cast).
    const int i = (q >= kHueQuadrature[1]) + (q >= kHueQuadrature[2]) + (q >= kHueQuadrature[3]);
    const double dh = q - kHueQuadrature[i];
    const double e0 = kHueEccentricity[i], e1 = kHueEccentricity[i + 1];
    const double h0 = kHueAngle[i], h1 = kHueAngle[i + 1];
    const double hp = (dh * (e1 * h0 - e0 * h1) - 100.0 * h0 * e1) / (dh * (e1 - e0) - 100.0 * e1);
    return hp >= 360.0 ? hp - 360.0 : hp;
}

// From the compressed cone responses (CIE 159:2004, sections 7 to 10):
//   a = R'a - 12 G'a / 11 + B'a / 11, b = (R'a + G'a - 2 B'a) / 9, h = atan2(b, a)
//   A = (2 R'a + G'a + B'a / 20 - 0.305) N_bb, J = 100 (A / A_w)^(c z)
//   Q = (4 / c) sqrt(J / 100) (A_w + 4) F_L^0.25
//   e_t = (cos(h + 2) + 3.8) / 4, t = (50000/13) Nc N_cb e_t sqrt(a^2 + b^2) / (R'a + G'a + 21/20 B'a)
//   C = t^0.9 sqrt(J / 100) (1.64 - 0.29^n)^0.73, M = C F_L^0.25, s = 100 sqrt(M / Q)
void TAppearanceModel::Correlate(const double* rgba, Correlates* out) const
{
    const Surround& sr = mConditions.surround;
    const double a = rgba[0] - 12.0 * rgba[1] / 11.0 + rgba[2] / 11.0;
    const double b = (rgba[0] + rgba[1] - 2.0 * rgba[2]) / 9.0;
    double h = std::atan2(b, a) * kRadToDeg;
    if (h < 0.0)
        h += 360.0;
    const double achromatic = (2.0 * rgba[0] + rgba[1] + rgba[2] / 20.0 - kNoise) * mNbb;
    const double j = 100.0 * std::pow(achromatic / mAw, sr.c * mZ);
    const double rootJ = std::sqrt(j / 100.0);
    const double q = (4.0 / sr.c) * rootJ * (mAw + 4.0) * mFL4;
    const double et = (std::cos(h * kDegToRad + 2.0) + 3.8) / 4.0;
    const double t = kChromaScale * sr.nc * mNbb * et * std::sqrt(a * a + b * b)
        / (rgba[0] + rgba[1] + kBlueWeight * rgba[2]);
    const double c = std::pow(t, 0.9) * rootJ * mChromaFactor;
    const double m = c * mFL4;
    *out = { j, c, h, q, m, 100.0 * std::sqrt(m / q), HueQuadrature(h) };
}

int TAppearanceModel::Forward(const double* xyz, Correlates* out) const
{
    if (!xyz || !out)
        return kNullArgument;
    const double nan = std::nan("");
    if (mStatus != kOk) {
        *out = { nan, nan, nan, nan, nan, nan, nan };
        return mStatus;
    }
    double rgbc[3], rgbp[3];
    Adapt(xyz, rgbc);
    MultiplyMatrix(mSharpToCone, rgbc, rgbp);
    const double rgba[3] = { Compress(rgbp[0]), Compress(rgbp[1]), Compress(rgbp[2]) };
    Correlate(rgba, out);
    return AllFinite(*out) && std::isfinite(xyz[0]) && std::isfinite(xyz[1]) && std::isfinite(xyz[2])
        ? kOk
        : kNotFinite;
}

// The inverse model (CIE 159:2004, section 3 of the inverse; Li et al. 2017, Step 3 in the closed
// form that also serves t = 0):
//   J = 6.25 (c Q / ((A_w + 4) F_L^0.25))^2, C = M / F_L^0.25, M = (s / 100)^2 Q
//   t = (C / (sqrt(J / 100) (1.64 - 0.29^n)^0.73))^(1/0.9), A = A_w (J / 100)^(1 / (c z))
//   gamma = 23 (A / N_bb + 0.305) t / (23 (50000/13) Nc N_cb e_t + 11 t cos h + 108 t sin h)
//   a = gamma cos h, b = gamma sin h, p2 = A / N_bb + 0.305
//   R'a = (460 p2 + 451 a + 288 b) / 1403, G'a = (460 p2 - 891 a - 261 b) / 1403,
//   B'a = (460 p2 - 220 a - 6300 b) / 1403
int TAppearanceModel::Inverse(double lightness, Lightness lightnessKind, double chroma, Chroma chromaKind,
    double hue, Hue hueKind, double* xyz) const
{
    if (!xyz)
        return kNullArgument;
    if (mStatus != kOk) {
        xyz[0] = xyz[1] = xyz[2] = std::nan("");
        return mStatus;
    }
    const Surround& sr = mConditions.surround;
    const double brightnessScale = (mAw + 4.0) * mFL4;
    double j = lightness;
    if (lightnessKind == Lightness::Q)
        j = 6.25 * std::pow(sr.c * lightness / brightnessScale, 2.0);
    double c = chroma;
    if (chromaKind == Chroma::M) {
        c = chroma / mFL4;
    } else if (chromaKind == Chroma::s) {
        const double q = (4.0 / sr.c) * std::sqrt(j / 100.0) * brightnessScale;
        c = (chroma / 100.0) * (chroma / 100.0) * q / mFL4;
    }
    const double h = hueKind == Hue::H ? HueOfQuadrature(hue) : hue;

    const double t = std::pow(c / (std::sqrt(j / 100.0) * mChromaFactor), 1.0 / 0.9);
    const double achromatic = mAw * std::pow(j / 100.0, 1.0 / (sr.c * mZ));
    const double hr = h * kDegToRad;
    const double cosH = std::cos(hr), sinH = std::sin(hr);
    const double et = (std::cos(hr + 2.0) + 3.8) / 4.0;
    const double p2 = achromatic / mNbb + kNoise;
    // The denominator stays positive (e_t >= 0.7), so that t = 0 gives gamma = 0: no special case.
    const double gamma
        = 23.0 * p2 * t / (23.0 * kChromaScale * sr.nc * mNbb * et + 11.0 * t * cosH + 108.0 * t * sinH);
    const double a = gamma * cosH, b = gamma * sinH;
    const double rgba[3] = { (460.0 * p2 + 451.0 * a + 288.0 * b) / 1403.0,
        (460.0 * p2 - 891.0 * a - 261.0 * b) / 1403.0, (460.0 * p2 - 220.0 * a - 6300.0 * b) / 1403.0 };
    const double rgbp[3] = { Expand(rgba[0]), Expand(rgba[1]), Expand(rgba[2]) };
    double rgbc[3];
    MultiplyMatrix(mConeToSharp, rgbp, rgbc);
    Unadapt(rgbc, xyz);
    const bool inputFinite = std::isfinite(lightness) && std::isfinite(chroma) && std::isfinite(hue);
    return inputFinite && std::isfinite(xyz[0]) && std::isfinite(xyz[1]) && std::isfinite(xyz[2])
        ? kOk
        : kNotFinite;
}

// The stages of Forward, each over the whole block, in loops the compiler can vectorise: constant
// divisions as products with the reciprocal, which moves results by a unit in the last place at most.
__attribute__((target_clones("avx512f", "avx2", "default"))) std::size_t TAppearanceModel::ForwardBlock(
    const double* xyz, std::size_t n, double* const out[7], std::size_t at) const
{
    constexpr std::size_t kBlock = 256;
    const Surround& sr = mConditions.surround;
    const bool linearEnds = mModel == Model::CIECAM16;
    double cone[3 * kBlock], base[3 * kBlock] = {}, power[3 * kBlock];
    const auto& toCone = mXYZToCone;
    for (std::size_t i = 0; i < n; ++i) {
        const double* x = xyz + 3 * i;
        for (int k = 0; k < 3; ++k)
            cone[k * kBlock + i] = toCone[k][0] * x[0] + toCone[k][1] * x[1] + toCone[k][2] * x[2];
    }
    const double flBy100 = mFL / 100.0;
    for (int k = 0; k < 3; ++k)
        for (std::size_t i = 0; i < n; ++i) {
            const double x = cone[k * kBlock + i];
            base[k * kBlock + i]
                = flBy100 * (linearEnds ? std::clamp(x, kLowLimit, kHighLimit) : std::fabs(x));
        }
    for (int k = 0; k < 3; ++k)
        tintvale::detail::PowMany(base + k * kBlock, kExponent, power + k * kBlock, n);
    double rgba[3 * kBlock];
    for (int k = 0; k < 3; ++k) {
        const double* x = cone + k * kBlock;
        const double* p = power + k * kBlock;
        double* y = rgba + k * kBlock;
        if (linearEnds) {
            // CompressWithPower's straight lines, as selections the loop vectorises with.
            const double low = mFLow, high = mFHigh, slope = mSlopeHigh;
            for (std::size_t i = 0; i < n; ++i) {
                const double curve = kMaximum * p[i] / (p[i] + kHalfSaturation);
                const double line
                    = x[i] < kLowLimit ? low * x[i] / kLowLimit : high + slope * (x[i] - kHighLimit);
                y[i] = (x[i] < kLowLimit || x[i] > kHighLimit ? line : curve) + kOffset;
            }
        } else {
            for (std::size_t i = 0; i < n; ++i) {
                const double magnitude = kMaximum * p[i] / (p[i] + kHalfSaturation);
                y[i] = (x[i] < 0.0 ? -magnitude : magnitude) + kOffset;
            }
        }
    }
    const double* r = rgba;
    const double* g = rgba + kBlock;
    const double* bl = rgba + 2 * kBlock;
    double a[kBlock] = {}, b[kBlock] = {}, ratio[kBlock] = {}, sum[kBlock];
    const double ratioScale = mNbb / mAw;
    for (std::size_t i = 0; i < n; ++i) {
        a[i] = r[i] - (12.0 / 11.0) * g[i] + (1.0 / 11.0) * bl[i];
        b[i] = (r[i] + g[i] - 2.0 * bl[i]) * (1.0 / 9.0);
        ratio[i] = (2.0 * r[i] + g[i] + (1.0 / 20.0) * bl[i] - kNoise) * ratioScale;
        sum[i] = r[i] + g[i] + kBlueWeight * bl[i];
    }
    double hue[kBlock], lightness[kBlock], t[kBlock] = {}, chroma[kBlock];
    tintvale::detail::Atan2Many(b, a, hue, n);
    tintvale::detail::PowMany(ratio, sr.c * mZ, lightness, n);
    // e_t r = (cos(h + 2) + 3.8) r / 4 with cos(h + 2) r = a cos 2 - b sin 2 (cos h = a / r, sin h = b / r).
    const double cos2 = std::cos(2.0), sin2 = std::sin(2.0);
    const double tScale = kChromaScale * sr.nc * mNbb / 4.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double radius = std::sqrt(a[i] * a[i] + b[i] * b[i]);
        t[i] = tScale * ((a[i] * cos2 - b[i] * sin2) + 3.8 * radius) / sum[i];
    }
    tintvale::detail::PowMany(t, 0.9, chroma, n);
    const double qScale = (4.0 / sr.c) * (mAw + 4.0) * mFL4;
    double* __restrict const J = out[0] + at;
    double* __restrict const C = out[1] + at;
    double* __restrict const Hue = out[2] + at;
    double* __restrict const Q = out[3] + at;
    double* __restrict const M = out[4] + at;
    double* __restrict const S = out[5] + at;
    double* __restrict const H = out[6] + at;
    const double chromaFactor = mChromaFactor, fl4 = mFL4;
    double rootJ[kBlock];
    for (std::size_t i = 0; i < n; ++i) {
        rootJ[i] = std::sqrt(lightness[i]);
        J[i] = 100.0 * lightness[i];
    }
    for (std::size_t i = 0; i < n; ++i) {
        const double c = chroma[i] * rootJ[i] * chromaFactor;
        Q[i] = qScale * rootJ[i];
        C[i] = c;
        M[i] = c * fl4;
        S[i] = 100.0 * std::sqrt(c * fl4 / Q[i]);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const double degrees = hue[i] * kRadToDeg;
        Hue[i] = degrees < 0.0 ? degrees + 360.0 : degrees;
    }
    for (std::size_t i = 0; i < n; ++i)
        H[i] = HueQuadrature(Hue[i]);
    // 0 v is 0 for a finite v, NaN for any other: one test for all ten numbers.
    std::size_t failed = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double* x = xyz + 3 * i;
        const double probe = 0.0 * x[0] + 0.0 * x[1] + 0.0 * x[2] + 0.0 * J[i] + 0.0 * C[i] + 0.0 * Hue[i]
            + 0.0 * Q[i] + 0.0 * M[i] + 0.0 * S[i] + 0.0 * H[i];
        failed += probe == 0.0 ? 0 : 1;
    }
    return failed;
}

std::size_t TAppearanceModel::ForwardMany(
    const double* xyz, std::size_t count, double* const out[7], unsigned threads) const
{
    if (!xyz || !out)
        return count;
    auto run = [&](std::size_t begin, std::size_t end, std::size_t* failed) {
        constexpr std::size_t kBlock = 256;
        for (std::size_t i = begin; i < end; i += kBlock) {
            const std::size_t n = std::min(kBlock, end - i);
            if (mStatus != kOk) {
                for (std::size_t k = i; k < i + n; ++k)
                    for (int v = 0; v < 7; ++v)
                        out[v][k] = std::nan("");
                *failed += n;
                continue;
            }
            *failed += ForwardBlock(xyz + 3 * i, n, out, i);
        }
    };
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    // Below some thousands of colours a thread costs more than it saves.
    constexpr std::size_t kPerThread = 16384;
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, count / kPerThread + 1));
    std::vector<std::size_t> failed(threads, 0);
    std::vector<std::thread> pool;
    const std::size_t chunk = (count + threads - 1) / threads;
    for (unsigned k = 1; k < threads; ++k)
        pool.emplace_back(run, std::min(count, k * chunk), std::min(count, (k + 1) * chunk), &failed[k]);
    run(0, std::min(count, chunk), &failed[0]);
    for (std::thread& t : pool)
        t.join();
    std::size_t total = 0;
    for (std::size_t f : failed)
        total += f;
    return total;
}
