// TFineIntegration: ASTM E308 weights, the CIE 15 summation and the weights that apply them to
// values at any spacing.
#include <tintvale/tfineintegration.h>

#include <tintvale/tilluminant.h>
#include <tintvale/tspectraltables.h>
#include <tintvale/tspectrum.h>

#include "halden.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr double kFineFirst = 380.0;
constexpr double kFineStep = 5.0;
// An illuminant's data serve at 5 nm when no two neighbours are further apart.
constexpr double kLargestFineStep = 5.0 + 1e-9;
// Data whose every step is below this is finer than the 10-nm grid.
constexpr double kFinerThanGrid = 9.5;
// Even steps on whole nanometres: within this of an integer.
constexpr double kWholeNm = 1e-6;
// Every integration needs at least this range (nm).
constexpr double kNeededFirst = 400.0;
constexpr double kNeededLast = 700.0;
// ASTM E308 tabulates weights for these steps; 1- and 5-nm data are summed.
constexpr int kAstmSteps[] = { 10, 20 };
constexpr int kSummedSteps[] = { 1, 5 };
// ASTM E308 triangular band-pass of 10 nm: weights at λ - 5, λ, λ + 5.
constexpr double kBandWeights[3] = { 0.25, 0.5, 0.25 };
constexpr double kBandOffsets[3] = { -5.0, 0.0, 5.0 };

constexpr const char* kFiveNmName = "CIE 15 5 nm 380-780";
constexpr const char* kTenNmName = "10 nm 380-730 (illuminant without 5-nm data)";

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

bool OneOf(int step, const int* steps, int n) { return std::find(steps, steps + n, step) != steps + n; }

int Nm(double lambda) { return static_cast<int>(std::lround(lambda)); }

} // namespace

const char* const TFineIntegration::sRequestNames[3] = { "auto", "astm-e308", "cie15" };

int TFineIntegration::RequestByName(const char* name)
{
    for (int i = 0; name != nullptr && i < 3; ++i)
        if (strcmp_ci(name, sRequestNames[i]) == 0)
            return i;
    return -1;
}

const char* TFineIntegration::GetStatusText(int status)
{
    static const char* const texts[] = {
        "no error",
        "the illuminant has no spectrum or no luminance",
        "no wavelengths set, or a null pointer",
        "wavelengths and values must be finite",
        "wavelengths must be strictly ascending",
        "wavelengths must hold at least 2 values",
        "a count other than the number of wavelengths",
        "a wavelength is repeated",
        "the method needs evenly spaced wavelengths on whole nanometres",
        "the wavelengths must reach from 400 to 700 nm",
    };
    const int n = static_cast<int>(sizeof texts / sizeof texts[0]);
    return status >= 0 && status < n ? texts[status] : "integration error";
}

TFineIntegration::TFineIntegration(const TIlluminant* illuminant, const TObserver* observer, Request request)
    : mRequest(request)
    , mObserver(observer != nullptr ? *observer : TObserver(0))
{
    if (illuminant == nullptr || observer == nullptr || request < kAuto || request > kRequestCie15) {
        mError = kInvalidArgument;
        return;
    }
    mIlluminant = illuminant;
    if (!TSpectralTables::PowerAt1nm(illuminant, mPower1nm, &mPowerStep)) {
        mError = kNoIlluminant;
        return;
    }
    if (mPowerStep <= kLargestFineStep)
        TakeFineTables();
    else
        TakeGrid();
    mError = MakeProducts();
}

// The illuminant and the observer's full-precision functions at 380, 385, ..., 780 nm.
void TFineIntegration::TakeFineTables()
{
    const int o = mObserver.Index();
    mMethod = kFiveNm;
    mMethodName = kFiveNmName;
    mLambda.resize(kNrFineRows);
    mPower.resize(kNrFineRows);
    mXBar.resize(kNrFineRows);
    mYBar.resize(kNrFineRows);
    mZBar.resize(kNrFineRows);
    for (int i = 0; i < kNrFineRows; ++i) {
        mLambda[i] = kFineFirst + kFineStep * i;
        const int row = Nm(mLambda[i]) - TSpectralTables::kFirst;
        mPower[i] = mPower1nm[row];
        mXBar[i] = TSpectralTables::sObserver1nm[o][0][row];
        mYBar[i] = TSpectralTables::sObserver1nm[o][1][row];
        mZBar[i] = TSpectralTables::sObserver1nm[o][2][row];
    }
}

