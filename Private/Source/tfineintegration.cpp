// TFineIntegration: the 5-nm CIE summation and the weights that apply it to values at any spacing.
#include <tintvale/tfineintegration.h>

#include <tintvale/tilluminant.h>
#include <tintvale/tspectrum.h>

#include "halden.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

constexpr double kFineFirst = 380.0;
constexpr double kFineStep = 5.0;
// An illuminant's own points serve at 5 nm when no two neighbours are further apart.
constexpr double kLargestFineStep = 5.0 + 1e-9;
// Data whose every step is below this is finer than the 10-nm grid.
constexpr double kFinerThanGrid = 9.5;
// ASTM E308 triangular band-pass of 10 nm: weights at λ - 5, λ, λ + 5.
constexpr double kBandWeights[3] = { 0.25, 0.5, 0.25 };
constexpr double kBandOffsets[3] = { -5.0, 0.0, 5.0 };
constexpr const char* kFluorescentPrefix = "CIE Illuminant F";

constexpr const char* kMethodNames[] = {
    "CIE 15 5 nm 380-780",
    "10 nm 380-730 (illuminant without 5-nm data)",
};

// Where lambda falls in ascending wl[0 .. n-1]: value = (1 - f) v[j] + f v[j + 1], the nearest end
// value beyond the range (CIE 15:2004, section 7).
struct Bracket {
    int j;
    double f;
};

Bracket Locate(const double* wl, int n, double lambda)
{
    if (lambda <= wl[0])
        return { 0, 0.0 };
    if (lambda >= wl[n - 1])
        return { n - 1, 0.0 };
    const int j = static_cast<int>(std::upper_bound(wl, wl + n, lambda) - wl) - 1;
    return { j, (lambda - wl[j]) / (wl[j + 1] - wl[j]) };
}

double Interpolated(const double* v, int j, double f)
{
    return f == 0.0 ? v[j] : (1.0 - f) * v[j] + f * v[j + 1];
}

bool AllFinite(const double* v, int n)
{
    return std::all_of(v, v + n, [](double x) { return std::isfinite(x); });
}

bool StrictlyAscending(const double* v, int n)
{
    for (int i = 1; i < n; ++i)
        if (!(v[i] > v[i - 1]))
            return false;
    return true;
}

} // namespace

TFineIntegration::TFineIntegration(const TIlluminant* illuminant, const TObserver* observer)
    : mObserver(observer != nullptr ? *observer : TObserver(0))
{
    if (illuminant == nullptr || observer == nullptr) {
        mError = kInvalidArgument;
        return;
    }
    mIlluminant = illuminant;
    if (!TakeFluorescentTable(illuminant->GetName()) && !TakeOwnPoints())
        TakeGrid();
    mError = MakeProducts();
}

const char* TFineIntegration::GetMethodName() const { return kMethodNames[mMethod]; }

// The 5-nm CIE table for the fluorescent lamps, whose files hold 10-nm band weights.
bool TFineIntegration::TakeFluorescentTable(const char* name)
{
    if (name == nullptr)
        return false;
    for (int lamp = 0; lamp < kNrFluorescent; ++lamp) {
        const std::string lampName = kFluorescentPrefix + std::to_string(lamp + 1);
        if (strcmp_ci(name, lampName.c_str()) == 0) {
            mPower.assign(sFluorescent5nm[lamp], sFluorescent5nm[lamp] + kNrFineRows);
            TakeFineObserver();
            return true;
        }
    }
    return false;
}

