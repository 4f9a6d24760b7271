// The colour-rendering indices of a light source: CIE 13.3 Ra and R1 ... R14, CIE 224:2017 Rf,
// ANSI/IES TM-30-20, and the viewing booth of ISO 3664:2009.
#include <tintvale/tappearancemodel.h>
#include <tintvale/tlightsource.h>
#include <tintvale/tspectraltables.h>

#include "tlightsource_tables.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kNrRa = 8; // Ra is the mean of R1 ... R8
// CIE 13.3-1995: the reference is Planckian below 5000 K, daylight from there; DC at most 5.4e-3.
constexpr double kCriDaylight = 5000.0;
constexpr double kCriMaxDc = 5.4e-3;
constexpr double kCriScale = 4.6;
// CIE 224:2017: Planckian below 4000 K, daylight from 5000 K, blended between; the scale factor.
constexpr double kBlendLow = 4000.0;
constexpr double kBlendHigh = 5000.0;
constexpr double kFidelityScale = 6.73;
// CIE 224:2017, 4.3: CIECAM02 with L_A = 100 cd/m², Y_b = 20, average surround, discounting the
// illuminant.
constexpr double kAdaptingLuminance = 100.0;
constexpr double kBackground = 20.0;
constexpr int kNrBins = 16;
constexpr double kBinWidth = 360.0 / kNrBins;
constexpr double kPi = 3.14159265358979323846;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kTenDegrees = 1;
constexpr int kTwoDegrees = 0;

// The sample tables at 360, 361, ..., 830 nm, brought there once.
struct Samples1nm {
    std::vector<double> tcs[lightsource::kNrTcs];
    std::vector<double> ces[lightsource::kNrCes];
};

const Samples1nm& Samples()
{
    static const Samples1nm samples = [] {
        Samples1nm s;
        for (int i = 0; i < lightsource::kNrTcs; ++i)
            TSpectralTables::LagrangeTo1nm(lightsource::kTcsFirst, lightsource::kSampleStep,
                lightsource::kTestColourSamples[i], lightsource::kNrTcsRows, s.tcs[i]);
        for (int i = 0; i < lightsource::kNrCes; ++i)
            TSpectralTables::LagrangeTo1nm(lightsource::kCesFirst, lightsource::kSampleStep,
                lightsource::kEvaluationSamples[i], lightsource::kNrCesRows, s.ces[i]);
        return s;
    }();
    return samples;
}

// CIE 1960 UCS.
void Uv(const double* xyz, double* u, double* v)
{
    const double denominator = xyz[0] + 15.0 * xyz[1] + 3.0 * xyz[2];
    *u = 4.0 * xyz[0] / denominator;
    *v = 6.0 * xyz[1] / denominator;
}

// CIE 13.3-1995, equations 4-5: c = (4 - u - 10 v) / v, d = (1.708 v + 0.404 - 1.481 u) / v.
double CFactor(double u, double v) { return (4.0 - u - 10.0 * v) / v; }
double DFactor(double u, double v) { return (1.708 * v + 0.404 - 1.481 * u) / v; }

struct Adapted {
    double u, v;
};

// CIE 13.3-1995, equations 6-7: von Kries in the CIE 1960 UCS from the test lamp k to the reference r.
Adapted VonKries(double u, double v, double cr, double dr, double ck, double dk)
{
    const double c = cr / ck * CFactor(u, v);
    const double d = dr / dk * DFactor(u, v);
    const double denominator = 16.518 + 1.481 * c - d;
    return { (10.872 + 0.404 * c - 4.0 * d) / denominator, 5.520 / denominator };
}

// CIE 1964 U*V*W*: W* = 25 Y^(1/3) - 17, U* = 13 W* (u - u_w), V* = 13 W* (v - v_w).
void Uvw(double y, double u, double v, double uw, double vw, double* uvw)
{
    uvw[2] = 25.0 * std::cbrt(y) - 17.0;
    uvw[0] = 13.0 * uvw[2] * (u - uw);
    uvw[1] = 13.0 * uvw[2] * (v - vw);
}

