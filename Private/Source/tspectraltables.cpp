// TSpectralTables: illuminants at 1 nm from their formulas, tables and points.
#include <tintvale/tspectraltables.h>

#include <tintvale/tfineintegration.h>
#include <tintvale/tilluminant.h>
#include <tintvale/tspectrum.h>

#include "halden.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace {

// CIE 15:2004, 3.1: illuminant A.
constexpr double kTemperatureA = 2848.0;
constexpr double kSecondRadiationConstant = 1.435e-2; // m·K, as CIE 15 defines A
constexpr double kNormalisedAt = 560.0;
// CIE 15:2004, 3.1: the nominal temperatures of D50 ... D75 were set with c2 = 1.4380e-2.
constexpr double kDaylightScale = 1.4388 / 1.4380;
constexpr double kEqualEnergy = 100.0;
constexpr const char* kCiePrefix = "CIE Illuminant ";
constexpr int kFluorescentFirst = 380;
constexpr int kFluorescentStep = 5;
// Evenly spaced data: every step within this fraction of the first.
constexpr double kEvenTolerance = 1e-6;

struct NamedDaylight {
    const char* name;
    double cct;
};
constexpr NamedDaylight kDaylights[] = { { "D50", 5000.0 }, { "D55", 5500.0 }, { "D75", 7500.0 } };

double RoundTo3(double v) { return std::round(v * 1000.0) / 1000.0; }

// The name without "CIE Illuminant ".
const char* ShortName(const char* name)
{
    const std::size_t n = std::strlen(kCiePrefix);
    return strncmp_ci(name, kCiePrefix, n) == 0 ? name + n : name;
}

// Lagrange basis over nodes k0 ... k0 + m - 1 (m = 3 or 4) at position x (in steps).
double LagrangeAt(const double* v, int k0, int m, double x)
{
    double sum = 0.0;
    for (int j = k0; j < k0 + m; ++j) {
        double l = 1.0;
        for (int i = k0; i < k0 + m; ++i)
            if (i != j)
                l *= (x - i) / (j - i);
        sum += l * v[j];
    }
    return sum;
}

bool Evenly(const double* wl, int n)
{
    const double step = wl[1] - wl[0];
    for (int i = 2; i < n; ++i)
        if (std::fabs(wl[i] - wl[i - 1] - step) > kEvenTolerance * step)
            return false;
    return true;
}

void LinearTo1nm(const double* wl, const double* v, int n, std::vector<double>& out)
{
    out.assign(TSpectralTables::kNrRows, 0.0);
    for (int i = 0; i < TSpectralTables::kNrRows; ++i) {
        const double lambda = TSpectralTables::kFirst + i;
        if (lambda < wl[0] || lambda > wl[n - 1])
            continue;
        const int j = std::min(static_cast<int>(std::upper_bound(wl, wl + n, lambda) - wl) - 1, n - 2);
        const double f = (lambda - wl[j]) / (wl[j + 1] - wl[j]);
        out[i] = (1.0 - f) * v[j] + f * v[j + 1];
    }
}

// A spectrum made from the grid's samples alone has no points: its 36 values at 380 ... 730 nm.
bool GridSamples(const TSpectrum& s, std::vector<double>& power, double* step)
{
    const double* v = s.GetUniformSpectrum(nullptr, nullptr, nullptr);
    if (v == nullptr)
        return false;
    if (step)
        *step = TSpectrum::kUniformStep;
    TSpectralTables::LagrangeTo1nm(
        TSpectrum::kFirstWavelength, TSpectrum::kUniformStep, v, TSpectrum::kNrUniform, power);
    return true;
}

bool OwnPoints(const TSpectrum& s, std::vector<double>& power, double* step)
{
    const int n = s.GetNrPoints();
    if (n < 2)
        return GridSamples(s, power, step);
    std::vector<std::pair<double, double>> points(n);
    for (int i = 0; i < n; ++i)
        points[i] = { s.GetPointWavelengths()[i], s.GetPointValues()[i] };
    std::sort(points.begin(), points.end());
    std::vector<double> wl(n), v(n);
    double widest = 0.0;
    for (int i = 0; i < n; ++i) {
        wl[i] = points[i].first;
        v[i] = points[i].second;
        if (i > 0)
            widest = std::max(widest, wl[i] - wl[i - 1]);
    }
    if (!(widest > 0.0))
        return false;
    if (step)
        *step = widest;
    if (Evenly(wl.data(), n))
        TSpectralTables::LagrangeTo1nm(wl[0], wl[1] - wl[0], v.data(), n, power);
    else
        LinearTo1nm(wl.data(), v.data(), n, power);
    return true;
}

} // namespace

