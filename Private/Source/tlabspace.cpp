// TLabSpace: conversions between XYZ, CIELAB and its polar form (CIE 15:2004, 8.2.1).
#include <tintvale/tlabspace.h>

#include "halden.h"
#include "tmeasurement_white.h"

#include <cmath>

namespace {

// The source named in messages.
constexpr char kSource[] = "tlabspace";

// CIE 15:2004, 8.2.1, with the constants as this library has always rounded them.
constexpr double kLinearThreshold = 0.008856; // (24/116)^3
constexpr double kLinearSlope = 7.787079; // (116/24)^2 / 3
constexpr double kLinearOffset = 0.137931; // 16/116
constexpr double kCubeRoot = 0.33333333333333;
constexpr double kInverseThreshold = 0.206893; // 24/116
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// A result under an invalid white, or one that is not a finite number (from XYZ or Lab far out of
// range), gives 1.
int ResultStatus(int error, const double* v) { return error == 0 && IsFiniteTriple(v) ? 0 : 1; }

} // namespace

TLabSpace::TLabSpace(const double* white)
    : mWhite { 0.0, 0.0, 0.0 }
    , mError(0)
{
    if (!white) {
        error_mess_fl("Invalid XYZref values", kSource, __LINE__);
        mError = 2;
        return;
    }
    for (int i = 0; i < 3; ++i)
        mWhite[i] = white[i];
    for (int i = 0; i < 3; ++i) {
        // A zero, denormal or non-finite component divides into infinities and NaN.
        if (!IsValidLabWhiteComponent(mWhite[i])) {
            if (mWhite[i] < 0.0)
                mWhite[i] = 0.0;
            error_mess_fl("Invalid XYZref values", kSource, __LINE__);
            mError = 2;
            break;
        }
    }
}

TLabSpace::TLabSpace(const TLabSpace& other) = default;
TLabSpace& TLabSpace::operator=(const TLabSpace& other) = default;
TLabSpace::~TLabSpace() = default;

int TLabSpace::ToXYZ(const double* lab, double* xyz) const { return LabToXYZ(lab, xyz); }

int TLabSpace::FromXYZ(const double* xyz, double* lab) const { return XYZToLab(xyz, lab); }

// f(t) = t^(1/3) for t > (24/116)^3, else (116/24)^2 t / 3 + 16/116
double TLabSpace::FLab(double t)
{
    if (t <= kLinearThreshold)
        return kLinearSlope * t + kLinearOffset;
    return std::pow(t, kCubeRoot);
}

// f^-1(f) = f^3 for f > 24/116, else (f - 16/116) * 3 (24/116)^2
double TLabSpace::Fm1Lab(double f)
{
    if (f <= kInverseThreshold)
        return (f - kLinearOffset) / kLinearSlope;
    return std::pow(f, 3.0);
}

double TLabSpace::CalculateHue(const double* lab)
{
    double h = std::atan2(lab[2], lab[1]);
    if (h < 0.0)
        h += kTwoPi;
    return h;
}

// L* = 116 f(Y/Yn) - 16, a* = 500 (f(X/Xn) - f(Y/Yn)), b* = 200 (f(Y/Yn) - f(Z/Zn))
int TLabSpace::XYZToLab(const double* xyz, double* lab) const
{
    if (!xyz || !lab)
        return 2;
    const double tx = xyz[0] < 0.0 ? 0.0 : xyz[0] / mWhite[0];
    const double ty = xyz[1] < 0.0 ? 0.0 : xyz[1] / mWhite[1];
    const double tz = xyz[2] < 0.0 ? 0.0 : xyz[2] / mWhite[2];
    const double fx = FLab(tx);
    const double fy = FLab(ty);
    const double fz = FLab(tz);
    lab[0] = 116.0 * fy - 16.0;
    lab[1] = 500.0 * (fx - fy);
    lab[2] = 200.0 * (fy - fz);
    return ResultStatus(mError, lab);
}

// fy = (L* + 16) / 116, fx = fy + a*/500, fz = fy - b*/200; X = Xn f^-1(fx), ...
int TLabSpace::LabToXYZ(const double* lab, double* xyz) const
{
    if (!lab || !xyz)
        return 2;
    const double fy = (lab[0] + 16.0) / 116.0;
    const double fx = lab[1] / 500.0 + fy;
    const double fz = fy - lab[2] / 200.0;
    double out[3] = { mWhite[0] * Fm1Lab(fx), mWhite[1] * Fm1Lab(fy), mWhite[2] * Fm1Lab(fz) };
    for (int i = 0; i < 3; ++i)
        xyz[i] = out[i] < 0.0 ? 0.0 : out[i];
    return ResultStatus(mError, xyz);
}

namespace {

// t = component / white in single precision, through the double reciprocal; negative gives 0.
inline float FastRatio(double component, double reciprocal)
{
    return static_cast<float>(component < 0.0 ? 0.0 : component * reciprocal);
}

// f(t) in single precision, with the branch decided on t widened back to double.
inline float FastF(float t)
{
    if (static_cast<double>(t) <= kLinearThreshold)
        return t * static_cast<float>(kLinearSlope) + static_cast<float>(kLinearOffset);
    return std::pow(t, static_cast<float>(1.0 / 3.0));
}

} // namespace