// The illuminant's own points, sorted, interpolated at 5 nm when they are no more than 5 nm apart.
bool TFineIntegration::TakeOwnPoints()
{
    const TSpectrum* s = mIlluminant->GetSpectrum();
    if (s == nullptr || s->GetNrPoints() < 2)
        return false;
    const int n = s->GetNrPoints();
    std::vector<std::pair<double, double>> points(n);
    for (int i = 0; i < n; ++i)
        points[i] = { s->GetPointWavelengths()[i], s->GetPointValues()[i] };
    std::sort(points.begin(), points.end());
    std::vector<double> wl(n), value(n);
    for (int i = 0; i < n; ++i) {
        wl[i] = points[i].first;
        value[i] = points[i].second;
        if (i > 0 && wl[i] - wl[i - 1] > kLargestFineStep)
            return false;
    }
    mPower.resize(kNrFineRows);
    for (int i = 0; i < kNrFineRows; ++i) {
        const Bracket b = Locate(wl.data(), n, kFineFirst + kFineStep * i);
        mPower[i] = Interpolated(value.data(), b.j, b.f);
    }
    TakeFineObserver();
    return true;
}

void TFineIntegration::TakeFineObserver()
{
    const int o = mObserver.Index();
    mMethod = kFiveNm;
    mLambda.resize(kNrFineRows);
    for (int i = 0; i < kNrFineRows; ++i)
        mLambda[i] = kFineFirst + kFineStep * i;
    mXBar.assign(TObserver::sXSpectrum[o], TObserver::sXSpectrum[o] + kNrFineRows);
    mYBar.assign(TObserver::sYSpectrum[o], TObserver::sYSpectrum[o] + kNrFineRows);
    mZBar.assign(TObserver::sZSpectrum[o], TObserver::sZSpectrum[o] + kNrFineRows);
}

// The illuminant's 36 grid samples with the observer's: the library's 10-nm grid.
void TFineIntegration::TakeGrid()
{
    mMethod = kTenNm;
    const TSpectrum* s = mIlluminant->GetSpectrum();
    if (s == nullptr)
        return;
    const int n = TSpectrum::kNrUniform;
    const double* power = s->GetUniformSpectrum(nullptr, nullptr, nullptr);
    mPower.assign(power, power + n);
    mLambda.resize(n);
    for (int i = 0; i < n; ++i)
        mLambda[i] = TSpectrum::kFirstWavelength + TSpectrum::kUniformStep * i;
    const double* x = mObserver.GetXSensitivity()->GetUniformSpectrum(nullptr, nullptr, nullptr);
    const double* y = mObserver.GetYSensitivity()->GetUniformSpectrum(nullptr, nullptr, nullptr);
    const double* z = mObserver.GetZSensitivity()->GetUniformSpectrum(nullptr, nullptr, nullptr);
    mXBar.assign(x, x + n);
    mYBar.assign(y, y + n);
    mZBar.assign(z, z + n);
}

// S x̄, S ȳ, S z̄ at the integration wavelengths and k = 100 / Σ S ȳ (CIE 15:2004, 7.1).
int TFineIntegration::MakeProducts()
{
    const std::size_t n = mPower.size();
    if (n == 0)
        return kNoIlluminant;
    mSX.resize(n);
    mSY.resize(n);
    mSZ.resize(n);
    double sumY = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        mSX[i] = mPower[i] * mXBar[i];
        mSY[i] = mPower[i] * mYBar[i];
        mSZ[i] = mPower[i] * mZBar[i];
        sumY += mSY[i];
    }
    if (!(sumY > 0.0) || !std::isfinite(sumY))
        return kNoIlluminant;
    mK = 100.0 / sumY;
    return kOk;
}

