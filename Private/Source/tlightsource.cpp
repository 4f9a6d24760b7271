// The light source's data, its chromaticity and correlated colour temperature, and the reference
// illuminants the colour-rendering indices compare it with.
#include <tintvale/tlightsource.h>
#include <tintvale/tspectraltables.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// CIE 15:2004, 3.1: the second radiation constant of Planck's law, m·K.
constexpr double kC2 = 1.4388e-2;
// TSpectralTables::Daylight takes the nominal temperature of the CIE D illuminants and scales it by
// 1.4388/1.4380; a reference illuminant is the daylight at the CCT itself.
constexpr double kDaylightNominal = 1.4380 / 1.4388;
constexpr double kDaylightMin = 4000.0;
constexpr double kDaylightMax = 25000.0;
// Data on whole nanometres: each wavelength within this of an integer.
constexpr double kWholeTolerance = 1e-6;
constexpr int kLowest = TSpectralTables::kFirst;
constexpr int kHighest = TSpectralTables::kLast;
constexpr int kNeedFirst = 380;
constexpr int kNeedLast = 780;
// Ohno (2013): a Planckian table in steps of 1 %, then the cascade of finer tables (10 steps between
// the neighbours of the nearest point) the paper describes; below |Duv| 0.002 the triangular
// solution, above it the parabolic one.
constexpr double kTableRatio = 1.01;
constexpr int kCascadeSteps = 10;
constexpr int kCascadeRounds = 6;
constexpr double kTriangularLimit = 0.002;

struct LocusPoint {
    double t, u, v;
};

LocusPoint Locus(double t)
{
    LocusPoint p { t, 0.0, 0.0 };
    TLightSource::PlanckianUv(t, &p.u, &p.v);
    return p;
}

const std::vector<LocusPoint>& CoarseLocus()
{
    static const std::vector<LocusPoint> table = [] {
        std::vector<LocusPoint> out;
        for (double t = TLightSource::kCctMin / kTableRatio;
             t <= TLightSource::kCctMax * kTableRatio * kTableRatio; t *= kTableRatio)
            out.push_back(Locus(t));
        return out;
    }();
    return table;
}

double Distance(const LocusPoint& p, double u, double v) { return std::hypot(p.u - u, p.v - v); }

std::size_t Nearest(const std::vector<LocusPoint>& table, double u, double v)
{
    std::size_t m = 0;
    for (std::size_t i = 1; i < table.size(); ++i)
        if (Distance(table[i], u, v) < Distance(table[m], u, v))
            m = i;
    return m;
}

// Ohno (2013), LEUKOS 10(1): 47-55, equations 4-12, on the points either side of the nearest.
void SolveOhno(const LocusPoint& p0, const LocusPoint& p1, const LocusPoint& p2, double u, double v,
    double* cct, double* duv)
{
    const double d0 = Distance(p0, u, v), d1 = Distance(p1, u, v), d2 = Distance(p2, u, v);
    const double l = std::hypot(p2.u - p0.u, p2.v - p0.v);
    const double x = (d0 * d0 - d2 * d2 + l * l) / (2.0 * l);
    const double tTri = p0.t + (p2.t - p0.t) * x / l;
    const double vTri = p0.v + (p2.v - p0.v) * x / l;
    const double sign = v - vTri < 0.0 ? -1.0 : 1.0;
    const double duvTri = sign * std::sqrt(std::max(0.0, d0 * d0 - x * x));
    if (std::fabs(duvTri) < kTriangularLimit) {
        *cct = tTri;
        *duv = duvTri;
        return;
    }
    const double t0 = p0.t, t1 = p1.t, t2 = p2.t;
    const double big = (t2 - t1) * (t0 - t2) * (t1 - t0);
    const double a = (t0 * (d2 - d1) + t1 * (d0 - d2) + t2 * (d1 - d0)) / big;
    const double b = -(t0 * t0 * (d2 - d1) + t1 * t1 * (d0 - d2) + t2 * t2 * (d1 - d0)) / big;
    const double c = -(d0 * (t2 - t1) * t1 * t2 + d1 * (t0 - t2) * t0 * t2 + d2 * (t1 - t0) * t0 * t1) / big;
    const double t = -b / (2.0 * a);
    *cct = t;
    *duv = sign * (a * t * t + b * t + c);
}

bool IsWhole(double nm) { return std::fabs(nm - std::round(nm)) <= kWholeTolerance; }

} // namespace

