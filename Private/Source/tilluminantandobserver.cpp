// TIlluminantAndObserver: the precomputed weights and the tristimulus sums.
#include <tintvale/tilluminantandobserver.h>

#include <tintvale/tilluminant.h>
#include <tintvale/tspectrum.h>

#include "halden.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFirstWavelength = 380.0;
constexpr double kRange = 350.0; // 380 ... 730 nm
constexpr double kGridStep = 10.0;
constexpr int kNrGrid = TIlluminantAndObserver::kMaxPoints;

const char* const kASTMIlluminants[TIlluminantAndObserver::kNrASTMIlluminants]
    = { "CIE Illuminant F2", "CIE Illuminant F7", "CIE Illuminant F11" };
// The observer the ASTM table is computed for: CIE 1931 2°.
constexpr int kASTMObserver = 0;

// Value at wavelength lambda from grid samples g: g[j] + (g[j+1] - g[j]) f / 10, with
// j = trunc((lambda - 380) / 10) and f = lambda - (380 + 10 j); the last sample from j = 35 on.
double AtWavelength(const double* g, double lambda)
{
    const int j = static_cast<int>((lambda - kFirstWavelength) / kGridStep);
    if (j >= kNrGrid - 1)
        return g[kNrGrid - 1];
    const double f = lambda - (kFirstWavelength + kGridStep * j);
    return g[j] + (g[j + 1] - g[j]) * f / kGridStep;
}

} // namespace

TIlluminantAndObserver::TIlluminantAndObserver(
    const TIlluminant* illuminant, const TObserver* observer, int count)
    : mIlluminant(illuminant)
    , mObserver(observer != nullptr ? *observer : TObserver(0))
{
    if (illuminant == nullptr || observer == nullptr
        || static_cast<unsigned>(count) > static_cast<unsigned>(kMaxPoints)) {
        mError = 2;
        return;
    }
    mNrPoints = count;
    mError = Init();
}

TIlluminantAndObserver::TIlluminantAndObserver(const TIlluminantAndObserver& other)
    : mIlluminant(other.mIlluminant)
    , mObserver(other.mObserver)
{
    Copy(other);
}

TIlluminantAndObserver::~TIlluminantAndObserver() = default;

void TIlluminantAndObserver::Copy(const TIlluminantAndObserver& other)
{
    mError = other.mError;
    mNrPoints = other.mNrPoints;
    mTableIndex = other.mTableIndex;
    mK = other.mK;
    std::copy(other.mXBar, other.mXBar + kMaxPoints, mXBar);
    std::copy(other.mYBar, other.mYBar + kMaxPoints, mYBar);
    std::copy(other.mZBar, other.mZBar + kMaxPoints, mZBar);
    std::copy(other.mSX, other.mSX + kMaxPoints, mSX);
    std::copy(other.mSY, other.mSY + kMaxPoints, mSY);
    std::copy(other.mSZ, other.mSZ + kMaxPoints, mSZ);
    std::copy(other.mWeight, other.mWeight + kMaxPoints, mWeight);
    // The observer copy starts without its spectra; fetch them now so that the const operations
    // of a shared copy never write.
    mObserver.GetYSensitivity();
}

int TIlluminantAndObserver::IlluminantNeedsASTM308Tables(int* tableIndex)
{
    *tableIndex = -1;
    const char* name = mIlluminant->GetName();
    // Under the 10° observer these lamps integrate their own spectrum.
    if (name == nullptr || mObserver.Index() != kASTMObserver)
        return 0;
    for (int t = 0; t < kNrASTMIlluminants; ++t) {
        if (strcmp_ci(name, kASTMIlluminants[t]) == 0) {
            *tableIndex = t;
            return 1;
        }
    }
    return 0;
}

// Every form of the integration, the increments and the matching search read one set of products:
// the ASTM weights where they apply, else the illuminant's own.
int TIlluminantAndObserver::Init()
{
    IlluminantNeedsASTM308Tables(&mTableIndex);
    const int status = mTableIndex >= 0 ? TakeTableProducts() : ComputeProducts();
    if (status == 0)
        ComputeWeights();
    return status;
}

// ASTM E308: the weights already hold S x̄, S ȳ, S z̄; k = 100 / Σ Wy over the whole table.
int TIlluminantAndObserver::TakeTableProducts()
{
    const double(*w)[kMaxPoints] = sASTMtable6[mTableIndex];
    double sumY = 0.0;
    for (int j = 0; j < kMaxPoints; ++j)
        sumY += w[1][j];
    mK = 100.0 / sumY;
    std::copy(w[0], w[0] + mNrPoints, mSX);
    std::copy(w[1], w[1] + mNrPoints, mSY);
    std::copy(w[2], w[2] + mNrPoints, mSZ);
    return 0;
}