// CIE 224:2017, equation 8: R_f = 10 ln(exp((100 - c_f ΔE) / 10) + 1).
double FidelityOf(double deltaE)
{
    return 10.0 * std::log1p(std::exp((100.0 - kFidelityScale * deltaE) / 10.0));
}

void Scale(double* xyz, double k)
{
    for (int c = 0; c < 3; ++c)
        xyz[c] *= k;
}

} // namespace

struct TLightSource::SampleShifts {
    double test[lightsource::kNrCes][3];
    double reference[lightsource::kNrCes][3];
    double deltaE[lightsource::kNrCes];
};

int TLightSource::GetColourRendering(ColourRendering* out) const
{
    if (out == nullptr)
        return kInvalidArgument;
    double cct = 0.0;
    const int status = ReferenceCct(&cct);
    if (status != kOk)
        return status;

    std::vector<double> reference;
    if (!Reference(cct, kCriDaylight, kCriDaylight, reference))
        return kCctOutOfRange;
    double lamp[3], ref[3];
    Tristimulus(mPower, nullptr, kTwoDegrees, TSpectralTables::kFirst, TSpectralTables::kLast, lamp);
    Tristimulus(reference, nullptr, kTwoDegrees, TSpectralTables::kFirst, TSpectralTables::kLast, ref);
    const double kLamp = 100.0 / lamp[1], kRef = 100.0 / ref[1];
    double uk, vk, ur, vr;
    Uv(lamp, &uk, &vk);
    Uv(ref, &ur, &vr);
    const double ck = CFactor(uk, vk), dk = DFactor(uk, vk), cr = CFactor(ur, vr), dr = DFactor(ur, vr);
    const Adapted white = VonKries(uk, vk, cr, dr, ck, dk);
    double sum = 0.0;
    for (int i = 0; i < lightsource::kNrTcs; ++i) {
        double test[3], under[3], uvwTest[3], uvwRef[3], u, v;
        Tristimulus(mPower, Samples().tcs[i].data(), kTwoDegrees, TSpectralTables::kFirst,
            TSpectralTables::kLast, test);
        Tristimulus(reference, Samples().tcs[i].data(), kTwoDegrees, TSpectralTables::kFirst,
            TSpectralTables::kLast, under);
        Scale(test, kLamp);
        Scale(under, kRef);
        Uv(test, &u, &v);
        const Adapted adapted = VonKries(u, v, cr, dr, ck, dk);
        Uvw(test[1], adapted.u, adapted.v, white.u, white.v, uvwTest);
        Uv(under, &u, &v);
        Uvw(under[1], u, v, ur, vr, uvwRef);
        const double deltaE = std::sqrt(std::pow(uvwTest[0] - uvwRef[0], 2)
            + std::pow(uvwTest[1] - uvwRef[1], 2) + std::pow(uvwTest[2] - uvwRef[2], 2));
        out->r[i] = 100.0 - kCriScale * deltaE;
        if (i < kNrRa)
            sum += out->r[i];
    }
    out->ra = sum / kNrRa;
    out->dc = std::hypot(uk - ur, vk - vr);
    out->valid = out->dc <= kCriMaxDc;
    return kOk;
}