int TLabSpace::FastXYZToLab(const double* xyz, double* lab, int count) const
{
    if (count < 1)
        return 0;
    if (!xyz || !lab)
        return 2;
    const double rx = 1.0 / mWhite[0];
    const double ry = 1.0 / mWhite[1];
    const double rz = 1.0 / mWhite[2];
    // In blocks: the ratios of a block first, then its powers in one tight loop (the powers are
    // the cost; between calls nothing else needs to be kept), then the Lab values.
    constexpr int kBlock = 64;
    float f[3 * kBlock];
    while (count > 0) {
        const int n = count < kBlock ? count : kBlock;
        for (int i = 0; i < n; ++i) {
            f[3 * i] = FastRatio(xyz[3 * i], rx);
            f[3 * i + 1] = FastRatio(xyz[3 * i + 1], ry);
            f[3 * i + 2] = FastRatio(xyz[3 * i + 2], rz);
        }
        for (int j = 0; j < 3 * n; ++j)
            f[j] = FastF(f[j]);
        for (int i = 0; i < n; ++i) {
            const float fx = f[3 * i], fy = f[3 * i + 1], fz = f[3 * i + 2];
            lab[3 * i] = static_cast<double>(fy) * 116.0 - 16.0;
            lab[3 * i + 1] = static_cast<double>(fx - fy) * 500.0;
            lab[3 * i + 2] = static_cast<double>(fy - fz) * 200.0;
        }
        xyz += 3 * n;
        lab += 3 * n;
        count -= n;
    }
    return 0;
}

int TLabSpace::XYZToLHC(const double* xyz, double* lhc) const
{
    if (!xyz || !lhc)
        return 2;
    double lab[3];
    XYZToLab(xyz, lab);
    return LabToLHC(lab, lhc);
}

int TLabSpace::LHCToXYZ(const double* lhc, double* xyz) const
{
    if (!lhc || !xyz)
        return 2;
    double lab[3];
    LHCToLab(lhc, lab);
    return LabToXYZ(lab, xyz);
}

// h = atan2(b*, a*) in [0, 2 pi), C = sqrt(a*^2 + b*^2)
int TLabSpace::LabToLHC(const double* lab, double* lhc)
{
    if (!lab || !lhc)
        return 2;
    const double h = CalculateHue(lab);
    const double c = std::sqrt(lab[1] * lab[1] + lab[2] * lab[2]);
    lhc[0] = lab[0];
    lhc[1] = h;
    lhc[2] = c;
    return 0;
}

// a* = C / sqrt(1 + tan^2 h), b* = |tan h| a*, signs restored from the quadrant of h.
int TLabSpace::LHCToLab(const double* lhc, double* lab)
{
    if (!lhc || !lab)
        return 2;
    const double h = lhc[1];
    const double c = lhc[2];
    const double t = std::fabs(std::tan(h));
    const double root = std::sqrt(1.0 + t * t);
    double a = c / root;
    double b = t * c / root;
    if (h > kPi / 2.0 && h < 3.0 * kPi / 2.0)
        a = -a;
    if (h > kPi)
        b = -b;
    lab[0] = lhc[0];
    lab[1] = a;
    lab[2] = b;
    return 0;
}

// With r = f(Wn / W2n) per component: L*' = 116 fy ry - 16, a*' = 500 (fx rx - fy ry),
// b*' = 200 (fy ry - fz rz); exact where the cube-root branch holds.
int TLabSpace::LabToLab(const double* labIn, double* labOut, const double* otherWhite) const
{
    if (!labIn || !labOut || !otherWhite)
        return 2;
    const double rx = FLab(mWhite[0] / otherWhite[0]);
    const double ry = FLab(mWhite[1] / otherWhite[1]);
    const double rz = FLab(mWhite[2] / otherWhite[2]);
    const double fy = (labIn[0] + 16.0) / 116.0;
    const double fx = labIn[1] / 500.0 + fy;
    const double fz = fy - labIn[2] / 200.0;
    labOut[0] = 116.0 * fy * ry - 16.0;
    labOut[1] = 500.0 * (fx * rx - fy * ry);
    labOut[2] = 200.0 * (fy * ry - fz * rz);
    return 0;
}

int TLabSpace::XYZToLabToXYZ(const double* white1, const double* white2, double* xyz)
{
    if (!xyz)
        return 2;
    const TLabSpace from(white1);
    const TLabSpace to(white2);
    double lab[3];
    from.XYZToLab(xyz, lab);
    to.LabToXYZ(lab, xyz);
    return 0;
}

int TLabSpace::GetSqSat(const double* xyz, double* sqSat) const
{
    if (!sqSat)
        return 2;
    *sqSat = 0.0;
    double lab[3];
    if (XYZToLab(xyz, lab) != 0)
        return -1;
    *sqSat = lab[1] * lab[1] + lab[2] * lab[2];
    return 0;
}