// S x̄_i, S ȳ_i, S z̄_i at λ_i = 380 + i h, h = 350 / (n - 1), and k = 100 / Σ S_i ȳ_i
// (CIE 15:2004, 7.1).
int TIlluminantAndObserver::ComputeProducts()
{
    if (mIlluminant->GetSpectrum() == nullptr)
        return 2;
    const double* x = mObserver.GetXSensitivity()->GetUniformSpectrum(nullptr, nullptr, nullptr);
    const double* y = mObserver.GetYSensitivity()->GetUniformSpectrum(nullptr, nullptr, nullptr);
    const double* z = mObserver.GetZSensitivity()->GetUniformSpectrum(nullptr, nullptr, nullptr);
    const double* s = mIlluminant->GetSpectrum()->GetUniformSpectrum(nullptr, nullptr, nullptr);
    // A single point sits at 380 nm (h is not finite for n = 1).
    const double h = mNrPoints > 1 ? kRange / (mNrPoints - 1) : 0.0;

    double sumSY = 0.0;
    for (int i = 0; i < mNrPoints; ++i) {
        const double lambda = kFirstWavelength + i * h;
        mXBar[i] = AtWavelength(x, lambda);
        mYBar[i] = AtWavelength(y, lambda);
        mZBar[i] = AtWavelength(z, lambda);
        const double power = AtWavelength(s, lambda);
        mSX[i] = power * mXBar[i];
        mSY[i] = power * mYBar[i];
        mSZ[i] = power * mZBar[i];
        sumSY += mSY[i];
    }
    // Without luminance there is nothing to normalise to.
    if (!(sumSY > 0.0) || !std::isfinite(sumSY))
        return 2;
    mK = 100.0 / sumSY;
    return 0;
}

// w_i = S ȳ_i / Σ S ȳ + S x̄_i / Σ S x̄ + S z̄_i / Σ S z̄, the search's measure of how strongly sample
// i moves the colour. Once, on the weights the object starts with (all 0).
void TIlluminantAndObserver::ComputeWeights()
{
    const double* products[3] = { mSY, mSX, mSZ };
    for (const double* p : products) {
        double sum = 0.0;
        for (int i = 0; i < mNrPoints; ++i)
            sum += p[i];
        if (sum == 0.0)
            continue;
        for (int i = 0; i < mNrPoints; ++i)
            mWeight[i] += p[i] / sum;
    }
}

// X = k Σ v_i S x̄_i, Y = k Σ v_i S ȳ_i, Z = k Σ v_i S z̄_i, summed in ascending i.
int TIlluminantAndObserver::GetXYZ(const double* values, double* xyz, int count) const
{
    if (values == nullptr || xyz == nullptr || count != mNrPoints)
        return 2;
    if (mError != 0)
        return mError;
    double sx = 0.0;
    double sy = 0.0;
    double sz = 0.0;
    for (int i = 0; i < mNrPoints; ++i) {
        sx += values[i] * mSX[i];
        sy += values[i] * mSY[i];
        sz += values[i] * mSZ[i];
    }
    xyz[0] = mK * sx;
    xyz[1] = mK * sy;
    xyz[2] = mK * sz;
    return 0;
}

// The value form on the spectrum's first n uniform samples (ASTM E308: X = k Σ Wx_j R_j, ...).
int TIlluminantAndObserver::GetXYZ(const TSpectrum* spectrum, double* xyz, int count) const
{
    if (spectrum == nullptr || xyz == nullptr || count != mNrPoints)
        return 2;
    return GetXYZ(spectrum->GetUniformSpectrum(nullptr, nullptr, nullptr), xyz, count);
}

int TIlluminantAndObserver::GetXYZWhite(double* xyz) const
{
    if (xyz == nullptr)
        return 2;
    if (mError != 0)
        return mError;
    xyz[0] = xyz[1] = xyz[2] = 0.0;
    if (mTableIndex < 0) {
        // The illuminant as stimulus and as white: Y = 100.
        const TSpectrum* s = mIlluminant != nullptr ? mIlluminant->GetSpectrum() : nullptr;
        if (mObserver.GetXYZ(s, s, xyz) != 0)
            xyz[0] = xyz[1] = xyz[2] = 0.0;
        return 0;
    }
    for (int c = 0; c < 3; ++c) {
        double sum = 0.0;
        for (int j = 0; j < kMaxPoints; ++j)
            sum += sASTMtable6[mTableIndex][c][j];
        xyz[c] = mK * sum;
    }
    return 0;
}

int TIlluminantAndObserver::GetXYZIncrement(double value, int i, double* xyz)
{
    if (xyz == nullptr || i < 0 || i >= mNrPoints)
        return 2;
    return GetXYZIncrement(value, i, i + 1, xyz);
}

int TIlluminantAndObserver::GetXYZIncrement(double value, int first, int last, double* xyz) const
{
    if (xyz == nullptr)
        return 2;
    first = std::max(first, 0);
    last = std::min(last, mNrPoints);
    for (int i = first; i < last; ++i) {
        xyz[0] += value * mSX[i] * mK;
        xyz[1] += value * mSY[i] * mK;
        xyz[2] += value * mSZ[i] * mK;
    }
    return 0;
}