// The 99 samples in CAM02-UCS under the lamp and under the reference (CIE 224:2017, 4.3 - 4.4).
int TLightSource::Shifts(SampleShifts* out) const
{
    double cct = 0.0;
    const int status = ReferenceCct(&cct);
    if (status != kOk)
        return status;

    std::vector<double> reference;
    if (!Reference(cct, kBlendLow, kBlendHigh, reference))
        return kCctOutOfRange;
    const std::vector<double>* lights[2] = { &mPower, &reference };
    double(*results[2])[3] = { out->test, out->reference };
    for (int which = 0; which < 2; ++which) {
        TAppearanceModel::ViewingConditions conditions;
        Tristimulus(*lights[which], nullptr, kTenDegrees, lightsource::kCesFirst, lightsource::kCesLast,
            conditions.white);
        const double k = 100.0 / conditions.white[1];
        Scale(conditions.white, k);
        conditions.adaptingLuminance = kAdaptingLuminance;
        conditions.background = kBackground;
        conditions.surround = TAppearanceModel::kAverage;
        conditions.discountIlluminant = true;
        const TAppearanceModel model(TAppearanceModel::Model::CIECAM02, conditions);
        for (int i = 0; i < lightsource::kNrCes; ++i) {
            double xyz[3];
            Tristimulus(*lights[which], Samples().ces[i].data(), kTenDegrees, lightsource::kCesFirst,
                lightsource::kCesLast, xyz);
            Scale(xyz, k);
            if (model.XYZToUniform(xyz, TAppearanceModel::UniformSpace::UCS, results[which][i])
                != TAppearanceModel::kOk)
                return kNotFinite;
        }
    }
    for (int i = 0; i < lightsource::kNrCes; ++i)
        out->deltaE[i] = std::sqrt(std::pow(out->test[i][0] - out->reference[i][0], 2)
            + std::pow(out->test[i][1] - out->reference[i][1], 2)
            + std::pow(out->test[i][2] - out->reference[i][2], 2));
    return kOk;
}

int TLightSource::GetFidelity(Fidelity* out) const
{
    if (out == nullptr)
        return kInvalidArgument;
    SampleShifts shifts;
    const int status = Shifts(&shifts);
    if (status != kOk)
        return status;
    double sum = 0.0;
    for (int i = 0; i < lightsource::kNrCes; ++i) {
        out->rfi[i] = FidelityOf(shifts.deltaE[i]);
        sum += shifts.deltaE[i];
    }
    out->rf = FidelityOf(sum / lightsource::kNrCes);
    return kOk;
}

namespace {

// Twice the area of the polygon through the points (the shoelace formula).
double TwiceArea(const double (*points)[2])
{
    double sum = 0.0;
    for (int j = 0; j < kNrBins; ++j) {
        const double* p = points[j];
        const double* q = points[(j + 1) % kNrBins];
        sum += p[0] * q[1] - p[1] * q[0];
    }
    return sum;
}

} // namespace

TLightSource TLightSource::Linear1nm() const
{
    std::vector<double> nm, power;
    for (std::size_t i = 0; i + 1 < mLambda.size(); ++i)
        for (int at = mLambda[i]; at < mLambda[i + 1]; ++at) {
            const double f = static_cast<double>(at - mLambda[i]) / (mLambda[i + 1] - mLambda[i]);
            nm.push_back(at);
            power.push_back((1.0 - f) * mPower[i] + f * mPower[i + 1]);
        }
    nm.push_back(mLambda.back());
    power.push_back(mPower.back());
    return TLightSource(nm.data(), power.data(), static_cast<int>(nm.size()));
}