const char* TLightSource::GetStatusText(int status)
{
    static const char* const kTexts[] = {
        "ok",
        "invalid argument (a null pointer or fewer than 2 points)",
        "a wavelength, power or result is not a finite number",
        "wavelengths not strictly ascending",
        "the spectrum does not cover 380-780 nm",
        "negative spectral power",
        "every spectral power is zero",
        "chromaticity beyond the CCT range (1000-20000 K, |Duv| <= 0.05)",
    };
    if (status < 0 || status >= static_cast<int>(sizeof(kTexts) / sizeof(kTexts[0])))
        return "unknown status";
    return kTexts[status];
}

TLightSource::TLightSource(const double* wavelengths, const double* power, int count)
{
    mError = Validate(wavelengths, power, count);
    if (mError != kOk)
        return;
    const double step = wavelengths[1] - wavelengths[0];
    bool even = IsWhole(step) && step >= 1.0;
    for (int i = 0; even && i < count; ++i)
        even = IsWhole(wavelengths[i])
            && (i == 0 || std::fabs(wavelengths[i] - wavelengths[i - 1] - step) <= kWholeTolerance);
    if (even) {
        for (int i = 0; i < count; ++i) {
            const int nm = static_cast<int>(std::lround(wavelengths[i]));
            if (nm >= kLowest && nm <= kHighest) {
                mLambda.push_back(nm);
                mPower.push_back(power[i]);
            }
        }
        mStep = static_cast<int>(std::lround(step));
    } else {
        // Uneven or fractional wavelengths (bands of 3.33 nm, say): linearly to every whole nanometre
        // within the data.
        int j = 0;
        for (int nm = std::max(kLowest, static_cast<int>(std::ceil(wavelengths[0] - kWholeTolerance)));
             nm <= kHighest && nm <= wavelengths[count - 1] + kWholeTolerance; ++nm) {
            while (j + 2 < count && wavelengths[j + 1] < nm)
                ++j;
            const double f
                = std::min(1.0, std::max(0.0, (nm - wavelengths[j]) / (wavelengths[j + 1] - wavelengths[j])));
            mLambda.push_back(nm);
            mPower.push_back((1.0 - f) * power[j] + f * power[j + 1]);
        }
        mStep = 1;
        mInterpolated = true;
    }
    if (std::none_of(mPower.begin(), mPower.end(), [](double p) { return p > 0.0; })) {
        mError = kNoPower;
        mLambda.clear();
        mPower.clear();
    }
}

int TLightSource::Validate(const double* wavelengths, const double* power, int count)
{
    if (wavelengths == nullptr || power == nullptr || count < 2)
        return kInvalidArgument;
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(wavelengths[i]) || !std::isfinite(power[i]))
            return kNotFinite;
    for (int i = 1; i < count; ++i)
        if (!(wavelengths[i] > wavelengths[i - 1]))
            return kUnsorted;
    if (wavelengths[0] > kNeedFirst + kWholeTolerance || wavelengths[count - 1] < kNeedLast - kWholeTolerance)
        return kRangeTooShort;
    for (int i = 0; i < count; ++i)
        if (power[i] < 0.0)
            return kNegative;
    return kOk;
}

// Planck's law, M(λ, T) ∝ λ^-5 / (exp(c2 / (λ T)) - 1); the CIE 1960 UCS u = 4X / (X + 15Y + 3Z),
// v = 6Y / (X + 15Y + 3Z).
void TLightSource::PlanckianUv(double t, double* u, double* v)
{
    double xyz[3] = { 0.0, 0.0, 0.0 };
    for (int i = 0; i < TSpectralTables::kNrRows; ++i) {
        const double metres = (TSpectralTables::kFirst + i) * 1e-9;
        const double m = 1.0 / (std::pow(metres, 5.0) * std::expm1(kC2 / (metres * t)));
        for (int c = 0; c < 3; ++c)
            xyz[c] += m * TSpectralTables::sObserver1nm[0][c][i];
    }
    const double denominator = xyz[0] + 15.0 * xyz[1] + 3.0 * xyz[2];
    *u = 4.0 * xyz[0] / denominator;
    *v = 6.0 * xyz[1] / denominator;
}

bool TLightSource::CctFromUv(double u, double v, double* cct, double* duv)
{
    if (cct == nullptr || duv == nullptr || !std::isfinite(u) || !std::isfinite(v))
        return false;
    std::vector<LocusPoint> table = CoarseLocus();
    std::size_t m = Nearest(table, u, v);
    if (m == 0 || m + 1 == table.size())
        return false;
    for (int round = 0; round < kCascadeRounds; ++round) {
        const double low = table[m - 1].t, high = table[m + 1].t;
        std::vector<LocusPoint> finer;
        for (int i = 0; i <= kCascadeSteps; ++i)
            finer.push_back(Locus(low + (high - low) * i / kCascadeSteps));
        table.swap(finer);
        m = std::min<std::size_t>(std::max<std::size_t>(Nearest(table, u, v), 1), kCascadeSteps - 1);
    }
    double t = 0.0, d = 0.0;
    SolveOhno(table[m - 1], table[m], table[m + 1], u, v, &t, &d);
    if (!(t >= kCctMin && t <= kCctMax))
        return false;
    *cct = t;
    *duv = d;
    return true;
}