double TSpectralTables::IlluminantA(double nm)
{
    const double c = kSecondRadiationConstant / kTemperatureA * 1e9; // c2 / T in nm
    return 100.0 * std::pow(kNormalisedAt / nm, 5.0) * std::expm1(c / kNormalisedAt) / std::expm1(c / nm);
}

// S = S0 + M1 S1 + M2 S2 (CIE 15:2004, 3.1, equations 3.3 and 3.4).
bool TSpectralTables::Daylight(double cct, std::vector<double>& power)
{
    const double t = cct * kDaylightScale;
    if (!(t >= 4000.0 && t <= 25000.0))
        return false;
    const double xd = t <= 7000.0 ? -4.6070e9 / (t * t * t) + 2.9678e6 / (t * t) + 0.09911e3 / t + 0.244063
                                  : -2.0064e9 / (t * t * t) + 1.9018e6 / (t * t) + 0.24748e3 / t + 0.237040;
    const double yd = -3.000 * xd * xd + 2.870 * xd - 0.275;
    const double m = 0.0241 + 0.2562 * xd - 0.7341 * yd;
    const double m1 = RoundTo3((-1.3515 - 1.7703 * xd + 5.9114 * yd) / m);
    const double m2 = RoundTo3((0.0300 - 31.4424 * xd + 30.0717 * yd) / m);
    double basis[kNrBasisRows];
    for (int i = 0; i < kNrBasisRows; ++i)
        basis[i] = sDaylightBasis[0][i] + m1 * sDaylightBasis[1][i] + m2 * sDaylightBasis[2][i];
    LagrangeTo1nm(kBasisFirst, kBasisStep, basis, kNrBasisRows, power);
    return true;
}

void TSpectralTables::LagrangeTo1nm(
    double first, double step, const double* values, int count, std::vector<double>& out)
{
    out.assign(kNrRows, 0.0);
    if (count < 2 || !(step > 0.0))
        return;
    const double last = first + step * (count - 1);
    for (int i = 0; i < kNrRows; ++i) {
        const double lambda = kFirst + i;
        if (lambda < first - 1e-9 || lambda > last + 1e-9)
            continue;
        const double x = (lambda - first) / step;
        const int k = std::min(static_cast<int>(std::floor(x + 1e-9)), count - 1);
        if (std::fabs(x - k) < 1e-9 || count == 2) {
            out[i] = std::fabs(x - k) < 1e-9 ? values[k] : values[0] + x * (values[1] - values[0]);
            continue;
        }
        // Quadratic in the first and last intervals, cubic inside (ASTM E2022).
        if (k == 0)
            out[i] = LagrangeAt(values, 0, 3, x);
        else if (k == count - 2)
            out[i] = LagrangeAt(values, k - 1, 3, x);
        else
            out[i] = LagrangeAt(values, k - 1, 4, x);
    }
}

bool TSpectralTables::PowerAt1nm(const TIlluminant* illuminant, std::vector<double>& power, double* step)
{
    if (illuminant == nullptr)
        return false;
    const char* name = illuminant->GetName() ? ShortName(illuminant->GetName()) : "";
    double dataStep = 1.0;
    bool known = true;
    if (strcmp_ci(name, "A") == 0) {
        power.resize(kNrRows);
        for (int i = 0; i < kNrRows; ++i)
            power[i] = IlluminantA(kFirst + i);
    } else if (strcmp_ci(name, "D65") == 0) {
        power.assign(sD65, sD65 + kNrRows);
    } else if (strcmp_ci(name, "E") == 0) {
        power.assign(kNrRows, kEqualEnergy);
    } else {
        known = false;
        for (const NamedDaylight& d : kDaylights)
            if (strcmp_ci(name, d.name) == 0)
                known = Daylight(d.cct, power);
        for (int lamp = 0; !known && lamp < TFineIntegration::kNrFluorescent; ++lamp)
            if (strcmp_ci(name, ("F" + std::to_string(lamp + 1)).c_str()) == 0) {
                LagrangeTo1nm(kFluorescentFirst, kFluorescentStep, TFineIntegration::sFluorescent5nm[lamp],
                    TFineIntegration::kNrFineRows, power);
                dataStep = kFluorescentStep;
                known = true;
            }
    }
    if (known) {
        if (step)
            *step = dataStep;
        return true;
    }
    const TSpectrum* s = illuminant->GetSpectrum();
    return s != nullptr && OwnPoints(*s, power, step);
}