// ANSI/IES TM-30-20, 4.4 - 4.7: the samples binned by their hue under the reference, the mean a', b'
// of each bin under both lights, the gamut index from the two polygons, and the shifts of each bin's
// mean projected on the radial and tangential directions of the bin's middle hue.
int TLightSource::GetTm30(Tm30* out) const
{
    if (out == nullptr)
        return kInvalidArgument;
    if (mError == kOk && mStep > 1)
        return Linear1nm().GetTm30(out);
    SampleShifts shifts;
    const int status = Shifts(&shifts);
    if (status != kOk)
        return status;
    double test[kNrBins][2] = {}, ref[kNrBins][2] = {}, deltaE[kNrBins] = {};
    int count[kNrBins] = {};
    double sum = 0.0;
    for (int i = 0; i < lightsource::kNrCes; ++i) {
        double hue = std::atan2(shifts.reference[i][2], shifts.reference[i][1]) * 180.0 / kPi;
        if (hue < 0.0)
            hue += 360.0;
        // A sample without a hue (NaN from the model) has no bin; converting NaN to int is undefined.
        if (!std::isfinite(hue))
            return kNotFinite;
        const int bin = std::min(kNrBins - 1, static_cast<int>(hue / kBinWidth));
        for (int c = 0; c < 2; ++c) {
            test[bin][c] += shifts.test[i][c + 1];
            ref[bin][c] += shifts.reference[i][c + 1];
        }
        deltaE[bin] += shifts.deltaE[i];
        ++count[bin];
        sum += shifts.deltaE[i];
    }
    out->edition = "ANSI/IES TM-30-20";
    out->rf = FidelityOf(sum / lightsource::kNrCes);
    for (int j = 0; j < kNrBins; ++j) {
        // An empty bin has no mean: NaN, and so the gamut index.
        const double n = count[j] > 0 ? count[j] : kNaN;
        for (int c = 0; c < 2; ++c) {
            test[j][c] /= n;
            ref[j][c] /= n;
        }
        const double angle = (j + 0.5) * kBinWidth * kPi / 180.0;
        const double da = test[j][0] - ref[j][0], db = test[j][1] - ref[j][1];
        const double norm = std::hypot(ref[j][0], ref[j][1]);
        out->rfh[j] = FidelityOf(deltaE[j] / n);
        out->rcsh[j] = 100.0 * (da * std::cos(angle) + db * std::sin(angle)) / norm;
        out->rhsh[j] = (-da * std::sin(angle) + db * std::cos(angle)) / norm;
    }
    out->rg = 100.0 * TwiceArea(test) / TwiceArea(ref);
    return kOk;
}

const char* TLightSource::VerdictName(Verdict verdict)
{
    switch (verdict) {
    case kPass:
        return "pass";
    case kFail:
        return "fail";
    default:
        return "not evaluated";
    }
}

int TLightSource::GetViewingBooth(ViewingBooth* out) const
{
    if (out == nullptr)
        return kInvalidArgument;
    if (mError != kOk)
        return mError;
    double xyz10[3];
    Tristimulus(mPower, nullptr, kTenDegrees, TSpectralTables::kFirst, TSpectralTables::kLast, xyz10);
    const double denominator = xyz10[0] + 15.0 * xyz10[1] + 3.0 * xyz10[2];
    const double distance = std::hypot(
        4.0 * xyz10[0] / denominator - kBoothAimU10, 9.0 * xyz10[1] / denominator - kBoothAimV10);
    ColourRendering cri;
    const bool haveRa = GetColourRendering(&cri) == kOk;
    out->condition = "P1/P2";
    out->criteria = {
        { "chromaticity",
            "ISO 3664:2009: within 0.005 of D50 (u'10 0.2102, v'10 0.4889) in the CIE 1964 u'10 v'10 diagram",
            distance, distance <= kBoothRadius ? kPass : kFail },
        { "colour rendering", "ISO 3664:2009: CIE 13.3 general colour rendering index Ra >= 90",
            haveRa ? cri.ra : kNaN, haveRa ? (cri.ra >= kBoothMinRa ? kPass : kFail) : kNotEvaluated },
        { "visible metamerism index",
            "ISO 3664:2009: CIE 51.2 visible-range metamerism index (the CIE 51.2 sample data are not "
            "public)",
            kNaN, kNotEvaluated },
        { "UV metamerism index",
            "ISO 3664:2009: CIE 51.2 ultraviolet metamerism index (the CIE 51.2 sample data are not public)",
            kNaN, kNotEvaluated },
    };
    out->verdict = kPass;
    for (const Criterion& each : out->criteria)
        if (each.verdict == kFail)
            out->verdict = kFail;
        else if (each.verdict == kNotEvaluated && out->verdict == kPass)
            out->verdict = kNotEvaluated;
    return kOk;
}