// W_j = Σ_i S_i x̄_i c_ij (and for ȳ, z̄), c_ij the share of value j in the interpolated value at λ_i.
int TFineIntegration::SetWavelengths(const double* wavelengths, int count)
{
    mWX.clear();
    mWY.clear();
    mWZ.clear();
    mBandIndex.clear();
    mBandFraction.clear();
    if (mError != kOk)
        return mError;
    if (wavelengths == nullptr)
        return kInvalidArgument;
    if (count < 2)
        return kTooFewPoints;
    if (!AllFinite(wavelengths, count))
        return kNotFinite;
    if (!StrictlyAscending(wavelengths, count))
        return kUnsorted;
    mWX.assign(count, 0.0);
    mWY.assign(count, 0.0);
    mWZ.assign(count, 0.0);
    for (std::size_t i = 0; i < mLambda.size(); ++i) {
        const Bracket b = Locate(wavelengths, count, mLambda[i]);
        mWX[b.j] += mSX[i] * (1.0 - b.f);
        mWY[b.j] += mSY[i] * (1.0 - b.f);
        mWZ[b.j] += mSZ[i] * (1.0 - b.f);
        if (b.f != 0.0) {
            mWX[b.j + 1] += mSX[i] * b.f;
            mWY[b.j + 1] += mSY[i] * b.f;
            mWZ[b.j + 1] += mSZ[i] * b.f;
        }
    }
    for (int g = 0; g < TSpectrum::kNrUniform; ++g)
        for (double offset : kBandOffsets) {
            const Bracket b = Locate(
                wavelengths, count, TSpectrum::kFirstWavelength + TSpectrum::kUniformStep * g + offset);
            mBandIndex.push_back(b.j);
            mBandFraction.push_back(b.f);
        }
    return kOk;
}

int TFineIntegration::GetGridValues(const double* values, int count, double* grid) const
{
    if (mError != kOk)
        return mError;
    if (values == nullptr || grid == nullptr || mWX.empty())
        return kInvalidArgument;
    if (count != static_cast<int>(mWX.size()))
        return kLengthMismatch;
    if (!AllFinite(values, count))
        return kNotFinite;
    for (int g = 0; g < TSpectrum::kNrUniform; ++g) {
        double sum = 0.0;
        for (int k = 0; k < 3; ++k) {
            sum += kBandWeights[k] * Interpolated(values, mBandIndex[3 * g + k], mBandFraction[3 * g + k]);
        }
        grid[g] = sum;
    }
    return kOk;
}

// X = k Σ_j W_j v_j, Y and Z alike.
int TFineIntegration::GetXYZ(const double* values, int count, double* xyz) const
{
    if (mError != kOk)
        return mError;
    if (values == nullptr || xyz == nullptr || mWX.empty())
        return kInvalidArgument;
    if (count != static_cast<int>(mWX.size()))
        return kLengthMismatch;
    double sx = 0.0;
    double sy = 0.0;
    double sz = 0.0;
    for (int j = 0; j < count; ++j) {
        if (!std::isfinite(values[j]))
            return kNotFinite;
        sx += mWX[j] * values[j];
        sy += mWY[j] * values[j];
        sz += mWZ[j] * values[j];
    }
    xyz[0] = mK * sx;
    xyz[1] = mK * sy;
    xyz[2] = mK * sz;
    return kOk;
}

int TFineIntegration::GetXYZWhite(double* xyz) const
{
    if (mError != kOk)
        return mError;
    if (xyz == nullptr)
        return kInvalidArgument;
    double sums[3] = { 0.0, 0.0, 0.0 };
    for (std::size_t i = 0; i < mSX.size(); ++i) {
        sums[0] += mSX[i];
        sums[1] += mSY[i];
        sums[2] += mSZ[i];
    }
    for (int c = 0; c < 3; ++c)
        xyz[c] = mK * sums[c];
    return kOk;
}

int TFineIntegration::GetXYZ(const TIlluminant* illuminant, const TObserver* observer,
    const double* wavelengths, const double* values, int count, double* xyz)
{
    TFineIntegration integration(illuminant, observer);
    const int status = integration.SetWavelengths(wavelengths, count);
    return status != kOk ? status : integration.GetXYZ(values, count, xyz);
}

bool TFineIntegration::IsFinerThanGrid(const double* wavelengths, int count)
{
    if (wavelengths == nullptr || count < 2 || !AllFinite(wavelengths, count)
        || !StrictlyAscending(wavelengths, count))
        return false;
    for (int i = 1; i < count; ++i)
        if (wavelengths[i] - wavelengths[i - 1] >= kFinerThanGrid)
            return false;
    return true;
}