void TLightSource::Tristimulus(const std::vector<double>& power, const double* reflectance1nm, int observer,
    int first, int last, double* xyz) const
{
    xyz[0] = xyz[1] = xyz[2] = 0.0;
    for (std::size_t i = 0; i < mLambda.size(); ++i) {
        if (mLambda[i] < first || mLambda[i] > last)
            continue;
        const int row = mLambda[i] - TSpectralTables::kFirst;
        const double sr = power[i] * (reflectance1nm != nullptr ? reflectance1nm[row] : 1.0);
        for (int c = 0; c < 3; ++c)
            xyz[c] += sr * TSpectralTables::sObserver1nm[observer][c][row];
    }
}

int TLightSource::Cct(double* cct, double* duv) const
{
    if (mError != kOk)
        return mError;
    double xyz[3];
    Tristimulus(mPower, nullptr, 0, kLowest, kHighest, xyz);
    const double denominator = xyz[0] + 15.0 * xyz[1] + 3.0 * xyz[2];
    return CctFromUv(4.0 * xyz[0] / denominator, 6.0 * xyz[1] / denominator, cct, duv) ? kOk : kCctOutOfRange;
}

int TLightSource::ReferenceCct(double* cct) const
{
    double duv = 0.0;
    const int status = Cct(cct, &duv);
    if (status != kOk)
        return status;
    return std::fabs(duv) <= kDuvMax ? kOk : kCctOutOfRange;
}

int TLightSource::GetChromaticity(Chromaticity* out) const
{
    if (out == nullptr)
        return kInvalidArgument;
    double cct = 0.0, duv = 0.0;
    const int status = Cct(&cct, &duv);
    if (status != kOk)
        return status;
    double xyz[3], xyz10[3];
    Tristimulus(mPower, nullptr, 0, kLowest, kHighest, xyz);
    Tristimulus(mPower, nullptr, 1, kLowest, kHighest, xyz10);
    const double sum = xyz[0] + xyz[1] + xyz[2];
    const double denominator = xyz[0] + 15.0 * xyz[1] + 3.0 * xyz[2];
    const double denominator10 = xyz10[0] + 15.0 * xyz10[1] + 3.0 * xyz10[2];
    out->x = xyz[0] / sum;
    out->y = xyz[1] / sum;
    out->uPrime = 4.0 * xyz[0] / denominator;
    out->vPrime = 9.0 * xyz[1] / denominator;
    out->uPrime10 = 4.0 * xyz10[0] / denominator10;
    out->vPrime10 = 9.0 * xyz10[1] / denominator10;
    out->cct = cct;
    out->duv = duv;
    out->inRange = std::fabs(duv) <= kDuvMax;
    return kOk;
}

bool TLightSource::Reference(double cct, double low, double high, std::vector<double>& power) const
{
    std::vector<double> planck(mLambda.size()), daylight(mLambda.size());
    for (std::size_t i = 0; i < mLambda.size(); ++i) {
        const double metres = mLambda[i] * 1e-9;
        planck[i] = 1.0 / (std::pow(metres, 5.0) * std::expm1(kC2 / (metres * cct)));
    }
    if (cct < low) {
        power.swap(planck);
        return true;
    }
    if (!(cct >= kDaylightMin && cct <= kDaylightMax))
        return false;
    std::vector<double> daylight1nm;
    // The nudge keeps 4000 K from rounding below the range Daylight accepts.
    if (!TSpectralTables::Daylight(cct * kDaylightNominal * (1.0 + 1e-12), daylight1nm))
        return false;
    for (std::size_t i = 0; i < mLambda.size(); ++i)
        daylight[i] = daylight1nm[mLambda[i] - TSpectralTables::kFirst];
    if (cct >= high) {
        power.swap(daylight);
        return true;
    }
    // CIE 224:2017, 4.2: the two at equal luminance, the daylight's share rising linearly.
    double yPlanck[3], yDaylight[3];
    Tristimulus(planck, nullptr, 0, kLowest, kHighest, yPlanck);
    Tristimulus(daylight, nullptr, 0, kLowest, kHighest, yDaylight);
    const double share = (cct - low) / (high - low);
    power.resize(mLambda.size());
    for (std::size_t i = 0; i < mLambda.size(); ++i)
        power[i] = (1.0 - share) * planck[i] / yPlanck[1] + share * daylight[i] / yDaylight[1];
    return true;
}