// The illuminant's 36 grid samples with the observer's: the library's 10-nm grid.
void TFineIntegration::TakeGrid()
{
    mMethod = kTenNm;
    mMethodName = kTenNmName;
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

int TFineIntegration::Validate(const double* wavelengths, int count) const
{
    if (wavelengths == nullptr)
        return kInvalidArgument;
    if (count < 2)
        return kTooFewPoints;
    if (!AllFinite(wavelengths, count))
        return kNotFinite;
    for (int i = 1; i < count; ++i)
        if (wavelengths[i] == wavelengths[i - 1])
            return kRepeated;
    if (!StrictlyAscending(wavelengths, count))
        return kUnsorted;
    if (wavelengths[0] > kNeededFirst || wavelengths[count - 1] < kNeededLast)
        return kRangeTooShort;
    return kOk;
}

// The method the request and the data's spacing call for, its weights made.
int TFineIntegration::Choose(const double* wavelengths, int count)
{
    const int step = EvenStep(wavelengths, count);
    const bool summed = OneOf(step, kSummedSteps, 2);
    const bool astm = OneOf(step, kAstmSteps, 2);
    if (mRequest == kRequestAstmE308 && step == 0)
        return kUneven;
    if (mRequest == kRequestAstmE308 && !summed)
        return WeighAstm(wavelengths, count);
    if (mRequest == kAuto && astm)
        return WeighAstm(wavelengths, count);
    if (summed && mMethod != kTenNm)
        return WeighSummation(wavelengths, count);
    WeighInterpolated(wavelengths, count);
    return kOk;
}

// W_j = Σ_i S_i x̄_i c_ij (and for ȳ, z̄), c_ij the share of value j in the interpolated value at λ_i.
void TFineIntegration::WeighInterpolated(const double* wavelengths, int count)
{
    mKSet = mK;
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
}

// W_j = S(λ_j) x̄(λ_j) at the data's own points, k = 100 / Σ S ȳ over them (CIE 15:2004, 7.1).
int TFineIntegration::WeighSummation(const double* wavelengths, int count)
{
    const int o = mObserver.Index();
    double sumY = 0.0;
    for (int j = 0; j < count; ++j) {
        const int row = Nm(wavelengths[j]) - TSpectralTables::kFirst;
        if (row < 0 || row >= TSpectralTables::kNrRows)
            continue;
        mWX[j] = mPower1nm[row] * TSpectralTables::sObserver1nm[o][0][row];
        mWY[j] = mPower1nm[row] * TSpectralTables::sObserver1nm[o][1][row];
        mWZ[j] = mPower1nm[row] * TSpectralTables::sObserver1nm[o][2][row];
        sumY += mWY[j];
    }
    if (!(sumY > 0.0) || !std::isfinite(sumY))
        return kNoIlluminant;
    mKSet = 100.0 / sumY;
    mMethod = kSummation;
    return kOk;
}

int TFineIntegration::WeighAstm(const double* wavelengths, int count)
{
    const int step = EvenStep(wavelengths, count);
    const auto w
        = TSpectralTables::AstmE308Weights(mPower1nm, mObserver.Index(), Nm(wavelengths[0]), step, count);
    if (!w)
        return kNoIlluminant;
    mWX = w->x;
    mWY = w->y;
    mWZ = w->z;
    mKSet = 1.0;
    mMethod = kAstmE308;
    return kOk;
}

void TFineIntegration::NameMethod(const double* wavelengths, int count)
{
    const std::string range
        = std::to_string(Nm(wavelengths[0])) + "-" + std::to_string(Nm(wavelengths[count - 1]));
    const std::string step = std::to_string(EvenStep(wavelengths, count)) + " nm ";
    if (mMethod == kAstmE308)
        mMethodName = "ASTM E308 " + step + range;
    else if (mMethod == kSummation)
        mMethodName = "CIE 15 " + step + range;
    else
        mMethodName = mMethod == kFiveNm ? kFiveNmName : kTenNmName;
}

int TFineIntegration::SetWavelengths(const double* wavelengths, int count)
{
    mWX.clear();
    mWY.clear();
    mWZ.clear();
    mWavelengths.clear();
    mBandIndex.clear();
    mBandFraction.clear();
    if (mError != kOk)
        return mError;
    if (mMethod != kTenNm)
        mMethod = kFiveNm;
    int status = Validate(wavelengths, count);
    if (status != kOk)
        return status;
    mWX.assign(count, 0.0);
    mWY.assign(count, 0.0);
    mWZ.assign(count, 0.0);
    status = Choose(wavelengths, count);
    if (status != kOk) {
        mWX.clear();
        mWY.clear();
        mWZ.clear();
        return status;
    }
    NameMethod(wavelengths, count);
    mWavelengths.assign(wavelengths, wavelengths + count);
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
    xyz[0] = mKSet * sx;
    xyz[1] = mKSet * sy;
    xyz[2] = mKSet * sz;
    return kOk;
}

// k Σ_j W_j: a value of 1 everywhere under the weights set.
int TFineIntegration::GetXYZWhite(double* xyz) const
{
    if (mError != kOk)
        return mError;
    if (xyz == nullptr)
        return kInvalidArgument;
    const bool set = !mWX.empty();
    const std::vector<double>* w[3] = { set ? &mWX : &mSX, set ? &mWY : &mSY, set ? &mWZ : &mSZ };
    const double k = set ? mKSet : mK;
    for (int c = 0; c < 3; ++c) {
        double sum = 0.0;
        for (double v : *w[c])
            sum += v;
        xyz[c] = k * sum;
    }
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

int TFineIntegration::EvenStep(const double* wavelengths, int count)
{
    if (wavelengths == nullptr || count < 2 || !AllFinite(wavelengths, count))
        return 0;
    const int step = Nm(wavelengths[1] - wavelengths[0]);
    if (step < 1)
        return 0;
    for (int i = 0; i < count; ++i)
        if (std::fabs(wavelengths[i] - (wavelengths[0] + static_cast<double>(step) * i)) > kWholeNm
            || std::fabs(wavelengths[i] - std::round(wavelengths[i])) > kWholeNm)
            return 0;
    return step;
}
